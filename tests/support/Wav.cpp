#include "Wav.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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
    std::ifstream file(path, std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(raw.size() / 2);
    if (!samples.empty())
        std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

const std::vector<std::int16_t>& DiskOutput::Follow()
{
    const std::vector<std::int16_t> file = ReadDiskOutput(path_);
    if (file.size() < read_)
        read_ = 0;  // opened again: a new file
    samples_.insert(samples_.end(), file.begin() + static_cast<long>(read_), file.end());
    read_ = file.size();
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
