#include "WavFile.h"

#include <cstring>
#include <fstream>
#include <string_view>

namespace speech {
namespace {

std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

bool HasTag(const std::uint8_t* p, std::string_view tag)
{
    return std::memcmp(p, tag.data(), 4) == 0;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadClipFile(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    std::streamoff size = file.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxClipFileBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    return bytes;
}

bool HasSoundRiffLayout(std::span<const std::uint8_t> bytes)
{
    constexpr std::size_t kHeader = 12;
    constexpr std::size_t kChunkHeader = 8;
    if (bytes.size() < kHeader || !HasTag(bytes.data(), "RIFF") || !HasTag(bytes.data() + 8, "WAVE"))
        return false;
    bool hasFormat = false;
    bool hasData = false;
    std::size_t pos = kHeader;
    while (bytes.size() - pos >= kChunkHeader) {
        const std::uint8_t* chunk = bytes.data() + pos;
        std::size_t size = ReadLe32(chunk + 4);
        std::size_t remaining = bytes.size() - pos - kChunkHeader;
        if (size > remaining)
            return false;  // claims more than the file holds
        hasFormat = hasFormat || HasTag(chunk, "fmt ");
        hasData = hasData || HasTag(chunk, "data");
        // Chunks are padded to an even length; a missing final pad byte is harmless.
        pos += kChunkHeader + size + (size & 1);
        if (pos > bytes.size())
            break;
    }
    return hasFormat && hasData;
}

}  // namespace speech
