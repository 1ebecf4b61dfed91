// The real program on a real X server (Xvfb), with SDL's disk audio driver,
// started in a folder of clips that are each one recognisable sample value
// (and which it prefers to the user's own voice folder), driven with
// xdotool through a whole session.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "support/ClipPack.h"
#include "support/Wav.h"

#include <X11/Xlib.h>  // last: its macros clash with GoogleTest

using namespace testing_support;
using namespace std::chrono_literals;
using Clips = std::vector<std::string>;

namespace {

int FramesOf(const std::string& name) { return name == "=.wav" ? 22050 : 2205; }  // "=" lasts 1 s

std::string Shell(const std::string& command)
{
    std::string out(4096, '\0');
    FILE* pipe = popen(command.c_str(), "r");
    out.resize(fread(out.data(), 1, out.size(), pipe));
    pclose(pipe);
    return out.substr(0, out.find_last_not_of(" \n") + 1);
}

// Every wait is bounded; the bound only guards against a hung program.
bool WaitUntil(const std::function<bool()>& done)
{
    for (auto start = std::chrono::steady_clock::now(); !done(); std::this_thread::sleep_for(5ms))
        if (std::chrono::steady_clock::now() - start > 30s)
            return false;
    return true;
}

// The close request a window manager sends for the frame's close button.
void RequestClose(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    XEvent event{};
    event.xclient = {ClientMessage, 0, True, display, window, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

// A problem within ten as it is spoken: a, four fillers, the sign, b, its
// fillers, equals.
Clips Spoken(char a, const std::string& sign, char b)
{
    return {a + std::string(".wav"), "nul.wav", "nul.wav", "nul.wav", "nul.wav", sign + ".wav",
            b + std::string(".wav"), "nul.wav", "a.wav", "nul.wav", "a.wav", "=.wav"};
}

// Kills and reaps the program if the test ends before it does.
struct Reaper {
    pid_t pid;
    ~Reaper()
    {
        if (pid > 0 && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }
};

TEST(Program, ASessionAsAChildAndAParentLiveIt)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "work");
    std::filesystem::create_directories(dir / "data/zorbanu/clips");
    WriteRecognisableClips(dir / "work", FramesOf);
    WriteFile(dir / "data/zorbanu/clips/=.wav", ConstantClip(-1234, 2205));  // never heard: no mixing
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    Reaper program{fork()};
    if (program.pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (chdir((dir / "work").c_str()) == 0)
            execl(ZORBANU_BINARY, "zorbanu", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string window;
    ASSERT_TRUE(WaitUntil([&] { return !(window = Shell("xdotool search --onlyvisible --name '^Zorbanu$'")).empty(); }));
    // The last `last` clips heard, once at least `count` have been.
    auto heard = [&](std::size_t count, std::size_t last = 99) {
        Clips clips;
        EXPECT_TRUE(WaitUntil([&] { return (clips = ClipsHeard(dir / "out.raw", FramesOf)).size() >= count; }));
        return Clips(clips.end() - static_cast<long>(std::min(last, clips.size())), clips.end());
    };
    auto xdo = [&](const std::string& arguments) { Shell("xdotool " + arguments); };
    auto type = [&](int number) { xdo("type " + std::to_string(number) + "; xdotool key Return"); };

    const Clips first = heard(0);
    ASSERT_EQ(first.size(), 12u) << "the first problem is spoken before the window shows";
    const int a = first[0][0] - '0', b = first[6][0] - '0';
    EXPECT_EQ(first, Spoken(first[0][0], "+", first[6][0]));
    xdo("windowfocus --sync " + window);
    type(a + b + 1);
    heard(13);
    type(a + b);
    EXPECT_EQ(heard(14, 2), (Clips{"won.wav", "win.wav"}));

    // Space presses Continue; the answer typed while "=" is still spoken is
    // held and judged after the reading, digits before Enter.
    xdo("key space");
    const Clips next = heard(14 + 11, 11);
    type(next[0][0] - '0' + next[6][0] - '0');
    Clips expected = Spoken(next[0][0], "+", next[6][0]);
    expected.push_back("win.wav");
    EXPECT_EQ(heard(27, 13), expected);

    // The parent right-clicks the bare window and chooses division with the
    // keyboard; Read speaks the same operands with the new sign.
    xdo("mousemove --window " + window + " 10 120 click 3 sleep 0.3 key Down Down Down Down Down Down Down Return");
    std::this_thread::sleep_for(200ms);
    xdo("mousemove --window " + window + " 319 224 click 1");
    EXPECT_EQ(heard(39, 12), Spoken(next[0][0], "÷", next[6][0]));

    // Closed from the frame while Read speaks: the reading ends, then the
    // program, with success.
    xdo("mousemove --window " + window + " 319 224 click 1");
    heard(42);
    RequestClose(std::stoul(window));
    int status = -1;
    ASSERT_TRUE(WaitUntil([&] { return waitpid(program.pid, &status, WNOHANG) == program.pid; }));
    program.pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(heard(0).size(), 51u);
}

}  // namespace
