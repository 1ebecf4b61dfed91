// The real program on a real X server (Xvfb), with SDL's disk audio driver
// and a clip folder in which every clip is one recognisable constant
// sample value, driven with xdotool the way a user would drive it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <thread>

#include "speech/Composer.h"
#include "support/ClipPack.h"
#include "support/Wav.h"

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

constexpr int kFrames = 2205;       // 0.1 s a clip
constexpr int kEqualsFrames = 22050; // "=" lasts 1 s, leaving time to type while it plays
// Guards against a hung program only; nothing here measures speed.
constexpr auto kPatience = 30s;

int FramesOf(const std::string& name) { return name == "=.wav" ? kEqualsFrames : kFrames; }

std::string Shell(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

std::vector<std::string> Spoken(int a, int b, const char* sign)
{
    auto clips = speech::ComposeProblem(a, b, sign);
    return {clips.begin(), clips.end()};
}

std::vector<std::string> Slice(const std::vector<std::string>& v, std::size_t from, std::size_t count)
{
    from = std::min(from, v.size());
    return {v.begin() + from, v.begin() + std::min(v.size(), from + count)};
}

class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getenv("DISPLAY"), nullptr) << "run under xvfb-run";
        WriteRecognisableClips(dir.path(), FramesOf);
    }

    void TearDown() override
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }

    void Launch()
    {
        pid = fork();
        if (pid == 0) {
            if (chdir(dir.path().c_str()) != 0)
                _exit(127);
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
            unsetenv("QT_QPA_PLATFORM");
            execl(ZORBANU_BINARY, "zorbanu", static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    std::vector<std::string> Heard() const { return ClipsHeard(dir / "out.raw", FramesOf); }

    bool WaitUntil(const std::function<bool()>& done) const
    {
        for (auto start = std::chrono::steady_clock::now(); std::chrono::steady_clock::now() - start < kPatience;
             std::this_thread::sleep_for(5ms))
            if (done())
                return true;
        return false;
    }

    bool WaitForClips(std::size_t count) const
    {
        return WaitUntil([&] { return Heard().size() >= count; });
    }

    std::string VisibleWindow() const { return Shell("xdotool search --onlyvisible --name '^Zorbanu$' 2>/dev/null"); }

    void Xdo(const std::string& arguments) const { Shell("xdotool " + arguments); }

    // The problem (within ten) that the clips speak.
    std::pair<int, int> ProblemIn(const std::vector<std::string>& clips, const char* sign) const
    {
        for (int a = 1; a <= 9; ++a)
            for (int b = 1; b <= 9; ++b)
                if (Spoken(a, b, sign) == clips)
                    return {a, b};
        return {0, 0};
    }

    int RedPixelsIn(const std::string& window, int x, int y, int w, int h) const
    {
        std::string shot = (dir / "shot.png").string();
        Shell("import -window " + window + " " + shot);
        std::string count = Shell("convert " + shot + " -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                                  std::to_string(x) + "+" + std::to_string(y) +
                                  " +repage -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' "
                                  "-format '%[fx:int(mean*w*h+0.5)]' info:");
        return count.empty() ? -1 : std::stoi(count);
    }

    int ExitStatus()
    {
        int status = -1;
        bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
        pid = 0;
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir dir;
    pid_t pid = 0;
};

TEST_F(Program, SpeaksTheFirstProblemBeforeShowingTheWindowAndPlaysThrough)
{
    Launch();
    // Start-up: the twelve clips of a valid first problem, then the window.
    std::string window;
    ASSERT_TRUE(WaitUntil([&] { return !(window = VisibleWindow()).empty(); })) << "no window";
    const std::vector<std::string> first = Heard();
    ASSERT_EQ(first.size(), 12u) << "all twelve clips play before the window is shown";
    auto [a, b] = ProblemIn(first, "+");
    ASSERT_GE(a, 1);
    ASSERT_LE(a, 9);
    ASSERT_LE(b, 9);
    Xdo("windowfocus --sync " + window);

    // A wrong answer, then the right one.
    Xdo("type " + std::to_string(a + b + 1));
    Xdo("key Return");
    ASSERT_TRUE(WaitForClips(13));
    EXPECT_EQ(Heard()[12], "won.wav");
    Xdo("type " + std::to_string(a + b));
    Xdo("key Return");
    ASSERT_TRUE(WaitForClips(14));
    EXPECT_EQ(Heard()[13], "win.wav");
    std::this_thread::sleep_for(200ms);  // "win.wav" ends, then the tick is drawn
    EXPECT_GT(RedPixelsIn(window, 282, 111, 71, 63), 200) << "the red tick is on screen";

    // Space presses Continue (the focus moved there). While the new problem
    // is spoken the window keeps painting, and keys typed meanwhile are held
    // and handled afterwards, in order.
    Xdo("key space");
    ASSERT_TRUE(WaitForClips(14 + 11));
    EXPECT_EQ(RedPixelsIn(window, 282, 111, 71, 63), 0) << "the tick was hidden before speaking";
    auto [c, d] = ProblemIn(
        [&] { auto v = Slice(Heard(), 14, 11); v.push_back("=.wav"); return v; }(), "+");
    ASSERT_GE(c, 1);
    Xdo("type " + std::to_string(c + d));
    Xdo("key Return");
    ASSERT_TRUE(WaitForClips(14 + 12 + 1));
    std::vector<std::string> heard = Heard();
    EXPECT_EQ(Slice(heard, 14, 12), Spoken(c, d, "+"));
    EXPECT_EQ(heard[26], "win.wav") << "the typed answer arrived after the reading, digits before Enter";

    // A right click on the bare window opens the menu; division is chosen by
    // keyboard, then Read speaks the same operands with the division sign.
    Xdo("mousemove --window " + window + " 10 120 click 3");
    std::this_thread::sleep_for(300ms);
    Xdo("key Down Down Down Down Down Down Down Return");
    std::this_thread::sleep_for(200ms);
    Xdo("mousemove --window " + window + " 319 224 click 1");
    ASSERT_TRUE(WaitForClips(27 + 12));
    EXPECT_EQ(Slice(Heard(), 27, 12), Spoken(c, d, "÷"));

    // End quits at once with status 0.
    Xdo("mousemove --window " + window + " 320 304 click 1");
    EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(Program, ACloseRequestWhileSpeakingEndsTheProgramAfterTheReading)
{
    Launch();
    std::string window;
    ASSERT_TRUE(WaitUntil([&] { return !(window = VisibleWindow()).empty(); }));
    Xdo("mousemove --window " + window + " 319 224 click 1");  // Read
    ASSERT_TRUE(WaitForClips(12 + 3));
    Shell(std::string(X_CLOSE_BINARY) + " " + window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_EQ(Heard().size(), 24u) << "the reading was finished, then the program ended";
}

TEST_F(Program, EndsOnTerminationSignals)
{
    Launch();
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindow().empty(); }));
    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_TRUE(WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
    pid = 0;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
}

TEST_F(Program, JunkUnderTheClipNamesIsSilentAndHarmless)
{
    std::vector<std::uint8_t> junk(5000);
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<std::uint8_t>(i * 7919 % 251);
    auto greedy = MakeWav({}, Constant(3000, 500));
    greedy[40] = 0xF0, greedy[41] = 0xFF, greedy[42] = 0xFF, greedy[43] = 0xFF;  // claims ~4 GiB of data
    const auto& names = AllClipNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        WriteFile(dir / names[i], i % 2 ? junk : greedy);
    Launch();
    std::string window;
    ASSERT_TRUE(WaitUntil([&] { return !(window = VisibleWindow()).empty(); }));
    Xdo("mousemove --window " + window + " 319 224 click 1");  // Read
    Xdo("mousemove --window " + window + " 320 304 click 1");  // End
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_TRUE(Heard().empty());
}

}  // namespace
