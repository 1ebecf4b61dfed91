// Performance figures of the real program, printed, never judged:
//   - start-up against a bare Qt 6 Widgets window of the same size built by
//     the bench (bench/bare_window.cpp), in interleaved runs: fork to window
//     mapped, fork to the first frame that shows more than a background
//     fill (watched with the X DAMAGE extension, read with XGetImage), and
//     peak resident memory (VmHWM) after 5 s idle;
//   - with the real voice pack and SDL's disk driver: fork to the first
//     non-silent sample written, and the CPU time (utime + stime) while one
//     problem is spoken;
//   - silent samples between consecutive clips (the SDL player, disk driver);
//   - with a PulseAudio server (the bench's own, with a null sink whose
//     monitor parec reads, unless one is running): how much later a clip
//     reaches the sink when the device was closed for being idle than on
//     an open device, and the time from the last sound to the device's
//     release;
//   - time from Enter to the tick on screen, against the length of "win.wav".
// Needs an X server without a window manager (run under xvfb-run), xdotool,
// pulseaudio and pactl.
// Usage: zorbanu_bench [--start-up RUNS] [ZORBANU [BARE_WINDOW [CLIPS]]], by
// default the programs and the voice pack of this build. --start-up prints
// only the start-up times, of RUNS interleaved runs, without the memory
// figure: a quick comparison while working on start-up.
//        zorbanu_bench --first-sound RUNS OTHER_ZORBANU: fork to the first
// sound, and to the first frame, of this build's program and of another
// build's, interleaved.
//        zorbanu_bench --idle: only the figures of the device closed when idle.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "speech/Composer.h"
#include "audio/SdlClipPlayer.h"
#include "support/ClipPack.h"
#include "support/Wav.h"

using namespace testing_support;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kRuns = 30;            // start-up runs of each program
constexpr int kMemoryRuns = 5;       // of them, runs that also wait to read peak memory
constexpr int kVoiceRuns = 5;        // runs with the real voice pack
constexpr int kClipFrames = 11025;   // 0.5 s a clip in the Enter-to-tick session
constexpr int kDeviceRate = 22050;   // the player's device: mono, signed 16-bit
constexpr auto kIdle = 5s;           // idle time before peak memory is read
const char* const kZorbanuTitle = "Zorbanu";
const char* const kBareTitle = "Bare Qt window";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// ---- processes ----------------------------------------------------------

struct Launched {
    pid_t pid;
    Clock::time_point forked;
};

// Starts a program in dir. The voice is looked for in dir only: the XDG data
// folders point there too, so no installed or recorded voice is found.
Launched Launch(const char* program, const std::filesystem::path& dir, const char* audio,
                const std::filesystem::path& diskFile)
{
    Launched launched{0, Clock::now()};
    launched.pid = fork();
    if (launched.pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        setenv("XDG_DATA_DIRS", dir.c_str(), 1);
        setenv("SDL_AUDIODRIVER", audio, 1);
        setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    return launched;
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

long StatusKiB(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

double CpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::vector<std::string> f{std::istream_iterator<std::string>(fields), std::istream_iterator<std::string>()};
    return double(std::stol(f[11]) + std::stol(f[12])) / double(sysconf(_SC_CLK_TCK));
}

// How often the main (window) thread has been switched out: each wake-up
// costs at least one.
long WindowThreadWakes(pid_t pid)
{
    return StatusKiB(pid, "voluntary_ctxt_switches") + StatusKiB(pid, "nonvoluntary_ctxt_switches");
}

void Xdo(const std::string& arguments)
{
    if (std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) != 0)
        std::fprintf(stderr, "xdotool %s failed\n", arguments.c_str());
}

// ---- the X side -----------------------------------------------------------

std::string WindowName(Display* display, Window window)
{
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name)
        result = name;
    if (name)
        XFree(name);
    return result;
}

// Whether a part of a window holds more than one colour.
bool MoreThanOneColour(Display* display, Window window, int x, int y, unsigned width, unsigned height)
{
    if (width == 0 || height == 0)
        return false;
    XImage* image = XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0) & 0xFFFFFF;
    bool more = false;
    for (int row = 0; row < image->height && !more; ++row)
        for (int column = 0; column < image->width && !more; ++column)
            more = (XGetPixel(image, column, row) & 0xFFFFFF) != first;
    XDestroyImage(image);
    return more;
}

struct Shown {
    Window window = 0;
    double mappedMs = 0;
    double contentMs = 0;
};

// Watches the screen from before the fork until the window titled title is
// mapped and then draws a frame of more than one colour. Every new top-level
// window gets a damage object when it is created, so no drawing done between
// the map and the first look can be missed; a damaged area is read back as
// soon as it is reported.
class StartWatch {
public:
    explicit StartWatch(Display* display) : display_(display)
    {
        int error = 0;
        if (!XDamageQueryExtension(display_, &damageEvent_, &error)) {
            std::fprintf(stderr, "the X server has no DAMAGE extension\n");
            std::exit(1);
        }
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, True);
    }

    ~StartWatch()
    {
        for (auto& [window, damage] : damages_)
            XDamageDestroy(display_, damage);
        XSelectInput(display_, DefaultRootWindow(display_), NoEventMask);
        XSync(display_, True);
    }

    // Gives up, with a message, when the program ends or 30 s pass first.
    Shown WaitFor(const char* title, const Launched& launched)
    {
        Shown shown;
        const Clock::time_point forked = launched.forked;
        for (;;) {
            while (!XPending(display_)) {
                pollfd connection{ConnectionNumber(display_), POLLIN, 0};
                poll(&connection, 1, 100);
                int status = 0;
                if (waitpid(launched.pid, &status, WNOHANG) == launched.pid || Clock::now() - forked > 30s) {
                    std::fprintf(stderr, "no window \"%s\" from process %d: it ended or never drew\n", title,
                                 static_cast<int>(launched.pid));
                    std::exit(1);
                }
            }
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == CreateNotify) {
                Damage damage = XDamageCreate(display_, event.xcreatewindow.window, XDamageReportRawRectangles);
                damages_.emplace_back(event.xcreatewindow.window, damage);
            } else if (event.type == MapNotify && !shown.window &&
                       WindowName(display_, event.xmap.window) == title) {
                shown.window = event.xmap.window;
                shown.mappedMs = Ms(Clock::now() - forked);
            } else if (event.type == damageEvent_ + XDamageNotify) {
                auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
                if (shown.window && damage->drawable == shown.window &&
                    MoreThanOneColour(display_, shown.window, damage->area.x, damage->area.y,
                                      damage->area.width, damage->area.height)) {
                    shown.contentMs = Ms(Clock::now() - forked);
                    return shown;
                }
            }
        }
    }

private:
    Display* display_;
    int damageEvent_ = 0;
    std::vector<std::pair<Window, Damage>> damages_;
};

// ---- figures ----------------------------------------------------------------

struct Spread {
    std::vector<double> values;
    double Median() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double Low() const { return *std::min_element(values.begin(), values.end()); }
    double High() const { return *std::max_element(values.begin(), values.end()); }
    std::string Text(const char* unit, int decimals) const
    {
        char text[96];
        std::snprintf(text, sizeof text, "%.*f %s (%.*f-%.*f)", decimals, Median(), unit, decimals, Low(),
                      decimals, High());
        return text;
    }
};

struct StartFigures {
    Spread mapped, content, peak;
};

StartFigures StartOnce(Display* display, const char* program, const char* title, StartFigures figures,
                       bool withMemory)
{
    TempDir empty;
    StartWatch watch(display);
    Launched launched = Launch(program, empty.path(), "dummy", empty / "out.raw");
    Shown shown = watch.WaitFor(title, launched);
    figures.mapped.values.push_back(shown.mappedMs);
    figures.content.values.push_back(shown.contentMs);
    if (withMemory) {
        std::this_thread::sleep_for(kIdle);
        figures.peak.values.push_back(StatusKiB(launched.pid, "VmHWM") / 1024.0);
    }
    Stop(launched.pid);
    return figures;
}

// The first memoryRuns runs of each program also idle, then read its peak
// memory; the figure hardly varies, and the idle time would make the long
// series of start-up times take minutes.
void StartupComparison(Display* display, const char* zorbanu, const char* bare, int runs, int memoryRuns)
{
    StartFigures ours, baseline;
    for (int run = 0; run < runs; ++run) {
        const bool withMemory = run < memoryRuns;
        // Alternate which goes first, so neither always follows the other.
        if (run % 2 == 0) {
            ours = StartOnce(display, zorbanu, kZorbanuTitle, ours, withMemory);
            baseline = StartOnce(display, bare, kBareTitle, baseline, withMemory);
        } else {
            baseline = StartOnce(display, bare, kBareTitle, baseline, withMemory);
            ours = StartOnce(display, zorbanu, kZorbanuTitle, ours, withMemory);
        }
    }
    std::printf("start-up, %d interleaved runs each, no clips; median (range)\n", runs);
    std::printf("  %-36s %-26s %-26s %s\n", "", "Zorbanu", "bare Qt window", "ratio of medians");
    auto row = [](const char* what, const Spread& a, const Spread& b, const char* unit, int decimals) {
        std::printf("  %-36s %-26s %-26s %.2f\n", what, a.Text(unit, decimals).c_str(),
                    b.Text(unit, decimals).c_str(), a.Median() / b.Median());
    };
    row("fork to window mapped", ours.mapped, baseline.mapped, "ms", 1);
    row("fork to first frame with content", ours.content, baseline.content, "ms", 1);
    if (memoryRuns > 0) {
        std::printf("  (peak memory from the first %d runs of each)\n", memoryRuns);
        row("peak resident (VmHWM) after 5 s idle", ours.peak, baseline.peak, "MiB", 1);
    }
}

// The disk driver's output file, read as it grows. The driver writes
// through a stdio buffer, so samples reach the file in blocks of about
// 90 ms; the moment a sample was played is better told by when the file
// appeared (the device was opened) and the sample's place in it, as the
// driver writes at the pace of playing.
class DiskOutput {
public:
    explicit DiskOutput(std::filesystem::path path) : path_(std::move(path)) {}

    // Reads what was added since the last call; returns the samples read.
    std::size_t Poll()
    {
        std::ifstream file(path_, std::ios::binary);
        if (!file)
            return 0;
        if (!created_)
            created_ = Clock::now();
        file.seekg(static_cast<std::streamoff>(samples_ * 2));
        std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const std::size_t count = bytes.size() / 2;
        for (std::size_t i = 0; i < count; ++i) {
            std::int16_t sample;
            std::memcpy(&sample, &bytes[2 * i], 2);
            if (sample != 0) {
                if (!firstSound_)
                    firstSound_ = samples_ + i;
                lastSound_ = samples_ + i;
            }
        }
        samples_ += count;
        return count;
    }

    std::size_t Samples() const { return samples_; }
    std::optional<std::size_t> FirstSound() const { return firstSound_; }
    std::optional<std::size_t> LastSound() const { return lastSound_; }
    // When the first non-silent sample was played.
    Clock::time_point FirstSoundAt() const
    {
        return *created_ + std::chrono::microseconds(*firstSound_ * 1000000 / kDeviceRate);
    }

private:
    std::filesystem::path path_;
    std::size_t samples_ = 0;
    std::optional<std::size_t> firstSound_, lastSound_;
    std::optional<Clock::time_point> created_;
};

// Waits until sound has been heard after sample `after` and then stopped
// for `quiet` samples. Returns false after a minute without that.
bool WaitForSpeechToEnd(DiskOutput& output, std::size_t after, std::size_t quiet)
{
    const auto deadline = Clock::now() + 60s;
    while (Clock::now() < deadline) {
        output.Poll();
        if (output.LastSound() && *output.LastSound() >= after && output.Samples() - *output.LastSound() > quiet)
            return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

void VoiceFigures(Display* display, const char* zorbanu, const std::filesystem::path& clips)
{
    if (!std::filesystem::exists(clips / "1.wav")) {
        std::printf("real voice pack: none at %s, skipped\n", clips.c_str());
        return;
    }
    Spread firstSound, firstFrame, cpu, spoken, wakes;
    const std::size_t quiet = kDeviceRate * 6 / 10;  // 0.6 s of silence ends a problem
    for (int run = 0; run < kVoiceRuns; ++run) {
        TempDir out;
        StartWatch watch(display);
        Launched launched = Launch(zorbanu, clips, "disk", out / "out.raw");
        DiskOutput output(out / "out.raw");
        while (!output.FirstSound() && Clock::now() - launched.forked < 30s) {
            output.Poll();
            if (!output.FirstSound())
                std::this_thread::sleep_for(500us);
        }
        firstSound.values.push_back(Ms(output.FirstSoundAt() - launched.forked));
        Shown shown = watch.WaitFor(kZorbanuTitle, launched);
        firstFrame.values.push_back(shown.contentMs);
        // The problem read at start-up ends; then Read speaks it once more.
        WaitForSpeechToEnd(output, 0, quiet);
        const std::size_t before = output.Samples();
        const double cpuBefore = CpuSeconds(launched.pid);
        const long wakesBefore = WindowThreadWakes(launched.pid);
        const auto read = Clock::now();
        Xdo("mousemove --window " + std::to_string(shown.window) + " 319 224 click 1");
        if (WaitForSpeechToEnd(output, before, quiet)) {
            cpu.values.push_back(CpuSeconds(launched.pid) - cpuBefore);
            spoken.values.push_back(double(*output.LastSound() - before) / kDeviceRate);
            std::this_thread::sleep_until(read + 4s);
            wakes.values.push_back(double(WindowThreadWakes(launched.pid) - wakesBefore));
        }
        Stop(launched.pid);
    }
    std::printf("real voice pack (%s), disk driver, %d runs; median (range)\n", clips.c_str(), kVoiceRuns);
    std::printf("  %-36s %s\n", "fork to first non-silent sample", firstSound.Text("ms", 1).c_str());
    std::printf("  %-36s %s\n", "fork to first frame with content", firstFrame.Text("ms", 1).c_str());
    if (cpu.values.empty()) {
        std::printf("  CPU while a problem is spoken: Read was not heard\n");
        return;
    }
    std::printf("  %-36s %s in %s, %.1f%% of one core\n", "CPU while one problem is spoken",
                cpu.Text("s", 2).c_str(), spoken.Text("s", 2).c_str(), 100 * cpu.Median() / spoken.Median());
    std::printf("  %-36s %s\n", "window thread wake-ups, 4 s from Read", wakes.Text("", 0).c_str());
}

void GapFigure()
{
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    const int clips = 12;
    {
        audio::SoundThread sound("zorbanu_bench");
        audio::SdlClipPlayer player(sound, [&] { return std::optional(dir.path()); });
        std::vector<std::string> names;
        for (int i = 0; i < clips; ++i) {
            names.push_back(std::to_string(i) + ".wav");
            WriteFile(dir / names.back(), ConstantClip(1000 + 100 * i, 3000 + 137 * i));
        }
        player.PlayReading(names);
    }
    auto runs = NonSilentSegments(ReadDiskOutput(dir / "out.raw"));
    std::size_t worst = 0, total = 0;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        std::size_t gap = runs[i].start - (runs[i - 1].start + runs[i - 1].length);
        worst = std::max(worst, gap);
        total += gap;
    }
    std::printf("silent samples between clips:   %zu in all, %zu at most (%zu boundaries, %zu clips heard of %d)\n",
                total, worst, runs.empty() ? 0 : runs.size() - 1, runs.size(), clips);
}

// A private PulseAudio server with a null sink, for the figures that need a
// real sound server; stopped with the object. The sink rewinds nothing: a
// null sink that rewinds starts every new stream up to 2 s late (as paplay
// shows), which no sound card does.
class PulseServer {
public:
    explicit PulseServer(const std::filesystem::path& runtime)
    {
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        unsetenv("SDL_AUDIODRIVER");
        pid_ = fork();
        if (pid_ == 0) {
            execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "-L",
                   "module-null-sink sink_name=out norewinds=1", "-L", "module-native-protocol-unix",
                   "--log-target=file:/dev/null", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && !Up(); ++i)
            std::this_thread::sleep_for(50ms);
    }
    ~PulseServer() { Stop(pid_); }
    static bool Up() { return std::system("pactl info >/dev/null 2>&1") == 0; }

private:
    pid_t pid_;
};

// What reaches the sound server's sink, read as it arrives through a pipe
// from parec: whether a sample that is not silent came since last asked.
class SinkListener {
public:
    SinkListener()
    {
        int ends[2];
        if (pipe(ends) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(ends[1], 1);
            execlp("parec", "parec", "--latency-msec=5", "-d", "out.monitor", "--format=s16le", "--rate=22050",
                   "--channels=1", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ends[1]);
        fd_ = ends[0];
    }
    ~SinkListener()
    {
        Stop(pid_);
        close(fd_);
    }
    bool Heard()
    {
        pollfd ready{fd_, POLLIN, 0};
        std::int16_t samples[1024];
        bool heard = false;
        while (poll(&ready, 1, 0) > 0) {
            const ssize_t got = read(fd_, samples, sizeof samples);
            if (got <= 0)
                break;
            heard = heard || std::any_of(samples, samples + got / 2, [](std::int16_t s) { return s != 0; });
        }
        return heard;
    }

private:
    pid_t pid_ = 0;
    int fd_ = -1;
};

// With a real sound server: how long after it is asked for a clip reaches
// the sink when the device was closed for being idle, against an open
// device, and the time from the last sound to the device's release.
void IdleFigures()
{
    TempDir dir;
    std::optional<PulseServer> server;
    if (!PulseServer::Up())
        server.emplace(dir / "runtime");
    unsetenv("SDL_AUDIODRIVER");
    WriteFile(dir / "tone.wav", ConstantClip(3000, 2205));
    const std::vector<std::string> tone{"tone.wav"};
    Spread afterIdle, onOpen, release;
    {
        SinkListener sink;
        audio::SoundThread sound("zorbanu_bench");
        std::optional<Clock::time_point> heardAt;
        // Watches the sink every millisecond while the player waits.
        struct SinkWaiter final : audio::Waiter {
            SinkWaiter(SinkListener& listener, std::optional<Clock::time_point>& at) : sink(listener), heardAt(at) {}
            void SleepUntil(Clock::time_point deadline) override
            {
                while (!woken.exchange(false) && Clock::now() < deadline) {
                    if (!heardAt && sink.Heard())
                        heardAt = Clock::now();
                    std::this_thread::sleep_for(1ms);
                }
            }
            void Wake() override { woken = true; }
            SinkListener& sink;
            std::optional<Clock::time_point>& heardAt;
            std::atomic<bool> woken = false;
        } waiter(sink, heardAt);
        audio::SdlClipPlayer player(sound, [&] { return std::optional(dir.path()); }, &waiter);
        auto timed = [&] {
            sink.Heard();  // what came before
            heardAt.reset();
            const auto start = Clock::now();
            player.PlayReading(tone);
            while (!heardAt && Clock::now() - start < 5s)
                if (sink.Heard())
                    heardAt = Clock::now();
            return Ms(heardAt.value_or(start) - start);
        };
        for (int run = 0; run < 8; ++run) {
            std::this_thread::sleep_for(audio::kIdleRelease + 500ms);
            afterIdle.values.push_back(timed());
            std::this_thread::sleep_for(300ms);
            onOpen.values.push_back(timed());
            // The clip's last buffer is still playing when PlayReading returns.
            const auto lastSound = Clock::now() + std::chrono::microseconds(1000000 * player.QueuedBytes().value_or(0) / 2 / kDeviceRate);
            while (player.HasDevice().value_or(false))
                std::this_thread::sleep_for(1ms);
            release.values.push_back(Ms(Clock::now() - lastSound));
        }
    }
    std::printf("PulseAudio (null sink, its monitor read by parec), a clip of 100 ms, 8 runs; median (range)\n");
    std::printf("  %-36s %s\n", "asked for to heard, device closed", afterIdle.Text("ms", 1).c_str());
    std::printf("  %-36s %s\n", "asked for to heard, device open", onOpen.Text("ms", 1).c_str());
    std::printf("  %-36s %.1f ms\n", "first clip after idle starts later by", afterIdle.Median() - onOpen.Median());
    std::printf("  %-36s %s\n", "last sound to the device's release", release.Text("ms", 0).c_str());
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
            start[i] = StartOnce(display, programs[i].c_str(), kZorbanuTitle, start[i], false);
            TempDir out;
            Launched launched = Launch(programs[i].c_str(), clips, "disk", out / "out.raw");
            DiskOutput output(out / "out.raw");
            while (!output.FirstSound() && Clock::now() - launched.forked < 30s) {
                output.Poll();
                if (!output.FirstSound())
                    std::this_thread::sleep_for(500us);
            }
            firstSound[i].values.push_back(Ms(output.FirstSoundAt() - launched.forked));
            Stop(launched.pid);
        }
    std::printf("%d interleaved runs; median (range): fork to first non-silent sample played (real voice pack,\n"
                "disk driver), and fork to first frame with content (no clips)\n", runs);
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::printf("  %-44s %s   %s\n", programs[i].c_str(), firstSound[i].Text("ms", 1).c_str(),
                    start[i].content.Text("ms", 1).c_str());
}

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

template <typename Done>
void WaitUntil(Done done)
{
    while (!done())
        std::this_thread::sleep_for(1ms);
}

// Clips that say which problem was drawn; Enter with its answer, until the
// tick is on screen.
void EnterToTick(Display* display, const char* program)
{
    TempDir dir;
    auto frames = [](const std::string&) { return kClipFrames; };
    WriteRecognisableClips(dir.path(), frames);
    testing_support::DiskOutput output(dir / "out.raw");
    auto heard = [&] { return ClipsHeard(output.Follow(), frames); };
    StartWatch watch(display);
    Launched launched = Launch(program, dir.path(), "disk", dir / "out.raw");
    Window window = watch.WaitFor(kZorbanuTitle, launched).window;
    const std::string id = std::to_string(window);
    WaitUntil([&] { return heard().size() >= 12; });
    std::this_thread::sleep_for(600ms);  // the last clip ends; input is held until then

    std::vector<std::string> first = heard();
    first.resize(12);
    int answer = -1;
    for (int a = 1; a <= 9; ++a)
        for (int b = 1; b <= 9; ++b) {
            auto clips = speech::ComposeProblem(a, b, "+");
            if (std::equal(clips.begin(), clips.end(), first.begin()))
                answer = a + b;
        }
    Xdo("windowfocus --sync " + id);
    Xdo("type " + std::to_string(answer));
    auto enter = Clock::now();
    Xdo("key Return");
    WaitUntil([&] { return TickShown(display, window); });
    double shown = Ms(Clock::now() - enter);
    std::printf("Enter to tick on screen:         %.0f ms, of which \"win.wav\" plays %.0f ms: %+.0f ms after it ends\n",
                shown, 1000.0 * kClipFrames / kDeviceRate, shown - 1000.0 * kClipFrames / kDeviceRate);
    std::printf("peak resident memory (session):  %.1f MiB (now %.1f MiB anonymous, %.1f MiB mapped files)\n",
                StatusKiB(launched.pid, "VmHWM") / 1024.0, StatusKiB(launched.pid, "RssAnon") / 1024.0,
                StatusKiB(launched.pid, "RssFile") / 1024.0);
    Stop(launched.pid);
}

}  // namespace

int main(int argc, char* argv[])
{
    int startUpRuns = 0;
    if (argc > 3 && std::string(argv[1]) == "--first-sound") {
        const std::vector<std::string> programs{std::filesystem::absolute(ZORBANU_BINARY),
                                                std::filesystem::absolute(argv[3])};
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return 1;
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        FirstSoundComparison(display, programs, std::filesystem::absolute(ZORBANU_CLIPS), std::max(1, std::atoi(argv[2])));
        XCloseDisplay(display);
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--idle") {
        IdleFigures();
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--start-up") {
        startUpRuns = std::max(1, std::atoi(argv[2]));
        argc -= 2;
        argv += 2;
    }
    // Each program runs in a folder of its own, so the paths must not be
    // relative to this one.
    const std::string zorbanu = std::filesystem::absolute(argc > 1 ? argv[1] : ZORBANU_BINARY);
    const std::string bare = std::filesystem::absolute(argc > 2 ? argv[2] : ZORBANU_BARE_WINDOW);
    const std::filesystem::path clips = std::filesystem::absolute(argc > 3 ? argv[3] : ZORBANU_CLIPS);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display: run under xvfb-run\n");
        return 1;
    }
    // Windows the bench watches may vanish at any time (a program ends, Qt
    // drops a helper window); a request about one that is gone is no error.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    if (startUpRuns > 0) {
        StartupComparison(display, zorbanu.c_str(), bare.c_str(), startUpRuns, 0);
        XCloseDisplay(display);
        return 0;
    }
    StartupComparison(display, zorbanu.c_str(), bare.c_str(), kRuns, kMemoryRuns);
    VoiceFigures(display, zorbanu.c_str(), clips);
    GapFigure();
    EnterToTick(display, zorbanu.c_str());
    IdleFigures();
    XCloseDisplay(display);
    return 0;
}
