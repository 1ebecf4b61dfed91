#pragma once
// The parent's own voice on disk, in the user's clip folder
// (speech::UserVoiceFolder). The first save makes that folder as a whole
// copy of the original voice (the one the quiz would otherwise speak with:
// the working folder's clips, else the installed pack), built under a
// temporary name and renamed into place, so the folder is a complete voice
// from the moment it exists and the quiz never has to mix two folders;
// every later save replaces one clip, again written under a temporary name
// and renamed. Forgetting removes the folder, and the original voice speaks
// again.
//
// Plain C++ over files: it does not record, judge, process or play sound.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace recorder {

// Whether a clip reached the disk whole; on CannotWrite the old clip stays.
enum class SaveResult { Saved, CannotWrite };

// True when the user's folder holds its own recording of clip: a file that
// is not byte for byte the original voice's.
bool IsOwnRecording(const std::string& clip);

// Writes samples (22050 Hz mono 16-bit) as the user's clip of that name,
// copying the original voice in first if the user's folder is missing, and
// clearing what an earlier save that was killed left behind.
SaveResult SaveOwnClip(const std::string& clip, std::span<const std::int16_t> samples);

// True when the user's folder exists, recorded into or not.
bool HasOwnVoice();

// Removes the user's folder; false when it could not be removed.
bool ForgetOwnVoice();

// The folder the recorder plays from: the user's when it is a voice, else
// the original voice, else nothing.
std::optional<std::filesystem::path> ListeningFolder();

}  // namespace recorder
