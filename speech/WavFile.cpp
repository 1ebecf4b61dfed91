#include "WavFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>

namespace speech {
namespace {

constexpr std::size_t kRiffHeader = 12;
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kBlockAlignOffset = 12;  // inside the "fmt " chunk's body

std::uint32_t ReadLe(const std::uint8_t* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

void WriteLe32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool HasTag(const std::uint8_t* p, std::string_view tag)
{
    return std::memcmp(p, tag.data(), 4) == 0;
}

// Closes the descriptor however the read ends.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadClipFile(const std::filesystem::path& path)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    FileDescriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (static_cast<std::uint64_t>(info.st_size) > kMaxClipFileBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got <= 0)
            break;  // shrank while reading: keep what is there
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool KeepPresentFrames(std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < kRiffHeader || !HasTag(bytes.data(), "RIFF") || !HasTag(bytes.data() + 8, "WAVE"))
        return false;
    std::uint32_t blockAlign = 0;
    for (std::size_t pos = kRiffHeader; bytes.size() - pos >= kChunkHeader;) {
        std::uint8_t* chunk = bytes.data() + pos;
        const std::size_t present = bytes.size() - pos - kChunkHeader;
        const std::size_t claimed = ReadLe(chunk + 4, 4);
        if (HasTag(chunk, "data")) {
            if (blockAlign == 0)
                return false;
            const std::size_t kept = std::min(claimed, present) / blockAlign * blockAlign;
            WriteLe32(chunk + 4, static_cast<std::uint32_t>(kept));
            bytes.resize(pos + kChunkHeader + kept);
            WriteLe32(bytes.data() + 4, static_cast<std::uint32_t>(bytes.size() - 8));
            return true;
        }
        if (claimed > present)
            return false;  // a chunk before the samples runs past the end
        if (HasTag(chunk, "fmt ") && claimed >= kBlockAlignOffset + 2)
            blockAlign = ReadLe(chunk + kChunkHeader + kBlockAlignOffset, 2);
        pos += kChunkHeader + claimed + (claimed & 1);  // chunks are padded to even lengths
        if (pos > bytes.size())
            return false;
    }
    return false;
}

}  // namespace speech
