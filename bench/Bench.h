#pragma once
// What the benchmark programs share beyond the tests' support code
// (tests/support: processes, bounded waits, the disk driver's output, the
// private sound server, /proc): starting the real program in a folder of
// its own, watching an X server for its window and first frame, timing its
// first sound on SDL's disk driver, and printing a series of figures as its
// median and range. The figures are printed, never judged.

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Program.h"

namespace bench {

// A number of /proc/PID/status ("VmHWM" in KiB, "voluntary_ctxt_switches").
inline long ProcStatus(pid_t pid, const std::string& field)
{
    return std::stol("0" + testing_support::Shell("awk '/^" + field + ":/ {print $2}' /proc/" + std::to_string(pid) + "/status"));
}

using Clock = std::chrono::steady_clock;
inline constexpr int kDeviceRate = 22050;  // the player's device: mono, signed 16-bit
inline const char* const kZorbanuTitle = "Zorbanu";
inline const char* const kBareTitle = "Bare Qt window";

double Ms(Clock::duration duration);

// A series of measurements.
struct Spread {
    std::vector<double> values;
    double Median() const;
    double Low() const;
    double High() const;
    // "median unit (low-high)"; the unit may be "".
    std::string Text(const char* unit, int decimals) const;
};

// A program started straight after the fork, so that its start is timed
// from `forked`.
struct Launched {
    std::unique_ptr<testing_support::Child> child;
    Clock::time_point forked;
    pid_t pid() const { return child->pid; }
};

// Starts program (an absolute path) in dir, on SDL's audio driver `audio`
// (the disk driver writes diskFile). Its voice is looked for in dir only: the
// XDG data folders point there too, so no installed or recorded voice is
// found. Its own messages (SDL's disk driver announces itself) go to
// /dev/null, not between the figures.
Launched Launch(const std::string& program, const std::filesystem::path& dir, const char* audio,
                const std::filesystem::path& diskFile);

// The X display, with errors about windows that have gone ignored (a program
// ends, Qt drops a helper window); exits with a message when there is none.
Display* OpenDisplay();

struct Shown {
    Window window = 0;
    double mappedMs = 0;   // fork to the window mapped
    double contentMs = 0;  // fork to its first frame of more than one colour
};

// Watches the screen from before the fork until the window titled title is
// mapped and then draws a frame of more than one colour (read back with
// XGetImage). Every new top-level window gets a damage object (the X DAMAGE
// extension) when it is created, so no drawing done between the map and the
// first look can be missed; a damaged area is read back as soon as it is
// reported.
class StartWatch {
public:
    explicit StartWatch(Display* display);
    ~StartWatch();
    StartWatch(const StartWatch&) = delete;
    StartWatch& operator=(const StartWatch&) = delete;

    // Exits with a message when the program ends or 30 s pass first.
    Shown WaitFor(const char* title, const Launched& launched);

private:
    Display* display_;
    int damageEvent_ = 0;
    std::vector<std::pair<Window, Damage>> damages_;
};

// One start of a program without clips (the dummy audio driver), watched
// until its first frame with content; with memory, then 5 s idle and its
// peak resident memory (VmHWM). Adds to the series.
struct StartFigures {
    Spread mapped, content, peak;
};
void StartOnce(Display* display, const std::string& program, const char* title, StartFigures& figures,
               bool withMemory);

// When a program started at `forked` first played a sample that is not
// silent on SDL's disk driver, writing `file`; nothing after 30 s. The driver
// writes at the pace of playing but through a stdio buffer, in blocks of
// about 90 ms, so the moment is told by when the file appeared (the device
// was opened) and the sample's place in it, not by when the sample reached
// the file.
std::optional<Clock::time_point> FirstSoundPlayed(const std::filesystem::path& file, Clock::time_point forked);

// User and system CPU time a process has used, in seconds (the kernel
// counts in ticks of 10 ms).
double CpuSeconds(pid_t pid);

}  // namespace bench
