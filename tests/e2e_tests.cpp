// The real program on a real X server (Xvfb), with SDL's disk audio driver
// and the user's voice folder holding clips that are each one recognisable
// sample value, driven with xdotool the way a child and a parent would.
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

// The program started from a folder without clips, so that its voice is the
// user's own; killed with the test if still running.
class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir / "work");
        std::filesystem::create_directories(dir / "data/zorbanu/clips");
        WriteRecognisableClips(dir / "data/zorbanu/clips", FramesOf);
        setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
        unsetenv("QT_QPA_PLATFORM");
        if ((pid = fork()) == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (chdir((dir / "work").c_str()) == 0)
                execl(ZORBANU_BINARY, "zorbanu", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(WaitUntil([&] { return !(window = Shell("xdotool search --onlyvisible --name '^Zorbanu$'")).empty(); }));
    }

    void TearDown() override
    {
        if (pid > 0 && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }

    // The last clips heard, once at least `count` have been.
    Clips Heard(std::size_t count, std::size_t last = 99)
    {
        Clips heard;
        EXPECT_TRUE(WaitUntil([&] { return (heard = ClipsHeard(dir / "out.raw", FramesOf)).size() >= count; }));
        return Clips(heard.end() - static_cast<long>(std::min(last, heard.size())), heard.end());
    }

    void Xdo(const std::string& arguments) { Shell("xdotool " + arguments); }
    void Click(const char* where) { Xdo("mousemove --window " + window + " " + where + " click 1"); }

    int ExitStatus()
    {
        int status = -1;
        EXPECT_TRUE(WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
        pid = 0;
        return status;
    }

    TempDir dir;
    pid_t pid = 0;
    std::string window;
};

TEST_F(Program, ASessionAsAChildAndAParentLiveIt)
{
    const Clips first = Heard(0);
    ASSERT_EQ(first.size(), 12u) << "the first problem is spoken before the window shows";
    const char a = first[0][0], b = first[6][0];
    EXPECT_EQ(first, Spoken(a, "+", b));
    Xdo("windowfocus --sync " + window);
    Xdo("type " + std::to_string(a + b - 2 * '0' + 1) + "; xdotool key Return");
    Heard(13);
    Xdo("type " + std::to_string(a + b - 2 * '0') + "; xdotool key Return");
    EXPECT_EQ(Heard(14, 2), (Clips{"won.wav", "win.wav"}));

    // Space presses Continue; the answer typed while "=" is still spoken is
    // held and judged after the reading, digits before Enter.
    Xdo("key space");
    const Clips next = Heard(14 + 11, 11);
    const char c = next[0][0], d = next[6][0];
    Xdo("type " + std::to_string(c + d - 2 * '0') + "; xdotool key Return");
    Clips expected = Spoken(c, "+", d);
    expected.push_back("win.wav");
    EXPECT_EQ(Heard(27, 13), expected);

    // The parent right-clicks the bare window and chooses division with the
    // keyboard; Read speaks the same operands with the new sign.
    Xdo("mousemove --window " + window + " 10 120 click 3 sleep 0.3 key Down Down Down Down Down Down Down Return");
    std::this_thread::sleep_for(200ms);
    Click("319 224");
    EXPECT_EQ(Heard(39, 12), Spoken(c, "÷", d));

    // Closed from the frame while Read speaks: the reading ends, then the
    // program, with success.
    Click("319 224");
    Heard(42);
    RequestClose(std::stoul(window));
    const int status = ExitStatus();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Heard(0).size(), 51u);
}

TEST_F(Program, EndsOnTerminationAndTellsWhereItsVoiceIs)
{
    kill(pid, SIGTERM);
    const int status = ExitStatus();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    const std::string help = Shell("cd " + (dir / "work").string() + " && " ZORBANU_BINARY " --help");
    EXPECT_NE(help.find((dir / "data/zorbanu/clips").string()), std::string::npos) << help;
}

}  // namespace
