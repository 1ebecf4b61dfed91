#include "Wav.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace testing_support {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

void PutSample(std::vector<std::uint8_t>& out, SampleFormat format, float value)
{
    switch (format) {
    case SampleFormat::U8:
        out.push_back(static_cast<std::uint8_t>(128 + static_cast<int>(value * 128)));
        return;
    case SampleFormat::S16:
        Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(value * 32768)));
        return;
    case SampleFormat::F32: {
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        Put32(out, bits);
        return;
    }
    }
}

int BytesPerSample(SampleFormat format)
{
    switch (format) {
    case SampleFormat::U8:
        return 1;
    case SampleFormat::S16:
        return 2;
    case SampleFormat::F32:
        return 4;
    }
    return 0;
}

}  // namespace

std::vector<std::uint8_t> MakeWav(const WavSpec& spec, const std::vector<float>& samples)
{
    const int bytes = BytesPerSample(spec.format);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * spec.channels * bytes);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, spec.format == SampleFormat::F32 ? 3 : 1);
    Put16(out, spec.channels);
    Put32(out, spec.rate);
    Put32(out, spec.rate * spec.channels * bytes);
    Put16(out, spec.channels * bytes);
    Put16(out, bytes * 8);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float sample : samples)
        for (int c = 0; c < spec.channels; ++c)
            PutSample(out, spec.format, sample);
    return out;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

float FromS16(int value)
{
    return static_cast<float>(value) / 32768.0f;
}

std::vector<float> Constant(int value, int frames)
{
    return std::vector<float>(static_cast<std::size_t>(frames), FromS16(value));
}

std::vector<std::int16_t> ReadDiskOutput(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(raw.size() / 2);
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
