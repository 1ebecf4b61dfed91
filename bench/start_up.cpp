// Start-up of the real program against a bare Qt 6 Widgets window of the
// same size (bench/bare_window.cpp), in interleaved runs, both without clips:
// fork to the window mapped, fork to its first frame that shows more than a
// background fill, and, over the first runs of each, peak resident memory
// (VmHWM) after 5 s idle.
// Needs an X server without a window manager: run under xvfb-run.
// Usage: zorbanu_bench_start_up [--start-up RUNS] [ZORBANU [BARE_WINDOW]]
//   by default 30 runs of each, the first 5 with memory, of this build's
//   programs. --start-up prints only the start-up times, of RUNS runs each,
//   without memory: a quick comparison while working on start-up.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Bench.h"

using namespace bench;

int main(int argc, char* argv[])
{
    int runs = 30, memoryRuns = 5;
    if (argc > 2 && std::string(argv[1]) == "--start-up") {
        runs = std::max(1, std::atoi(argv[2]));
        memoryRuns = 0;
        argc -= 2;
        argv += 2;
    }
    // Each program runs in a folder of its own, so the paths must not be
    // relative to this one.
    const std::string zorbanu = std::filesystem::absolute(argc > 1 ? argv[1] : ZORBANU_BINARY);
    const std::string bare = std::filesystem::absolute(argc > 2 ? argv[2] : ZORBANU_BARE_WINDOW);
    Display* display = OpenDisplay();

    StartFigures ours, baseline;
    for (int run = 0; run < runs; ++run) {
        const bool withMemory = run < memoryRuns;
        // Alternate which goes first, so neither always follows the other.
        if (run % 2 == 0) {
            StartOnce(display, zorbanu, kZorbanuTitle, ours, withMemory);
            StartOnce(display, bare, kBareTitle, baseline, withMemory);
        } else {
            StartOnce(display, bare, kBareTitle, baseline, withMemory);
            StartOnce(display, zorbanu, kZorbanuTitle, ours, withMemory);
        }
    }
    XCloseDisplay(display);

    std::printf("start-up, %d interleaved runs of each, no clips; median (range)", runs);
    if (memoryRuns > 0)
        std::printf("; peak memory from the first %d runs of each", memoryRuns);
    std::printf("\n  %-40s %-24s %-24s %s\n", "", "Zorbanu", "bare Qt window", "ratio of medians");
    auto row = [](const char* what, const Spread& a, const Spread& b, const char* unit) {
        std::printf("  %-40s %-24s %-24s %.2f\n", what, a.Text(unit, 1).c_str(), b.Text(unit, 1).c_str(),
                    a.Median() / b.Median());
    };
    row("fork to window mapped", ours.mapped, baseline.mapped, "ms");
    row("fork to first frame with content", ours.content, baseline.content, "ms");
    if (memoryRuns > 0)
        row("peak resident (VmHWM) after 5 s idle", ours.peak, baseline.peak, "MiB");
    return 0;
}
