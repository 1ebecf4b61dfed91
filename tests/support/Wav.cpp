#include "Wav.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "speech/WavFile.h"

namespace testing_support {

std::vector<std::uint8_t> ConstantClip(int value, int frames)
{
    return speech::EncodeWav(std::vector<std::int16_t>(static_cast<std::size_t>(frames), static_cast<std::int16_t>(value)));
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::int16_t> ReadDiskOutput(const std::filesystem::path& path)
{
    return DiskOutput(path).Follow();
}

const std::vector<std::int16_t>& DiskOutput::Follow()
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    if (error)
        return samples_;
    if (size < offset_)
        offset_ = 0;  // opened again: a new file
    std::vector<std::int16_t> added((size - offset_) / 2);
    std::ifstream file(path_, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset_));
    file.read(reinterpret_cast<char*>(added.data()), static_cast<std::streamsize>(added.size() * 2));
    added.resize(static_cast<std::size_t>(file.gcount()) / 2);
    offset_ += added.size() * 2;
    samples_.insert(samples_.end(), added.begin(), added.end());
    return samples_;
}

std::vector<Segment> NonSilentSegments(const std::vector<std::int16_t>& samples, int tolerance)
{
    std::vector<Segment> runs;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 0)
            continue;
        if (!runs.empty() && std::abs(runs.back().value - samples[i]) <= tolerance &&
            runs.back().start + runs.back().length == i)
            ++runs.back().length;
        else
            runs.push_back({samples[i], i, 1});
    }
    return runs;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zorbanu-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace testing_support
