// The helpers every benchmark program shares (Bench.h); built into
// zorbanu_bench_support, not run on its own.
#include "Bench.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "support/Wav.h"

using namespace std::chrono_literals;

namespace bench {
namespace {

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

}  // namespace

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Spread::Median() const
{
    std::vector<double> v = values;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Spread::Low() const { return *std::min_element(values.begin(), values.end()); }
double Spread::High() const { return *std::max_element(values.begin(), values.end()); }

std::string Spread::Text(const char* unit, int decimals) const
{
    if (values.empty())
        return "none measured";
    char text[96];
    std::snprintf(text, sizeof text, "%.*f%s%s (%.*f-%.*f)", decimals, Median(), *unit ? " " : "", unit, decimals,
                  Low(), decimals, High());
    return text;
}

Launched Launch(const std::string& program, const std::filesystem::path& dir, const char* audio,
                const std::filesystem::path& diskFile)
{
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    setenv("XDG_DATA_DIRS", dir.c_str(), 1);
    setenv("SDL_AUDIODRIVER", audio, 1);
    setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    const int ownStderr = dup(2);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    Launched launched{nullptr, Clock::now()};
    launched.child = std::make_unique<testing_support::Child>(program, dir, true);
    dup2(ownStderr, 2);
    close(null);
    close(ownStderr);
    return launched;
}

Display* OpenDisplay()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display: run under xvfb-run\n");
        std::exit(1);
    }
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    return display;
}

StartWatch::StartWatch(Display* display) : display_(display)
{
    int error = 0;
    if (!XDamageQueryExtension(display_, &damageEvent_, &error)) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        std::exit(1);
    }
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, True);
}

StartWatch::~StartWatch()
{
    for (auto& [window, damage] : damages_)
        XDamageDestroy(display_, damage);
    XSelectInput(display_, DefaultRootWindow(display_), NoEventMask);
    XSync(display_, True);
}

Shown StartWatch::WaitFor(const char* title, const Launched& launched)
{
    Shown shown;
    for (;;) {
        while (!XPending(display_)) {
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            poll(&connection, 1, 100);
            if (waitpid(launched.pid(), nullptr, WNOHANG) == launched.pid() || Clock::now() - launched.forked > 30s) {
                std::fprintf(stderr, "no window \"%s\" from process %d: it ended or never drew\n", title,
                             static_cast<int>(launched.pid()));
                std::exit(1);
            }
        }
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == CreateNotify) {
            Damage damage = XDamageCreate(display_, event.xcreatewindow.window, XDamageReportRawRectangles);
            damages_.emplace_back(event.xcreatewindow.window, damage);
        } else if (event.type == MapNotify && !shown.window && WindowName(display_, event.xmap.window) == title) {
            shown.window = event.xmap.window;
            shown.mappedMs = Ms(Clock::now() - launched.forked);
        } else if (event.type == damageEvent_ + XDamageNotify) {
            auto* damage = reinterpret_cast<XDamageNotifyEvent*>(&event);
            if (shown.window && damage->drawable == shown.window &&
                MoreThanOneColour(display_, shown.window, damage->area.x, damage->area.y, damage->area.width,
                                  damage->area.height)) {
                shown.contentMs = Ms(Clock::now() - launched.forked);
                return shown;
            }
        }
    }
}

void StartOnce(Display* display, const std::string& program, const char* title, StartFigures& figures,
               bool withMemory)
{
    testing_support::TempDir empty;
    StartWatch watch(display);
    Launched launched = Launch(program, empty.path(), "dummy", empty / "out.raw");
    Shown shown = watch.WaitFor(title, launched);
    figures.mapped.values.push_back(shown.mappedMs);
    figures.content.values.push_back(shown.contentMs);
    if (withMemory) {
        std::this_thread::sleep_for(5s);
        figures.peak.values.push_back(bench::ProcStatus(launched.pid(), "VmHWM") / 1024.0);
    }
}

std::optional<Clock::time_point> FirstSoundPlayed(const std::filesystem::path& file, Clock::time_point forked)
{
    testing_support::DiskOutput output(file);
    std::optional<Clock::time_point> opened;
    while (Clock::now() - forked < 30s) {
        if (!opened && std::filesystem::exists(file))
            opened = Clock::now();
        if (opened) {
            const std::vector<std::int16_t>& samples = output.Follow();
            const auto sound = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; });
            if (sound != samples.end())
                return *opened + std::chrono::microseconds((sound - samples.begin()) * 1000000 / kDeviceRate);
        }
        std::this_thread::sleep_for(500us);
    }
    return std::nullopt;
}

double CpuSeconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    const std::vector<std::string> f{std::istream_iterator<std::string>(fields), std::istream_iterator<std::string>()};
    return double(std::stol(f[11]) + std::stol(f[12])) / double(sysconf(_SC_CLK_TCK));
}

}  // namespace bench
