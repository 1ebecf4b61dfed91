#pragma once
// The quiz's --help text, in Chinese and English, naming the folder its
// voice would be played from.

#include <filesystem>
#include <optional>
#include <string>

std::string QuizUsage(const std::optional<std::filesystem::path>& voice);
