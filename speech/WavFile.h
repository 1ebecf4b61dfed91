#pragma once
// Clip files on disk: reading one safely, making its RIFF layout honest
// before it is decoded, and writing the pack's own kind (22050 Hz mono
// 16-bit PCM).
//
// A clip folder may hold anything a parent copied there: WAV files written
// to a pipe (a data size of 0xFFFFFFFF), by espeak-ng (0x7FFFF000), cut short
// by an interrupted copy, or with a malformed chunk after the samples. All
// of these keep the whole sample frames they really hold; nothing is ever
// reserved beyond the file's real size. A name that is not a regular file
// (a folder, FIFO, socket or device) is never opened for reading, so it
// cannot block. Plain C++: it plays and records nothing.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace speech {

// The voice pack's sample rate; its clips are mono 16-bit PCM.
inline constexpr int kClipRate = 22050;

// Clips are short words and chimes; anything larger is not one of ours.
inline constexpr std::size_t kMaxClipFileBytes = 64u << 20;

// The whole file, or nothing when it is missing, not a regular file,
// unreadable or too large.
std::optional<std::vector<std::uint8_t>> ReadClipFile(const std::filesystem::path& path);

// Cuts a RIFF/WAVE file just after its data chunk and makes the chunk claim
// only the whole sample frames present. False when there is no "fmt "
// chunk followed by a "data" chunk inside the file.
bool KeepPresentFrames(std::vector<std::uint8_t>& bytes);

// A 44-byte-header PCM WAV file of the pack's kind.
std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples);

// Writes bytes under a temporary name in the target's folder, flushes them
// to the disk and renames the file into place, so the target is always
// either its old content or the whole new one. False when anything fails;
// the temporary file is then removed.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

}  // namespace speech
