// Prints what the voice pack is made of, from the program's own tables, for
// tools/make-voice-pack.sh: one tab-separated line for each clip, and the
// loudness every clip is brought to (the same targets the recorder uses).
// Writes to the file named by its argument, else to standard output.
//   speech CLIP WORD PINYIN QUIET_BEFORE_MS QUIET_AFTER_MS
//   right CLIP | wrong CLIP | filler CLIP
//   level RMS_DB PEAK_LIMIT_DB FADE_SECONDS
#include <cstdio>
#include <string_view>

#include "speech/Clips.h"
#include "speech/TakeProcessing.h"

namespace {

void Line(std::string_view kind, std::string_view clip)
{
    std::printf("%.*s\t%.*s\n", int(kind.size()), kind.data(), int(clip.size()), clip.data());
}

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
    Line("right", speech::kRightClip);
    Line("wrong", speech::kWrongClip);
    Line("filler", speech::kFirstFiller);
    Line("filler", speech::kSecondFiller);
    const speech::ClipTargets targets;
    std::printf("level\t%g\t%g\t%g\n", targets.rmsDb, targets.peakLimitDb, targets.fadeSeconds);
    return std::fclose(stdout) == 0 ? 0 : 1;
}
