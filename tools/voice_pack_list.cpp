// Prints what the voice pack is made of, from the program's own tables, for
// tools/make-voice-pack.sh: one tab-separated line for each clip, and the
// loudness every clip is brought to (the same targets the recorder uses).
// Writes to the file named by its argument, else to standard output.
//   speech CLIP WORD PINYIN QUIET_BEFORE_MS QUIET_AFTER_MS
//   form CLIP WORD PINYIN SHAPE OF
//   right CLIP | wrong CLIP | filler CLIP
//   level RMS_DB PEAK_LIMIT_DB FADE_SECONDS
// A form is a word's form inside a number (speech::kWordForms), and SHAPE
// the pitch it is said with: "falling" or "rising" before 百 (一 with tone
// 4, 五 and 九 with tone 2), "low" before any word (a half third: tone 3
// without its final rise). OF is the clip of the word it is a form of.
#include <cstdio>
#include <string_view>

#include "speech/Clips.h"
#include "speech/TakeProcessing.h"

namespace {

void Line(std::string_view kind, std::string_view clip)
{
    std::printf("%.*s\t%.*s\n", int(kind.size()), kind.data(), int(clip.size()), clip.data());
}

// The shape a form is said with, from its row: before 百 its tone says which
// way it goes; before any word it is a half third, which keeps tone 3. Empty
// for a row the pack has no way to say.
constexpr std::string_view Shape(const speech::WordForm& form)
{
    const char tone = form.pinyin.empty() ? '\0' : form.pinyin.back();
    if (form.before == speech::Before::AnyWord)
        return tone == '3' ? "low" : "";
    if (tone == '4')
        return "falling";
    if (tone == '2')
        return "rising";
    return "";
}

static_assert(
    [] {
        for (const speech::WordForm& form : speech::kWordForms)
            if (Shape(form).empty())
                return false;
        return true;
    }(),
    "every form must be falling (tone 4) or rising (tone 2) before 百, or a half third (tone 3) before any word");

}  // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::freopen(argv[1], "w", stdout) == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    for (const speech::SpokenWord& w : speech::kSpeechClips)
        std::printf("speech\t%.*s\t%.*s\t%.*s\t%d\t%d\n", int(w.clip.size()), w.clip.data(), int(w.word.size()),
                    w.word.data(), int(w.pinyin.size()), w.pinyin.data(), w.quietBeforeMs, w.quietAfterMs);
    for (const speech::WordForm& f : speech::kWordForms) {
        const std::string_view shape = Shape(f);
        std::printf("form\t%.*s\t%.*s\t%.*s\t%.*s\t%.*s\n", int(f.clip.size()), f.clip.data(), int(f.word.size()),
                    f.word.data(), int(f.pinyin.size()), f.pinyin.data(), int(shape.size()), shape.data(),
                    int(f.of.size()), f.of.data());
    }
    Line("right", speech::kRightClip);
    Line("wrong", speech::kWrongClip);
    Line("filler", speech::kFirstFiller);
    Line("filler", speech::kSecondFiller);
    const speech::ClipTargets targets;
    std::printf("level\t%g\t%g\t%g\n", targets.rmsDb, targets.peakLimitDb, targets.fadeSeconds);
    return std::fclose(stdout) == 0 ? 0 : 1;
}
