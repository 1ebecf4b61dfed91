#pragma once
// WAV files written by the tests, and the disk audio driver's output read
// back. The player's device is 22050 Hz mono signed 16-bit, so that is the
// format of the disk file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// Signed 16-bit PCM; the device's own format, except perhaps for these.
struct WavSpec {
    int channels = 1;
    int rate = 22050;
};

// samples are per frame; every channel gets the same one.
std::vector<std::uint8_t> MakeWav(const WavSpec& spec, const std::vector<int>& samples);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A clip of one constant 16-bit value: easy to recognise in the output.
std::vector<int> Constant(int value, int frames);

std::vector<std::int16_t> ReadDiskOutput(const std::filesystem::path& path);

// Runs of equal non-zero samples, in order; zeros are the silence between.
struct Segment {
    std::int16_t value;
    std::size_t start;
    std::size_t length;
};
std::vector<Segment> NonSilentSegments(const std::vector<std::int16_t>& samples);

// A temporary folder that is removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support
