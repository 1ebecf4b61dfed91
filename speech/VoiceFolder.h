#pragma once
// Where the program's voice comes from. Clips are always played by bare name
// from one folder, chosen once at start:
//   1. the working folder, if it holds at least one of the pack's clips;
//   2. else the user's own recordings, $XDG_DATA_HOME/zorbanu/clips;
//   3. else the installed pack: the first zorbanu/clips under $XDG_DATA_DIRS
//      that holds a clip, then the install prefix's own folder;
//   4. else none, and every clip is silent.
// Clips are never mixed from two folders. Plain C++: reads the environment
// and the file system, plays nothing.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace speech {

// The clips the built-in pack holds: the words, the signs and the two
// answer sounds.
const std::vector<std::string>& PackClipNames();

// True when folder holds at least one of the pack's clips.
bool HoldsClips(const std::filesystem::path& folder);

// $XDG_DATA_HOME/zorbanu/clips, or ~/.local/share/zorbanu/clips.
std::filesystem::path UserVoiceFolder();

// The first installed pack that holds a clip, or nothing.
std::optional<std::filesystem::path> InstalledVoiceFolder();

// The folder to play from, in the order above, or nothing.
std::optional<std::filesystem::path> ChooseVoiceFolder(const std::filesystem::path& working);

}  // namespace speech
