#pragma once
// Reading a clip file and making its RIFF layout honest before it is handed
// to the decoder. A clip folder may hold anything a parent copied there:
// WAV files written to a pipe (a data size of 0xFFFFFFFF), by espeak-ng
// (0x7FFFF000), cut short by an interrupted copy, or with a malformed chunk
// after the samples. All of these play the whole sample frames they really
// hold; nothing is ever reserved beyond the file's real size. A name that is
// not a regular file (a folder, FIFO, socket or device) is never opened for
// reading, so it cannot block.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace speech {

// Clips are short words and chimes; anything larger is not one of ours.
inline constexpr std::size_t kMaxClipFileBytes = 64u << 20;

// The whole file, or nothing when it is missing, not a regular file,
// unreadable or too large.
std::optional<std::vector<std::uint8_t>> ReadClipFile(const std::filesystem::path& path);

// Cuts a RIFF/WAVE file just after its data chunk and makes the chunk claim
// only the whole sample frames present. False when there is no "fmt "
// chunk followed by a "data" chunk inside the file; the bytes are then left
// as they were.
bool KeepPresentFrames(std::vector<std::uint8_t>& bytes);

}  // namespace speech
