#pragma once
// Reading a clip file before it is handed to the decoder. A clip folder may
// hold anything a parent copied there, so the file's own claims are checked
// against its real size first: a header that claims gigabytes of data, a
// chunk that runs past the end of the file (a truncated clip), or a file
// that is not RIFF/WAVE at all is refused here and never decoded.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace speech {

// Clips are short words and chimes; anything larger is not one of ours.
inline constexpr std::size_t kMaxClipFileBytes = 64u << 20;

// The whole file, or nothing when it is missing, unreadable or too large.
std::optional<std::vector<std::uint8_t>> ReadClipFile(const std::string& fileName);

// True when bytes are a RIFF/WAVE file whose chunks all lie inside it and
// which has both a "fmt " and a "data" chunk.
bool HasSoundRiffLayout(std::span<const std::uint8_t> bytes);

}  // namespace speech
