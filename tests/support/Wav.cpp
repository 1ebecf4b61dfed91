#include "Wav.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

namespace testing_support {
namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<std::uint8_t>& out, std::string_view tag) { out.insert(out.end(), tag.begin(), tag.end()); }

}  // namespace

std::vector<std::uint8_t> MakeWav(const WavSpec& spec, const std::vector<int>& samples)
{
    const int bytes = 2;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * spec.channels * bytes);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    PutLe(out, 36 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    for (auto [value, size] : {std::pair{16, 4}, {1, 2}, {spec.channels, 2},
                               {spec.rate, 4}, {spec.rate * spec.channels * bytes, 4}, {spec.channels * bytes, 2},
                               {bytes * 8, 2}})
        PutLe(out, static_cast<std::uint32_t>(value), size);
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    for (int sample : samples)
        for (int c = 0; c < spec.channels; ++c)
            PutLe(out, static_cast<std::uint16_t>(sample), bytes);
    return out;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<int> Constant(int value, int frames) { return std::vector<int>(static_cast<std::size_t>(frames), value); }

std::vector<std::int16_t> ReadDiskOutput(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(raw.size() / 2);
    if (!samples.empty())
        std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

std::vector<Segment> NonSilentSegments(const std::vector<std::int16_t>& samples)
{
    std::vector<Segment> runs;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 0)
            continue;
        if (!runs.empty() && runs.back().value == samples[i] && runs.back().start + runs.back().length == i)
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
