// The real program speaking with the real voice pack on SDL's disk driver,
// 5 runs: fork to the first sample that is not silent played, fork to the
// first frame with content (the window shows once the first problem has been
// read), and, as Read speaks the problem once more, the program's CPU time
// (user + system) and how often its window thread is switched out (each
// wake-up costs at least one) in the 4 s from the click, the 4 s after, and
// 4 s once the text cursor has stopped blinking.
//   --first-sound RUNS OTHER_ZORBANU: fork to the first sound (voice pack)
// and fork to the first frame with content (no clips) of this build's
// program and of another build's, RUNS interleaved runs each.
// Needs an X server without a window manager (run under xvfb-run) and
// xdotool.
// Usage: zorbanu_bench_voice [ZORBANU [CLIPS]]
//        zorbanu_bench_voice --first-sound RUNS OTHER_ZORBANU
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "window/CursorBlink.h"  // before X11's macros
#include "Bench.h"
#include "support/Wav.h"

using namespace bench;
using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// The disk driver's output as it grows, and where its last sound is.
struct Speech {
    explicit Speech(const std::filesystem::path& file) : output(file) {}
    std::size_t Samples()
    {
        const std::vector<std::int16_t>& samples = output.Follow();
        for (; scanned < samples.size(); ++scanned)
            if (samples[scanned] != 0)
                lastSound = scanned;
        return samples.size();
    }
    // Whether sound came after sample `after` and then stopped for `quiet`
    // samples; gives up after a minute.
    bool WaitForEnd(std::size_t after, std::size_t quiet)
    {
        return WaitUntil([&] {
            const std::size_t samples = Samples();
            return lastSound >= after && samples - *lastSound > quiet;
        }, 60s);
    }
    DiskOutput output;
    std::size_t scanned = 0;
    std::optional<std::size_t> lastSound;
};

// Milliseconds from the fork to the first sound; exits when nothing is
// heard.
double FirstSound(const Launched& launched, const std::filesystem::path& file)
{
    const auto played = FirstSoundPlayed(file, launched.forked);
    if (!played) {
        std::fprintf(stderr, "no sound from process %d in 30 s\n", static_cast<int>(launched.pid()));
        std::exit(1);
    }
    return Ms(*played - launched.forked);
}

long WindowThreadWakes(pid_t pid)
{
    return ProcStatus(pid, "voluntary_ctxt_switches") + ProcStatus(pid, "nonvoluntary_ctxt_switches");
}

void VoiceFigures(Display* display, const std::string& zorbanu, const std::filesystem::path& clips)
{
    constexpr int kRuns = 5;
    const std::size_t quiet = kDeviceRate * 6 / 10;  // 0.6 s of silence ends a problem
    Spread firstSound, firstFrame, cpu, spoken, wakes, idle, steady;
    for (int run = 0; run < kRuns; ++run) {
        TempDir out;
        StartWatch watch(display);
        Launched launched = Launch(zorbanu, clips, "disk", out / "out.raw");
        firstSound.values.push_back(FirstSound(launched, out / "out.raw"));
        const Shown shown = watch.WaitFor(kZorbanuTitle, launched);
        firstFrame.values.push_back(shown.contentMs);
        // The problem read at start-up ends; then Read speaks it once more.
        Speech speech(out / "out.raw");
        speech.WaitForEnd(0, quiet);
        const std::size_t before = speech.Samples();
        const double cpuBefore = CpuSeconds(launched.pid());
        const long wakesBefore = WindowThreadWakes(launched.pid());
        const auto read = Clock::now();
        Shell("xdotool mousemove --window " + std::to_string(shown.window) + " 319 224 click 1");
        if (speech.WaitForEnd(before, quiet)) {
            cpu.values.push_back(CpuSeconds(launched.pid()) - cpuBefore);
            spoken.values.push_back(double(*speech.lastSound - before) / kDeviceRate);
            std::this_thread::sleep_until(read + 4s);
            wakes.values.push_back(double(WindowThreadWakes(launched.pid()) - wakesBefore));
            // Idle: the device released (2 s after the last sound), nothing
            // to do but blink the text cursor; then that stopped too.
            const long idleBefore = WindowThreadWakes(launched.pid());
            std::this_thread::sleep_for(4s);
            idle.values.push_back(double(WindowThreadWakes(launched.pid()) - idleBefore));
            std::this_thread::sleep_until(read + window::kBlinkTimeout + 1s);
            const long steadyBefore = WindowThreadWakes(launched.pid());
            std::this_thread::sleep_for(4s);
            steady.values.push_back(double(WindowThreadWakes(launched.pid()) - steadyBefore));
        }
    }
    std::printf("real voice pack (%s), disk driver, %d runs; median (range)\n", clips.c_str(), kRuns);
    std::printf("  %-40s %s\n", "fork to first non-silent sample played", firstSound.Text("ms", 1).c_str());
    std::printf("  %-40s %s\n", "fork to first frame with content", firstFrame.Text("ms", 1).c_str());
    if (cpu.values.empty()) {
        std::printf("  CPU while a problem is spoken: Read was not heard\n");
        return;
    }
    std::printf("  %-40s %s in %s, %.1f%% of one core\n", "CPU (utime + stime) while Read speaks",
                cpu.Text("s", 2).c_str(), spoken.Text("s", 2).c_str(), 100 * cpu.Median() / spoken.Median());
    std::printf("  %-40s %s\n", "window thread wake-ups, 4 s from Read", wakes.Text("", 0).c_str());
    std::printf("  %-40s %s\n", "window thread wake-ups, the next 4 s", idle.Text("", 0).c_str());
    std::printf("  %-40s %s\n", "the same, once the cursor stops blinking", steady.Text("", 0).c_str());
}

// Fork to the first sound of two builds of the program, interleaved, each
// started in the real voice pack on the disk driver; and fork to the first
// frame with content of each, started without clips.
void FirstSoundComparison(Display* display, const std::vector<std::string>& programs,
                          const std::filesystem::path& clips, int runs)
{
    std::vector<Spread> firstSound(programs.size());
    std::vector<StartFigures> start(programs.size());
    for (int run = 0; run < runs; ++run)
        for (std::size_t i = 0; i < programs.size(); ++i) {
            StartOnce(display, programs[i], kZorbanuTitle, start[i], false);
            TempDir out;
            Launched launched = Launch(programs[i], clips, "disk", out / "out.raw");
            firstSound[i].values.push_back(FirstSound(launched, out / "out.raw"));
        }
    std::printf("%d interleaved runs; median (range): fork to first non-silent sample played (real voice pack,\n"
                "disk driver), and fork to first frame with content (no clips)\n", runs);
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::printf("  %-44s %s   %s\n", programs[i].c_str(), firstSound[i].Text("ms", 1).c_str(),
                    start[i].content.Text("ms", 1).c_str());
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path buildClips = std::filesystem::absolute(ZORBANU_CLIPS);
    if (argc > 3 && std::string(argv[1]) == "--first-sound") {
        Display* display = OpenDisplay();
        FirstSoundComparison(display, {std::filesystem::absolute(ZORBANU_BINARY), std::filesystem::absolute(argv[3])},
                             buildClips, std::max(1, std::atoi(argv[2])));
        XCloseDisplay(display);
        return 0;
    }
    const std::string zorbanu = std::filesystem::absolute(argc > 1 ? argv[1] : ZORBANU_BINARY);
    const std::filesystem::path clips = argc > 2 ? std::filesystem::absolute(argv[2]) : buildClips;
    if (!std::filesystem::exists(clips / "1.wav")) {
        std::printf("real voice pack: none at %s, skipped\n", clips.c_str());
        return 0;
    }
    Display* display = OpenDisplay();
    VoiceFigures(display, zorbanu, clips);
    XCloseDisplay(display);
    return 0;
}
