#pragma once
// The two options the program answers before it opens a window: --help
// prints a short usage in Chinese and English, naming the folder the voice
// would be played from; --version prints the version. Anything else is
// left to Qt.

#include <filesystem>
#include <optional>

// The exit status when an option was answered, or nothing to go on.
std::optional<int> AnswerInfoOption(int argc, char* argv[], const std::optional<std::filesystem::path>& voice);
