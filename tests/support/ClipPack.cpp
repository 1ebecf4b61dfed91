#include "ClipPack.h"

#include <cmath>

#include "Wav.h"

namespace testing_support {
namespace {

// Every clip name the program plays, the two silent fillers included.
const std::vector<std::string> kNames = {"0.wav", "1.wav",   "2.wav",   "3.wav", "4.wav", "5.wav", "6.wav",
                                         "7.wav", "8.wav",   "9.wav",   "bai.wav", "shi.wav", "nul.wav", "a.wav",
                                         "+.wav", "-.wav",   "×.wav",   "÷.wav", "=.wav", "win.wav", "won.wav"};

int ValueOf(std::size_t clip) { return 1000 + 700 * static_cast<int>(clip); }

}  // namespace

void WriteRecognisableClips(const std::filesystem::path& dir, const ClipLengths& frames)
{
    for (std::size_t i = 0; i < kNames.size(); ++i)
        WriteFile(dir / kNames[i], ConstantClip(ValueOf(i), frames(kNames[i])));
}

std::vector<std::string> ClipsHeard(const std::filesystem::path& diskOutput, const ClipLengths& frames)
{
    std::vector<std::string> heard;
    for (const Segment& run : NonSilentSegments(ReadDiskOutput(diskOutput))) {
        const int clip = (run.value - 1000) / 700;
        if (clip < 0 || clip >= int(kNames.size()) || ValueOf(std::size_t(clip)) != run.value) {
            heard.push_back("?");
            continue;
        }
        const std::string& name = kNames[std::size_t(clip)];
        heard.insert(heard.end(), std::size_t(std::lround(double(run.length) / frames(name))), name);
    }
    return heard;
}

}  // namespace testing_support
