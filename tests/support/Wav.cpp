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

// Reads only what the file gained since the last call.
const std::vector<std::int16_t>& DiskOutput::Follow()
{
    std::ifstream file(path_, std::ios::binary | std::ios::ate);
    const std::size_t size = file ? static_cast<std::size_t>(file.tellg()) / 2 : 0;
    if (size < read_)
        read_ = 0;  // opened again: a new file
    const std::size_t before = samples_.size();
    samples_.resize(before + size - read_);
    file.seekg(static_cast<std::streamoff>(read_ * 2)).read(reinterpret_cast<char*>(samples_.data() + before),
                                                            static_cast<std::streamsize>((size - read_) * 2));
    read_ = size;
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

}  // namespace testing_support
