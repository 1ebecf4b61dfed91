// The sound device held only while there is something to play, measured from
// outside the real program: it runs against a private PulseAudio server
// (tools/sound-server.sh) in a folder of clips of 0.1 s, each of one loud
// sample value, and Read is clicked with xdotool. parec records the sink's
// monitor, and `pactl subscribe` reports the program's stream (sink input)
// as it appears and is removed; both are looked at every millisecond. Each
// run times Read to the first sound at the sink with the device closed for
// being idle, Read again just after the reading (device open), and the last
// sound heard to the stream's removal.
// The sink is a null sink without rewinds, added to the server and made the
// default: like a sound card's, it starts a new stream at once. The stock
// null sink (rewinds on) takes one buffer of a new stream and then nothing
// for about 1.2 s, which would be timed instead of the program.
// Needs an X server without a window manager (run under xvfb-run), xdotool,
// pulseaudio and pactl.
// Usage: zorbanu_bench_idle_release [RUNS] (8 by default)
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "Bench.h"
#include "support/ClipPack.h"
#include "support/Wav.h"

using namespace bench;
using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// What reaches the sink and the server's reports on streams, each stamped
// with the time it was first seen.
class SinkWatch {
public:
    SinkWatch(const std::filesystem::path& recording, std::filesystem::path events)
        : sound_(recording), events_(std::move(events))
    {
    }

    // Looks every millisecond until done, at most for the bound.
    bool LookUntil(const std::function<bool()>& done, Clock::duration bound)
    {
        for (const auto start = Clock::now(); Clock::now() - start < bound; std::this_thread::sleep_for(1ms)) {
            Look();
            if (done())
                return true;
        }
        return false;
    }

    std::optional<Clock::time_point> firstLoud;  // since it was last reset
    std::optional<Clock::time_point> lastLoud, streamRemoved;

private:
    void Look()
    {
        const auto now = Clock::now();
        const std::vector<std::int16_t>& samples = sound_.Follow();
        for (; scanned_ < samples.size(); ++scanned_)
            if (std::abs(samples[scanned_]) > 500) {
                lastLoud = now;
                if (!firstLoud)
                    firstLoud = now;
            }
        std::ifstream file(events_);
        file.seekg(static_cast<std::streamoff>(eventsRead_));
        for (std::string line; std::getline(file, line) && !file.eof();) {
            eventsRead_ += line.size() + 1;
            if (line.find("'remove' on sink-input") != std::string::npos)
                streamRemoved = now;
        }
    }

    DiskOutput sound_;
    std::size_t scanned_ = 0;
    std::filesystem::path events_;
    std::size_t eventsRead_ = 0;
};

}  // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    TempDir dir;
    std::filesystem::create_directories(dir / "work");
    std::filesystem::create_directory(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    WriteRecognisableClips(dir / "work", [](const std::string&) { return 2205; });
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    setenv("HOME", dir.path().c_str(), 1);

    SoundServer server("pulseaudio", dir / "stock-sink.raw");
    Shell("pactl load-module module-null-sink sink_name=quick norewinds=1 >/dev/null && pactl set-default-sink quick");
    Child recorder("exec parec --latency-msec=5 -d quick.monitor --format=s16le --rate=22050 --channels=1 > " +
                   (dir / "quick.raw").string());
    Child events("exec pactl subscribe > " + (dir / "events").string());
    SinkWatch sink(dir / "quick.raw", dir / "events");

    const Launched program = Launch(std::filesystem::absolute(ZORBANU_BINARY), dir / "work", "pulseaudio", {});
    Shell("xdotool mousemove --window " + FindWindow() + " 319 224");  // over Read, where it stays
    Spread afterIdle, onOpen, release;
    int closedMeanwhile = 0;
    // Clicks Read and times the click to the first sound at the sink. xdotool
    // takes some 20 ms to connect before it clicks, and ends just after, so
    // the click is timed by its end.
    auto readUntilHeard = [&](Spread& figure) {
        sink.firstLoud.reset();
        std::optional<Clock::time_point> clicked;
        Child click("exec xdotool click --delay 0 1");
        const bool heard = sink.LookUntil([&] {
            if (!clicked && waitpid(click.pid, nullptr, WNOHANG) == click.pid) {
                clicked = Clock::now();
                click.pid = 0;
            }
            return clicked && sink.firstLoud;
        }, 10s);
        if (heard)
            figure.values.push_back(Ms(*sink.firstLoud - *clicked));
        return clicked.value_or(Clock::now());
    };
    auto removedSince = [&](Clock::time_point since) { return sink.streamRemoved && *sink.streamRemoved > since; };
    Clock::time_point lastRead = program.forked;  // the first problem is read at start-up
    for (int run = 0; run < runs; ++run) {
        if (!sink.LookUntil([&] { return removedSince(lastRead); }, 10s)) {
            std::fprintf(stderr, "the program's stream was not removed within 10 s of a reading\n");
            return 1;
        }
        std::this_thread::sleep_for(500ms);
        readUntilHeard(afterIdle);
        // The reading ends; Read again while the device is open.
        sink.LookUntil([&] { return Clock::now() - sink.lastLoud.value_or(Clock::now()) > 300ms; }, 10s);
        const auto beforeOpen = Clock::now();
        lastRead = readUntilHeard(onOpen);
        closedMeanwhile += removedSince(beforeOpen);
        if (sink.LookUntil([&] { return removedSince(lastRead); }, 10s))
            release.values.push_back(Ms(*sink.streamRemoved - *sink.lastLoud));
    }
    std::printf("sound device, PulseAudio (tools/sound-server.sh; a null sink without rewinds, its monitor read by\n"
                "parec), the real program, clips of 0.1 s, %d runs; median (range)\n", runs);
    std::printf("  %-40s %s\n", "Read clicked to heard, device closed", afterIdle.Text("ms", 1).c_str());
    std::printf("  %-40s %s%s\n", "Read clicked to heard, device open", onOpen.Text("ms", 1).c_str(),
                closedMeanwhile ? " (the device was closed first in some runs)" : "");
    if (!afterIdle.values.empty() && !onOpen.values.empty())
        std::printf("  %-40s %.1f ms\n", "first reading after idle starts later by", afterIdle.Median() - onOpen.Median());
    std::printf("  %-40s %s\n", "last sound to the stream's removal", release.Text("ms", 0).c_str());
    return 0;
}
