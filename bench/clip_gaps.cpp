// Silent samples between consecutive clips of one reading: 12 synthetic
// clips, each of one constant sample value, played as one reading through
// the program's own player (audio::SdlClipPlayer on its sound thread) on
// SDL's disk driver; every sample that is zero between two clips is a gap
// the listener would hear. Not a spoken reading.
// Needs no display and no sound card.
// Usage: zorbanu_bench_clip_gaps
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include <SDL.h>

#include "audio/SdlClipPlayer.h"
#include "support/Wav.h"

using namespace testing_support;

int main()
{
    constexpr int kClips = 12;
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    // The disk driver announces itself as critical; the figures need no such line.
    SDL_LogSetPriority(SDL_LOG_CATEGORY_AUDIO, SDL_NUM_LOG_PRIORITIES);
    {
        audio::SoundThread sound("zorbanu_bench_clip_gaps");
        audio::SdlClipPlayer player(sound, [&] { return std::optional(dir.path()); });
        std::vector<std::string> names;
        for (int i = 0; i < kClips; ++i) {
            names.push_back(std::to_string(i) + ".wav");
            WriteFile(dir / names.back(), ConstantClip(1000 + 100 * i, 3000 + 137 * i));
        }
        std::promise<void> ended;
        player.PlayReading(names, [&](speech::SoundEnd) { ended.set_value(); });
        ended.get_future().wait();
    }  // the sound thread closes the device as it ends
    const std::vector<Segment> runs = NonSilentSegments(ReadDiskOutput(dir / "out.raw"));
    std::size_t worst = 0, total = 0;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const std::size_t gap = runs[i].start - (runs[i - 1].start + runs[i - 1].length);
        worst = std::max(worst, gap);
        total += gap;
    }
    std::printf("one reading of %d synthetic clips of constant value, the real player, disk driver\n", kClips);
    std::printf("  %-40s %zu in all, %zu at most, at %zu boundaries (%zu clips heard)\n",
                "silent samples between clips", total, worst, runs.empty() ? 0 : runs.size() - 1, runs.size());
    return 0;
}
