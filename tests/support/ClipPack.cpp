#include "ClipPack.h"

#include <cmath>
#include <map>

#include "Wav.h"

namespace testing_support {
namespace {

int ValueOf(std::size_t clip)
{
    return 1000 + 700 * static_cast<int>(clip);
}

}  // namespace

const std::vector<std::string>& AllClipNames()
{
    static const std::vector<std::string> names = {
        "0.wav",   "1.wav",   "2.wav", "3.wav", "4.wav", "5.wav", "6.wav",   "7.wav",   "8.wav",   "9.wav",   "bai.wav",
        "shi.wav", "nul.wav", "a.wav", "+.wav", "-.wav", "×.wav", "÷.wav", "=.wav", "win.wav", "won.wav"};
    return names;
}

void WriteRecognisableClips(const std::filesystem::path& dir, const ClipLengths& frames)
{
    const auto& names = AllClipNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        WriteFile(dir / names[i], MakeWav({}, Constant(ValueOf(i), frames(names[i]))));
}

std::vector<std::string> ClipsHeard(const std::filesystem::path& diskOutput, const ClipLengths& frames)
{
    const auto& names = AllClipNames();
    std::map<int, std::string> byValue;
    for (std::size_t i = 0; i < names.size(); ++i)
        byValue[ValueOf(i)] = names[i];
    std::vector<std::string> heard;
    for (const Segment& run : NonSilentSegments(ReadDiskOutput(diskOutput))) {
        auto known = byValue.find(run.value);
        if (known == byValue.end()) {
            heard.push_back("?");
            continue;
        }
        auto times = std::lround(double(run.length) / frames(known->second));
        heard.insert(heard.end(), static_cast<std::size_t>(times), known->second);
    }
    return heard;
}

}  // namespace testing_support
