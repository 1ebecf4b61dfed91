// The real program on a real X server (Xvfb), driven with xdotool: a whole
// session on SDL's disk audio driver, started in a folder of clips that are
// each one recognisable sample value (and which it prefers to the user's own
// voice folder); then against real sound servers as Debian ships them
// (PulseAudio, and PipeWire with WirePlumber, each a private one with a null
// sink whose monitor is recorded) that die, hang, restart and come up late.
#include <gtest/gtest.h>

#include "speech/Clips.h"
#include "support/ClipPack.h"
#include "support/Program.h"
#include "support/Wav.h"

#include <X11/Xlib.h>  // last: its macros clash with GoogleTest

using namespace testing_support;
using namespace std::chrono_literals;
using Clips = std::vector<std::string>;

namespace {

int FramesOf(const std::string& name) { return name == "=.wav" ? 22050 : 2205; }  // "=" lasts 1 s

// A checksum of the feedback line's pixels, and whether the red cross
// beside the answer box is shown (counted on the last line: ImageMagick 7's
// fx first prints a line of its own).
std::string FeedbackLine(const std::string& window)
{
    return Shell("import -window " + window + " -crop 257x29+0+216 rgb:- | md5sum");
}
bool CrossShown(const std::string& window)
{
    return std::stoi("0" + Shell("import -window " + window + " -crop 72x64+282+111 miff:- | convert - -fx "
                                 "'r>0.7&&g<0.3&&b<0.3' -format '%[fx:round(mean*w*h)]' info: | tail -n 1")) > 200;
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

TEST(Program, ASessionAsAChildAndAParentLiveIt)
{
    TempDir dir;
    std::filesystem::create_directories(dir / "work");
    std::filesystem::create_directories(dir / "data/zorbanu/clips");
    WriteRecognisableClips(dir / "work", FramesOf);
    for (const speech::SpokenWord& word : speech::kSpeechClips)  // a user's voice, never heard
        WriteFile(dir / "data/zorbanu/clips" / word.clip, ConstantClip(-1234, 2205));
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    Child accessibilityBus("exec /usr/libexec/at-spi-bus-launcher --launch-immediately");
    auto tree = [](const std::string& program) { return "/usr/bin/python3 " ZORBANU_SOURCE_DIR "/tools/accessibility-tree.py " + program; };
    ASSERT_TRUE(WaitUntil([&] { return Shell(tree("none") + "; echo $?") == "1"; })) << "no accessibility bus";
    Child program("exec " ZORBANU_BINARY, dir / "work");
    const std::string window = FindWindow();
    DiskOutput output(dir / "out.raw");
    auto heardNow = [&] { return ClipsHeard(output.Follow(), FramesOf); };
    // The last `last` clips heard, once at least `count` have been.
    auto heard = [&](std::size_t count, std::size_t last = 99) {
        Clips clips;
        EXPECT_TRUE(WaitUntil([&] { return (clips = heardNow()).size() >= count; })) << count << " clips";
        return Clips(clips.end() - static_cast<long>(std::min(last, clips.size())), clips.end());
    };
    auto type = [&](int number) { Shell("xdotool type " + std::to_string(number) + "; xdotool key Return"); };

    const Clips first = heardNow();
    ASSERT_EQ(first.size(), 12u) << "the first problem is spoken before the window shows";
    const int a = first[0][0] - '0', b = first[6][0] - '0';  // the operands' clips (ComposeProblem's order)
    // What a screen reader reads: the problem in the answer box, and the pictures.
    const std::string names = Shell(tree("zorbanu"));
    for (const std::string& name : {std::string("text: ") + first[0][0] + " + " + first[6][0] + " =",
                                    std::string("答对了"), std::string("答错了")})
        EXPECT_NE(names.find(name), std::string::npos) << name << " not in\n" << names;
    Shell("xdotool windowfocus --sync " + window);
    type(a + b);
    EXPECT_EQ(heard(13, 1), Clips{"win.wav"});

    // A right click on the bare window opens the settings menu at the mouse;
    // a right click on 乘法 chooses nothing, a left click on 减法 (the fifth
    // item, below a separator) chooses it.
    Shell("xdotool mousemove --window " + window + " 10 120 click 3");
    ASSERT_TRUE(WaitUntil([] { return Shell("xdotool search --onlyvisible --class zorbanu | wc -l") == "2"; })) << "no menu";
    Shell("xdotool mousemove_relative 40 130 click 3 mousemove_relative 0 -24 click 1");

    // Space presses Continue, and the window shows the next problem while it
    // is spoken; the answer typed while "=" is still spoken is held and
    // judged after the reading, digits before Enter.
    const auto rightAnswerLine = FeedbackLine(window);
    Shell("xdotool key space");
    heard(14);
    const auto lineWhileSpoken = FeedbackLine(window);
    const Clips next = heard(13 + 11, 11);
    EXPECT_NE(lineWhileSpoken, rightAnswerLine) << "the window did not repaint while speaking";
    ASSERT_EQ(next[5], "-.wav") << "subtraction was not chosen from the menu";
    type(next[0][0] - '0' - (next[6][0] - '0'));
    EXPECT_EQ(heard(26, 1), Clips{"win.wav"}) << "the answer was not judged after the reading";

    // The working folder is no voice any more: Read speaks with the user's
    // own (one run of its one value), and is closed from the frame while it
    // speaks: the reading ends, then the program, with success.
    std::filesystem::remove(dir / "work/=.wav");
    Shell("xdotool mousemove --window " + window + " 319 224 click 1");
    EXPECT_EQ(heard(27, 1), Clips{"?"}) << "the voice was not chosen again for the reading";
    RequestClose(std::stoul(window));
    int status = -1;
    ASSERT_TRUE(WaitUntil([&] { return waitpid(program.pid, &status, WNOHANG) == program.pid; }));
    program.pid = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(heardNow().size(), 27u);
    // The recorder's Record buttons, one for each word and each form, each named by its word.
    Child recorder("exec " ZORBANU_RECORDER, dir / "work");
    EXPECT_TRUE(WaitUntil([&] { return Shell(tree("zorbanu-recorder") + " | grep -cE '^ *(push )?button: Record .'") == "23"; }));
    EXPECT_EQ(Shell(tree("zorbanu-recorder") + " | grep button | sort | uniq -d"), "") << "buttons named alike";
    unsetenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON");

    // Qt's own options are left to Qt; a mistyped one of the program's gets
    // the usage and status 2, not the window.
    EXPECT_EQ(std::system(ZORBANU_BINARY " -platform offscreen --version >/dev/null"), 0);
    EXPECT_EQ(Shell("(timeout 10 " ZORBANU_BINARY " -platform offscreen --hlep 2>&1 >/dev/null; echo $?) | "
                    "grep -c -e hlep -e 'zorbanu \\[--help | --version\\]' -e '^2$'"), "3");
}

// How many samples have reached the sink (every clip of the pack is loud),
// whether a whole problem (its twelve clips) reaches it after `before`
// within the bound, and how many streams the program has open.
std::size_t Loud(const std::filesystem::path& recording)
{
    const auto samples = ReadDiskOutput(recording);
    return std::size_t(std::count_if(samples.begin(), samples.end(), [](std::int16_t x) { return std::abs(x) > 500; }));
}
bool HeardWhole(const std::filesystem::path& recording, std::size_t before = 0, std::chrono::milliseconds bound = 10s)
{
    const std::size_t whole = 11 * FramesOf("1.wav") + FramesOf("=.wav");
    return WaitUntil([&] { return Loud(recording) - before >= whole * 97 / 100; }, bound);
}
// How many samples the sink recorded after the last loud one.
std::size_t QuietAfter(const std::filesystem::path& recording)
{
    const auto samples = ReadDiskOutput(recording);
    return std::size_t(std::find_if(samples.rbegin(), samples.rend(), [](std::int16_t x) { return std::abs(x) > 500; }) -
                       samples.rbegin());
}
int Streams(const char* kind = "sink-inputs")
{
    return std::stoi(Shell(std::string("pactl list ") + kind + " | grep -c 'application.name = \"Zorbanu\"'"));
}

// The server kind, and SDL's driver ("": its own choice).
class RealServer : public ::testing::TestWithParam<std::pair<std::string, std::string>> {};

TEST_P(RealServer, SpeechSurvivesAServerThatDiesHangsRestartsOrComesLate)
{
    const auto& [kind, driver] = GetParam();
    TempDir dir;
    std::filesystem::create_directories(dir / "work");
    std::filesystem::create_directory(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    WriteRecognisableClips(dir / "work", FramesOf);
    setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    setenv("HOME", dir.path().c_str(), 1);
    setenv("PIPEWIRE_CONFIG_DIR", (dir / "run/pipewire").c_str(), 1);
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    unsetenv("QT_QPA_PLATFORM");
    auto click = [](const std::string& window, const char* at) { Shell("xdotool mousemove --window " + window + at + " click 1"); };
    // Read until a whole problem is heard; a retry comes at most every 2 s,
    // and a stream may take 2 s to start.
    auto readUntilHeard = [&](const std::string& window, const std::filesystem::path& recording) {
        for (int i = 0; i < 5; ++i)
            if (const auto before = Loud(recording); click(window, " 319 224"), HeardWhole(recording, before, 6s))
                return true;
        return false;
    };
    auto server = std::make_unique<SoundServer>(kind, dir / "first.raw");

    // The whole first problem reaches the sink, though a stock PulseAudio
    // sink starts a stream a second late, and within 5 s of the reading no
    // stream is left; the recorder, idle, holds no microphone (one opened
    // late for a take given up is closed: DiskPlayer's microphone test).
    const std::string start = "exec " ZORBANU_BINARY " 2>>" + (dir / "stderr").string();
    auto program = std::make_unique<Child>(start, dir / "work");
    std::string window = FindWindow();
    EXPECT_TRUE(HeardWhole(dir / "first.raw")) << Loud(dir / "first.raw") << " samples heard";
    EXPECT_TRUE(WaitUntil([] { return Streams() == 0; }, 5s)) << "a stream is held after the reading";
    {
        Child recorder("exec " ZORBANU_RECORDER, dir / "work");
        EXPECT_TRUE(WaitUntil([] { return !Shell("xdotool search --onlyvisible --class zorbanu-recorder").empty(); }));
        EXPECT_EQ(Streams("source-outputs"), 0) << "an idle recorder holds the microphone";
    }

    // The server dies while Read speaks: the answer is still judged at once,
    // whether the driver says so or its queue just stops draining.
    click(window, " 319 224");
    ASSERT_TRUE(WaitUntil([] { return Streams() == 1; }));
    server = {};
    Shell("xdotool windowfocus --sync " + window + " type 99; xdotool key Return");
    EXPECT_TRUE(WaitUntil([&] { return CrossShown(window); }, 2500ms)) << "a wrong answer was not judged in time";

    // A new server: Read speaks through it once the player may try again.
    server = std::make_unique<SoundServer>(kind, dir / "restarted.raw");
    EXPECT_TRUE(readUntilHeard(window, dir / "restarted.raw")) << "silent after the server restarted";
    // Killed in a reading and started again at once: the next Read is heard
    // whole (SDL 2.32 would open on its connection to the old server).
    click(window, " 319 224");
    ASSERT_TRUE(WaitUntil([] { return Streams() == 1; }));
    server = {};
    server = std::make_unique<SoundServer>(kind, dir / "again.raw");
    click(window, " 319 224");
    EXPECT_TRUE(HeardWhole(dir / "again.raw")) << "the first Read after a restart was not heard whole: "
                                                << Loud(dir / "again.raw") << " samples; " << Shell("cat " + (dir / "stderr").string());
    // Killed just after that reading and started again: the next Read is
    // heard whole, whether the program still holds its device (which SDL's
    // PipeWire driver never says is gone) or has let it go (SDL 2.32's one
    // connection to the server died with it).
    ASSERT_TRUE(WaitUntil([&] { return QuietAfter(dir / "again.raw") >= std::size_t(FramesOf("1.wav")); }));
    server = {};
    server = std::make_unique<SoundServer>(kind, dir / "after.raw");
    click(window, " 319 224");
    EXPECT_TRUE(HeardWhole(dir / "after.raw")) << "the first Read after a restart between readings was not heard whole: "
                                                << Loud(dir / "after.raw") << " samples";

    // A server that hangs: Read, then End, and the program ends at once,
    // with success.
    ASSERT_TRUE(WaitUntil([] { return Streams() == 0; }, 5s));
    kill(-server->server.pid, SIGSTOP);
    click(window, " 319 224");
    std::this_thread::sleep_for(500ms);
    click(window, " 320 304");
    int status = -1;
    EXPECT_TRUE(WaitUntil([&] { return waitpid(program->pid, &status, WNOHANG) == program->pid; }, 5s));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    program->pid = 0;
    kill(-server->server.pid, SIGCONT);

    // Started before any server: silent, and says why; the server comes up,
    // and Read speaks. Each program said once why it had no sound.
    server = {};
    program = std::make_unique<Child>(start, dir / "work");
    window = FindWindow();
    EXPECT_TRUE(WaitUntil([&] { return Shell("grep -c 'no sound' " + (dir / "stderr").string()) == "2"; }));
    server = std::make_unique<SoundServer>(kind, dir / "late.raw");
    EXPECT_TRUE(readUntilHeard(window, dir / "late.raw")) << "silent after the server came up";
    EXPECT_EQ(Shell("grep -c 'no sound' " + (dir / "stderr").string()), "2");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer,
                         ::testing::Values(std::pair{"pulseaudio", ""}, std::pair{"pipewire", ""},
                                           std::pair{"pipewire", "pipewire"}, std::pair{"pipewire", "pulseaudio"}),
                         [](const auto& info) { return info.param.first + (info.param.second.empty() ? "" : "_" + info.param.second); });

}  // namespace
