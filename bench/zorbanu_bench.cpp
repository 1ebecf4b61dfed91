// Performance figures of the real program, printed, never judged:
//   - silent samples between consecutive clips (the SDL player, disk driver);
//   - time from process start to the window being mapped, with no clips;
//   - resident memory then, and at the end of a session;
//   - CPU time spent while a twelve-clip problem is spoken;
//   - time from Enter to the tick on screen, against the length of "win.wav".
// Needs an X server (run under xvfb-run) and xdotool.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "speech/Composer.h"
#include "speech/SdlClipPlayer.h"
#include "support/ClipPack.h"
#include "support/Wav.h"

using namespace testing_support;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kClipFrames = 11025;  // 0.5 s a clip in the speaking session

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void GapFigure()
{
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    const int clips = 12;
    {
        speech::SdlClipPlayer player;
        for (int i = 0; i < clips; ++i)
            WriteFile(dir / (std::to_string(i) + ".wav"), MakeWav({}, Constant(1000 + 100 * i, 3000 + 137 * i)));
        for (int i = 0; i < clips; ++i)
            player.PlayClip((dir / (std::to_string(i) + ".wav")).string());
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

struct Launched {
    pid_t pid;
    Clock::time_point started;
};

Launched Launch(const char* program, const std::filesystem::path& dir, const char* audio)
{
    Launched launched{0, Clock::now()};
    launched.pid = fork();
    if (launched.pid == 0) {
        if (chdir(dir.c_str()) != 0)
            _exit(127);
        setenv("SDL_AUDIODRIVER", audio, 1);
        setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
        execl(program, "zorbanu", static_cast<char*>(nullptr));
        _exit(127);
    }
    return launched;
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// Waits for the program's top-level window to be mapped.
Window WaitForMap(Display* display)
{
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        char* name = nullptr;
        bool ours = XFetchName(display, event.xmap.window, &name) && name && std::string(name) == "Zorbanu";
        if (name)
            XFree(name);
        if (ours)
            return event.xmap.window;
    }
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

void StartupFigure(Display* display, const char* program)
{
    std::vector<double> times;
    std::vector<long> resident;
    for (int run = 0; run < 10; ++run) {
        TempDir empty;
        XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
        Launched launched = Launch(program, empty.path(), "dummy");
        WaitForMap(display);
        times.push_back(Ms(Clock::now() - launched.started));
        resident.push_back(StatusKiB(launched.pid, "VmRSS"));
        Stop(launched.pid);
    }
    std::sort(times.begin(), times.end());
    std::sort(resident.begin(), resident.end());
    std::printf("start to window mapped (no clips): median %.1f ms, fastest %.1f ms, slowest %.1f ms (10 runs)\n",
                times[times.size() / 2], times.front(), times.back());
    std::printf("resident memory at that moment:  median %.1f MiB\n", resident[resident.size() / 2] / 1024.0);
}

void Xdo(const std::string& arguments)
{
    if (std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) != 0)
        std::fprintf(stderr, "xdotool %s failed\n", arguments.c_str());
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

void SpeakingSession(Display* display, const char* program)
{
    TempDir dir;
    auto frames = [](const std::string&) { return kClipFrames; };
    WriteRecognisableClips(dir.path(), frames);
    auto heard = [&] { return ClipsHeard(dir / "out.raw", frames); };
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    Launched launched = Launch(program, dir.path(), "disk");
    Window window = WaitForMap(display);
    const std::string id = std::to_string(window);

    // Read: twelve clips of half a second each.
    double cpuBefore = CpuSeconds(launched.pid);
    auto start = Clock::now();
    Xdo("mousemove --window " + id + " 319 224 click 1");
    WaitUntil([&] { return heard().size() >= 24; });
    double wall = Ms(Clock::now() - start) / 1000;
    double cpu = CpuSeconds(launched.pid) - cpuBefore;
    std::printf("CPU while speaking 12 clips:     %.2f s in %.2f s, %.1f%% of one core\n", cpu, wall,
                100 * cpu / wall);
    std::this_thread::sleep_for(600ms);  // the last clip ends; input is held until then

    // Enter with the right answer, until the tick is on screen.
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
                shown, 1000.0 * kClipFrames / 22050, shown - 1000.0 * kClipFrames / 22050);
    std::printf("peak resident memory (session):  %.1f MiB (now %.1f MiB anonymous, %.1f MiB mapped files: "
                "shared libraries and fonts)\n",
                StatusKiB(launched.pid, "VmHWM") / 1024.0, StatusKiB(launched.pid, "RssAnon") / 1024.0,
                StatusKiB(launched.pid, "RssFile") / 1024.0);
    Stop(launched.pid);
}

}  // namespace

int main(int argc, char* argv[])
{
    const char* program = argc > 1 ? argv[1] : ZORBANU_BINARY;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display: run under xvfb-run\n");
        return 1;
    }
    GapFigure();
    StartupFigure(display, program);
    SpeakingSession(display, program);
    XCloseDisplay(display);
    return 0;
}
