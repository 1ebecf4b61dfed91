#include "WavFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

namespace speech {
namespace {

constexpr std::size_t kRiffHeader = 12;
constexpr std::size_t kChunkHeader = 8;

std::uint32_t ReadLe(const std::uint8_t* p, int bytes)
{
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

void WriteLe(std::uint8_t* p, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool HasTag(const std::uint8_t* p, std::string_view tag)
{
    return std::memcmp(p, tag.data(), 4) == 0;
}

// Where the "fmt " chunk's body and the "data" chunk begin.
struct Chunks {
    std::size_t format;
    std::size_t formatSize;
    std::size_t data;
};

// Walks the chunks up to the data chunk; nothing when a chunk before it
// runs past the end of the file or no "fmt " chunk precedes it.
std::optional<Chunks> FindChunks(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kRiffHeader || !HasTag(bytes.data(), "RIFF") || !HasTag(bytes.data() + 8, "WAVE"))
        return std::nullopt;
    std::optional<std::size_t> format;
    std::size_t formatSize = 0;
    for (std::size_t pos = kRiffHeader; pos <= bytes.size() && bytes.size() - pos >= kChunkHeader;) {
        const std::uint8_t* chunk = bytes.data() + pos;
        if (HasTag(chunk, "data"))
            return format ? std::optional(Chunks{*format, formatSize, pos}) : std::nullopt;
        const std::size_t claimed = ReadLe(chunk + 4, 4);
        if (claimed > bytes.size() - pos - kChunkHeader)
            return std::nullopt;
        if (HasTag(chunk, "fmt "))
            format = pos + kChunkHeader, formatSize = claimed;
        pos += kChunkHeader + claimed + (claimed & 1);  // chunks are padded to even lengths
    }
    return std::nullopt;
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

bool WriteAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;  // a signal came before anything was written
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes a rename inside the folder survive a power cut.
void SyncFolder(const std::filesystem::path& folder)
{
    const FileDescriptor directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY)};
    if (directory.fd >= 0)
        ::fsync(directory.fd);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadClipFile(const std::filesystem::path& path)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const FileDescriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (static_cast<std::uint64_t>(info.st_size) > kMaxClipFileBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;  // a signal came before anything was read
        if (got <= 0)
            break;  // shrank while reading: keep what is there
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

bool KeepPresentFrames(std::vector<std::uint8_t>& bytes)
{
    constexpr std::size_t kBlockAlignOffset = 12;  // inside the "fmt " chunk's body
    const std::optional<Chunks> chunks = FindChunks(bytes);
    if (!chunks || chunks->formatSize < kBlockAlignOffset + 2)
        return false;
    const std::uint32_t blockAlign = ReadLe(bytes.data() + chunks->format + kBlockAlignOffset, 2);
    if (blockAlign == 0)
        return false;
    std::uint8_t* data = bytes.data() + chunks->data;
    const std::size_t present = bytes.size() - chunks->data - kChunkHeader;
    const std::size_t kept = std::min<std::size_t>(ReadLe(data + 4, 4), present) / blockAlign * blockAlign;
    WriteLe(data + 4, static_cast<std::uint32_t>(kept), 4);
    bytes.resize(chunks->data + kChunkHeader + kept);
    WriteLe(bytes.data() + 4, static_cast<std::uint32_t>(bytes.size() - 8), 4);
    return true;
}

std::vector<std::uint8_t> EncodeWav(std::span<const std::int16_t> samples)
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out(44 + dataBytes);
    std::memcpy(out.data(), "RIFF\0\0\0\0WAVEfmt ", 16);
    WriteLe(&out[4], 36 + dataBytes, 4);
    WriteLe(&out[16], 16, 4);           // the "fmt " body's size
    WriteLe(&out[20], 1, 2);            // PCM
    WriteLe(&out[22], 1, 2);            // mono
    WriteLe(&out[24], kClipRate, 4);
    WriteLe(&out[28], kClipRate * 2, 4);  // bytes a second
    WriteLe(&out[32], 2, 2);            // bytes a frame
    WriteLe(&out[34], 16, 2);           // bits a sample
    std::memcpy(&out[36], "data", 4);
    WriteLe(&out[40], dataBytes, 4);
    for (std::size_t i = 0; i < samples.size(); ++i)
        WriteLe(&out[44 + 2 * i], static_cast<std::uint16_t>(samples[i]), 2);
    return out;
}

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes)
{
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, bytes) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace speech
