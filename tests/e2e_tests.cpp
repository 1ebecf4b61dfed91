// The real program on a real X server (Xvfb), with SDL's disk audio driver
// and the user's voice folder holding clips that are each one recognisable
// sample value, driven with xdotool the way a child and a parent would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
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
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out.substr(0, out.find_last_not_of(" \n") + 1);
}

// Every wait is bounded; the bound only guards against a hung program.
bool WaitUntil(const std::function<bool()>& done)
{
    for (auto start = std::chrono::steady_clock::now(); std::chrono::steady_clock::now() - start < 30s;
         std::this_thread::sleep_for(5ms))
        if (done())
            return true;
    return false;
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

// A problem within ten as it is spoken: a, four fillers, the sign, b and
// its fillers, equals.
Clips Spoken(int a, const std::string& sign, int b)
{
    return {std::to_string(a) + ".wav", "nul.wav", "nul.wav", "nul.wav", "nul.wav", sign + ".wav",
            std::to_string(b) + ".wav", "nul.wav", "a.wav", "nul.wav", "a.wav", "=.wav"};
}

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "run under xvfb-run";
        std::filesystem::create_directories(dir / "work");
        std::filesystem::create_directories(dir / "data/zorbanu/clips");
        WriteRecognisableClips(dir / "data/zorbanu/clips", FramesOf);
    }

    void TearDown() override
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }

    // Started from a folder without clips: the voice is the user's own.
    void Launch()
    {
        pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test
            if (chdir((dir / "work").c_str()) != 0)
                _exit(127);
            setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
            unsetenv("QT_QPA_PLATFORM");
            execl(ZORBANU_BINARY, "zorbanu", static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_TRUE(WaitUntil([&] { return !(window = Shell("xdotool search --onlyvisible --name '^Zorbanu$'")).empty(); }));
    }

    Clips Heard() const { return ClipsHeard(dir / "out.raw", FramesOf); }
    bool WaitForClips(std::size_t count) const { return WaitUntil([&] { return Heard().size() >= count; }); }
    Clips Last(std::size_t count) const
    {
        Clips heard = Heard();
        return Clips(heard.end() - static_cast<long>(std::min(count, heard.size())), heard.end());
    }
    void Xdo(const std::string& arguments) const { Shell("xdotool " + arguments); }
    void Click(int x, int y, int button = 1) const
    {
        Xdo("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " click " +
            std::to_string(button));
    }

    int ExitStatus()
    {
        int status = -1;
        bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
        pid = ended ? 0 : pid;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir dir;
    pid_t pid = 0;
    std::string window;
};

TEST_F(Program, ASessionAsAChildAndAParentLiveIt)
{
    Launch();
    const Clips first = Heard();
    ASSERT_EQ(first.size(), 12u) << "the first problem is spoken before the window shows";
    const int a = first[0][0] - '0', b = first[6][0] - '0';
    EXPECT_EQ(first, Spoken(a, "+", b));
    Xdo("windowfocus --sync " + window);

    Xdo("type " + std::to_string(a + b + 1) + " && xdotool key Return");
    ASSERT_TRUE(WaitForClips(13));
    Xdo("type " + std::to_string(a + b) + " && xdotool key Return");
    ASSERT_TRUE(WaitForClips(14));
    EXPECT_EQ(Last(2), (Clips{"won.wav", "win.wav"}));

    // Space presses Continue; the answer typed while "=" is still spoken is
    // held and judged after the reading, digits before Enter.
    Xdo("key space");
    ASSERT_TRUE(WaitForClips(14 + 11));
    const Clips next = Last(11);
    const int c = next[0][0] - '0', d = next[6][0] - '0';
    Xdo("type " + std::to_string(c + d) + " && xdotool key Return");
    ASSERT_TRUE(WaitForClips(27));
    Clips expected = Spoken(c, "+", d);
    expected.push_back("win.wav");
    EXPECT_EQ(Last(13), expected);

    // The parent right-clicks the bare window and chooses division with the
    // keyboard; Read speaks the same operands with the new sign.
    Click(10, 120, 3);
    std::this_thread::sleep_for(300ms);
    Xdo("key Down Down Down Down Down Down Down Return");
    std::this_thread::sleep_for(200ms);
    Click(319, 224);
    ASSERT_TRUE(WaitForClips(27 + 12));
    EXPECT_EQ(Last(12), Spoken(c, "÷", d));

    // Closed from the frame while Read speaks: the reading ends, then the
    // program, with success.
    Click(319, 224);
    ASSERT_TRUE(WaitForClips(39 + 3));
    RequestClose(std::stoul(window));
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_EQ(Heard().size(), 51u);
}

TEST_F(Program, EndsOnTerminationAndTellsWhereItsVoiceIs)
{
    Launch();
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
    pid = 0;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    const std::string help = Shell("cd " + (dir / "work").string() + " && XDG_DATA_HOME=" + (dir / "data").string() +
                                   " " ZORBANU_BINARY " --help");
    EXPECT_NE(help.find((dir / "data/zorbanu/clips").string()), std::string::npos) << help;
}

}  // namespace
