#pragma once
// Running the real programs, for the end-to-end test and the benchmarks:
// shell commands (xdotool, pactl), waits with a bound, child processes that
// never outlive their owner, a private sound server with its sink recorded,
// and figures the kernel keeps in /proc.

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

namespace testing_support {

// What a shell command printed (its first 4 KiB), without trailing blanks.
inline std::string Shell(const std::string& command)
{
    std::string out(4096, '\0');
    FILE* pipe = popen(command.c_str(), "r");
    out.resize(fread(out.data(), 1, out.size(), pipe));
    pclose(pipe);
    return out.substr(0, out.find_last_not_of(" \n") + 1);
}

// Every wait is bounded; the default bound only guards against a hung
// program.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound = std::chrono::seconds(30))
{
    for (auto start = std::chrono::steady_clock::now(); !done(); std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        if (std::chrono::steady_clock::now() - start > bound)
            return false;
    return true;
}

// A process of the caller's own, started in a folder, killed with all it
// started and reaped however the caller ends: a shell command (which execs
// its program), or with `direct`, a program without arguments run straight
// after the fork, for timing its start.
struct Child {
    explicit Child(const std::string& command, const std::filesystem::path& folder = ".", bool direct = false) : pid(fork())
    {
        if (pid != 0)
            return;
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setpgid(0, 0);
        if (chdir(folder.c_str()) == 0)
            direct ? execl(command.c_str(), command.c_str(), nullptr) : execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    ~Child()
    {
        if (pid > 0 && kill(-pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }
    pid_t pid;
};

// The first visible window titled `title`, as xdotool names it; throws when
// none is shown within the bound.
inline std::string FindWindow(const std::string& title = "Zorbanu")
{
    std::string window;
    if (!WaitUntil([&] { return !(window = Shell("xdotool search --onlyvisible --name '^" + title + "$' | head -1")).empty(); }))
        throw std::runtime_error("no window " + title);
    return window;
}

// A private sound server of one kind (tools/sound-server.sh) in the folder
// XDG_RUNTIME_DIR names, and what reaches its sink "out" from then on
// recorded into a file. Throws when the server is not up, or not recorded,
// within the bound.
struct SoundServer {
    SoundServer(const std::string& kind, const std::filesystem::path& recording)
        : server("exec bash " ZORBANU_SOURCE_DIR "/tools/sound-server.sh " + kind)
    {
        if (!WaitUntil([] { return std::filesystem::remove(std::filesystem::path(getenv("XDG_RUNTIME_DIR")) / "ready"); }))
            throw std::runtime_error("no " + kind + " server");
        parec = std::make_unique<Child>("exec parec --latency-msec=20 -d out.monitor --format=s16le --rate=22050"
                                        " --channels=1 --property=node.dont-reconnect=true > " + recording.string());
        // Recording from the first bytes on: a program started before would
        // have its first sound missed by the recorder, not by the sink.
        std::error_code unknown;
        if (!WaitUntil([&] { return std::filesystem::file_size(recording, unknown) > 0 && !unknown; }))
            throw std::runtime_error("nothing recorded from the " + kind + " server");
    }
    Child server;
    std::unique_ptr<Child> parec;
};

}  // namespace testing_support
