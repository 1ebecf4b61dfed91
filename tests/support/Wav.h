#pragma once
// Clip files written by the tests, and the disk audio driver's output read
// back. The player's device is 22050 Hz mono signed 16-bit, so that is the
// format of the disk file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A clip of the pack's kind holding one constant sample value: easy to
// recognise in the output.
std::vector<std::uint8_t> ConstantClip(int value, int frames);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// The disk driver's output read as it grows. The driver starts its file
// afresh whenever the player opens its device again, so the samples read
// before are kept and the new file's are added after them.
class DiskOutput {
public:
    explicit DiskOutput(std::filesystem::path path) : path_(std::move(path)) {}
    const std::vector<std::int16_t>& Follow();

private:
    std::filesystem::path path_;
    std::vector<std::int16_t> samples_;
    std::size_t read_ = 0;  // samples of the current file already taken
};

// The whole of the disk driver's output.
inline std::vector<std::int16_t> ReadDiskOutput(const std::filesystem::path& path) { return DiskOutput(path).Follow(); }

// Runs of non-zero samples within `tolerance` of the run's first, in
// order; zeros are the silence between.
struct Segment {
    std::int16_t value;
    std::size_t start, length;
};
std::vector<Segment> NonSilentSegments(const std::vector<std::int16_t>& samples, int tolerance = 0);

// A temporary folder that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir()
    {
        std::error_code ignored;  // a folder already gone is no error
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
