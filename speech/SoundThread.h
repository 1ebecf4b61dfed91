#pragma once
// The one thread of the process that calls into SDL's audio subsystem. It
// starts and stops the subsystem, and opens, feeds, polls and closes every
// device, for the speaker and the microphone alike. A sound driver may block
// in any of those calls for as long as its server likes (a server that hangs,
// a session manager that comes up late), so no other thread makes them: the
// window hands a job to this thread and waits for it with a bound, painting,
// and goes on without it when the bound has passed.
//
// Jobs run one at a time, in the order they were given, each job later than
// the one before it: so one job can never run inside another, and the idle
// release of a device never falls in the middle of a reading. A job whose
// caller gave up before it began is dropped. One that had begun runs on and
// is told that nobody waits for it any more; until it returns the thread is
// stuck, and a job given meanwhile is refused at once, so that no caller
// waits for a driver that has not answered.
//
// Only a job can reach the audio subsystem, through its Audio. The thread
// starts the subsystem as it begins (loading the drivers while the window is
// built); Audio starts it again when a device is to be opened after it was
// stopped, and stops it when an open fails with nothing else open, so that
// the next open lets SDL choose its driver afresh and a sound server that
// comes up later is found by the speaker and the microphone alike. It
// says once on standard error why there is no sound, and again only after
// sound has worked.
//
// It knows nothing of clips or takes: the player and the microphone bring
// their own jobs and keep their own state, which only their jobs touch.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct SDL_AudioSpec;

namespace speech {

using Clock = std::chrono::steady_clock;

// How long a caller waits for a device to open (and for the thread to take
// up its job): a working server opens one in milliseconds.
inline constexpr std::chrono::milliseconds kOpenBound{1000};

// The audio subsystem as a job sees it. There is one, owned by the thread.
class Audio {
public:
    enum class Direction { Playback, Capture };

    // Opens the default device of that direction, paused; 0 when none could
    // be opened.
    std::uint32_t Open(Direction direction, const SDL_AudioSpec& want, SDL_AudioSpec& have);
    void Close(std::uint32_t device);
    // How many devices of that direction the system lists now.
    int Devices(Direction direction);

private:
    friend class SoundThread;
    Audio() = default;
    bool Start();
    void Stop();
    void ReportFailure();

    bool started_ = false;
    bool cardFailed_ = false;  // no server answered, and the card could not be opened directly
    int openDevices_ = 0;
    bool failureReported_ = false;
};

// What a running job knows of its caller.
class JobControl {
public:
    // True once the caller stopped waiting: the job should end soon, and
    // leave nothing queued to be played later.
    bool Abandoned() const;
    // The caller waits for the job until `wait` from now, instead of its
    // first bound (a job that has learnt how long its work will take).
    void WaitAtMost(Clock::duration wait);
    // Runs job on the sound thread at `when` (or as soon after as the thread
    // is free), unless the program ends before; nobody waits for it.
    void Later(Clock::time_point when, std::function<void(Audio&, JobControl&)> job);

private:
    friend class SoundThread;
    struct Shared;
    explicit JobControl(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    std::shared_ptr<Shared> shared_;
};

class SoundThread {
public:
    using Job = std::function<void(Audio&, JobControl&)>;

    // appName: what a mixer calls the program's streams.
    explicit SoundThread(const char* appName);
    // Stops the subsystem and the thread. A thread stuck in the driver is
    // left to finish on its own: the program does not wait for it.
    ~SoundThread();
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;

    // Runs job on the sound thread and waits until it has returned, at most
    // `bound` from now (or what the job asks for), calling idle every few
    // milliseconds. False when the job was refused, or had not returned
    // within the bound.
    bool Run(Job job, Clock::duration bound, const std::function<void()>& idle = {});

private:
    friend class JobControl;
    struct State;
    struct Entry;
    static void Serve(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
};

}  // namespace speech
