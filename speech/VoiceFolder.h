#pragma once
// Where the program's voice comes from. A folder is a voice when it holds
// every speech clip (the answer sounds may be missing). Clips are always
// played by bare name from one voice folder, chosen anew as each reading
// starts, so a recording made meanwhile, or a return to the built-in
// voice, is heard at the next problem:
//   1. the working folder, if it is a voice;
//   2. else the user's own recordings, $XDG_DATA_HOME/zorbanu/clips;
//   3. else the installed pack: the first zorbanu/clips under $XDG_DATA_DIRS
//      that is a voice, then the install prefix's own folder;
//   4. else none, and every clip is silent.
// Clips are never mixed from two folders. Plain C++: reads the environment
// and the file system, plays nothing.

#include <filesystem>
#include <optional>

namespace speech {

// True when folder holds every one of kSpeechClips as a regular file.
bool HoldsVoice(const std::filesystem::path& folder);

// $XDG_DATA_HOME/zorbanu/clips, or ~/.local/share/zorbanu/clips.
std::filesystem::path UserVoiceFolder();

// The first installed pack that is a voice, or nothing.
std::optional<std::filesystem::path> InstalledVoiceFolder();

// The voice spoken with when the user has recorded none of their own: the
// working folder's, else the installed pack.
std::optional<std::filesystem::path> OriginalVoiceFolder(const std::filesystem::path& working);

// The folder to play from, in the order above, or nothing.
std::optional<std::filesystem::path> ChooseVoiceFolder(const std::filesystem::path& working);

}  // namespace speech
