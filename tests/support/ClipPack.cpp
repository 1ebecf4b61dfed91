#include "ClipPack.h"

#include <cmath>

#include "Wav.h"
#include "speech/Clips.h"

namespace testing_support {
namespace {

// Every clip name the program plays, the words' forms and the two silent
// fillers included.
const std::vector<std::string> kNames = [] {
    std::vector<std::string> names;
    for (const speech::SpokenWord& word : speech::kSpeechClips)
        names.emplace_back(word.clip);
    for (const speech::WordForm& form : speech::kWordForms)
        names.emplace_back(form.clip);
    for (std::string_view other : {speech::kFirstFiller, speech::kSecondFiller, speech::kRightClip, speech::kWrongClip})
        names.emplace_back(other);
    return names;
}();

int ValueOf(std::size_t clip) { return 1000 + 700 * static_cast<int>(clip); }

}  // namespace

void WriteRecognisableClips(const std::filesystem::path& dir, const ClipLengths& frames)
{
    for (std::size_t i = 0; i < kNames.size(); ++i)
        WriteFile(dir / kNames[i], ConstantClip(ValueOf(i), frames(kNames[i])));
}

std::vector<std::string> ClipsHeard(const std::vector<std::int16_t>& output, const ClipLengths& frames)
{
    std::vector<std::string> heard;
    for (const Segment& run : NonSilentSegments(output)) {
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
