#pragma once
// A clip folder in which every clip the program can play is one constant,
// distinct sample value, and the disk audio driver's output read back as
// the list of clip names heard.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// frames(name) gives each clip's length at 22050 Hz.
using ClipLengths = std::function<int(const std::string&)>;

void WriteRecognisableClips(const std::filesystem::path& dir, const ClipLengths& frames);

// The clips heard in the disk driver's output, in order; a clip still
// playing counts once more than half of it has been heard. Unknown sounds
// show as "?".
std::vector<std::string> ClipsHeard(const std::vector<std::int16_t>& output, const ClipLengths& frames);

}  // namespace testing_support
