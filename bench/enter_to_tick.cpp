// Enter to the tick on screen: the real program, on SDL's disk driver, in a
// folder of clips that are each 0.5 s of one recognisable sample value, so
// that the clips heard tell which problem was drawn. Its right answer is
// typed with xdotool, and the time from Enter until the tick's red shows in
// the window (read back with XGetImage) is set against the length of
// "win.wav", which plays meanwhile. Then the session's peak resident memory
// (VmHWM), and what is resident now, anonymous and in mapped files.
// Needs an X server without a window manager (run under xvfb-run) and
// xdotool.
// Usage: zorbanu_bench_enter_to_tick [ZORBANU]
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Bench.h"
#include "speech/Composer.h"
#include "support/ClipPack.h"
#include "support/Wav.h"

using namespace bench;
using namespace testing_support;
using namespace std::chrono_literals;

namespace {

constexpr int kClipFrames = 11025;  // 0.5 s a clip

// Whether the tick's box, beside the answer box, is mostly red.
bool TickShown(Display* display, Window window)
{
    XImage* image = XGetImage(display, window, 282, 111, 71, 63, AllPlanes, ZPixmap);
    if (!image)
        return false;
    int red = 0;
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            red += (XGetPixel(image, x, y) & 0xFFFFFF) == 0xFF0000;
    XDestroyImage(image);
    return red > 100;
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::string zorbanu = std::filesystem::absolute(argc > 1 ? argv[1] : ZORBANU_BINARY);
    Display* display = OpenDisplay();
    TempDir dir;
    auto frames = [](const std::string&) { return kClipFrames; };
    WriteRecognisableClips(dir.path(), frames);
    DiskOutput output(dir / "out.raw");
    std::vector<std::string> heard;
    auto heardAtLeast = [&](std::size_t count) {
        return WaitUntil([&] { return (heard = ClipsHeard(output.Follow(), frames)).size() >= count; }, 60s);
    };
    StartWatch watch(display);
    Launched launched = Launch(zorbanu, dir.path(), "disk", dir / "out.raw");
    const Window window = watch.WaitFor(kZorbanuTitle, launched).window;
    if (!heardAtLeast(12)) {
        std::fprintf(stderr, "the first problem was not heard\n");
        return 1;
    }
    std::this_thread::sleep_for(600ms);  // the last clip ends; input is held until then

    // Which sum was drawn: the one whose reading was heard.
    heard.resize(12);
    int answer = -1;
    for (int a = 1; a <= 9; ++a)
        for (int b = 1; b <= 9; ++b) {
            const auto clips = speech::ComposeProblem(a, b, "+");
            if (std::equal(clips.begin(), clips.end(), heard.begin()))
                answer = a + b;
        }
    Shell("xdotool windowfocus --sync " + std::to_string(window) + " type " + std::to_string(answer));
    // xdotool takes some 20 ms to connect before it presses the key, and ends
    // just after, so Enter is timed by its end.
    Shell("xdotool key --delay 0 Return");
    const auto enter = Clock::now();
    while (!TickShown(display, window) && Clock::now() - enter < 10s)
        std::this_thread::sleep_for(1ms);
    const double shown = Ms(Clock::now() - enter);
    const bool ticked = shown < 10000;
    const double winMs = 1000.0 * kClipFrames / kDeviceRate;
    std::printf("a session (read, answer, tick); clips of 0.5 s, disk driver\n");
    if (ticked)
        std::printf("  %-40s %.0f ms, of which \"win.wav\" plays %.0f ms: %+.0f ms after it ends\n",
                    "Enter to tick on screen", shown, winMs, shown - winMs);
    else
        std::printf("  %-40s not shown within 10 s\n", "Enter to tick on screen");
    const pid_t pid = launched.pid();
    std::printf("  %-40s %.1f MiB (now %.1f MiB anonymous, %.1f MiB mapped files)\n",
                "peak resident memory (VmHWM), session", ProcStatus(pid, "VmHWM") / 1024.0,
                ProcStatus(pid, "RssAnon") / 1024.0, ProcStatus(pid, "RssFile") / 1024.0);
    return ticked ? 0 : 1;
}
