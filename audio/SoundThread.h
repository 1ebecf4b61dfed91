#pragma once
// The one thread of the process that calls into SDL's audio subsystem. It
// starts and stops the subsystem, and opens, feeds, watches and closes every
// device, for the speaker and the microphone alike. A sound driver may block
// in any of those calls for as long as its server likes (a server that hangs,
// a session manager that comes up late), so no other thread makes them: a
// caller hands a job to this thread and waits for it with a bound, asleep
// until the job returns or the bound passes, and goes on without it then.
//
// The types keep the rules:
// - Only a job is given the Audio, and every SDL audio call goes through it.
// - A device is a Device: only Audio opens one and only a job can use it; it
//   closes itself when destroyed (at once on this thread, else by a job it
//   hands to this thread), so no raw device id leaves this folder.
// - Run hands back a job's result only when the job returned within its
//   bound. A result whose caller gave up is destroyed here, on this thread:
//   a job that returns what it opened (a Device, or an object holding one)
//   has it closed when nobody takes it.
//
// Jobs run one at a time, in the order of their time and then of their
// giving: so one job never runs inside another, and the idle release of a
// device never falls in the middle of a reading. A job whose caller gave up
// before it began is dropped unrun. The thread is stuck while the job it runs
// is past its deadline (its caller's bound, or what the job asked for with
// WaitAtMost; for a job run later, its own bound, kOpenBound unless given,
// counted from when it began), or while it runs for a caller that gave up on
// it. Until that job returns, Run refuses at once every job given to it, as
// it does once the thread is stopping, so that no caller waits for a driver
// that has not answered; a device's close and a job run later are still
// queued.
//
// The thread starts the subsystem as it begins (loading the drivers while the
// window is built). Audio starts it again when a device is to be opened after
// it was stopped, and stops it when an open fails with nothing else open, or
// before an open once a device was lost with nothing else open, so
// that the next open lets SDL choose its driver afresh and a sound server that
// comes up later is found by the speaker and the microphone alike. It says
// once on standard error why there is no sound, and again only after sound
// has worked.
//
// It knows nothing of clips or takes: the player and the microphone bring
// their own jobs and keep their own state, which only their jobs touch.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <type_traits>

struct SDL_AudioSpec;

namespace audio {

using Clock = std::chrono::steady_clock;

// How long a caller waits for a device to open (and for the thread to take
// up its job), and how long a job run later may take: a working server opens
// or closes a device in milliseconds.
inline constexpr std::chrono::milliseconds kOpenBound{1000};
// How long the program's end waits for the thread to close its devices and
// stop the subsystem.
inline constexpr std::chrono::milliseconds kExitBound{400};

struct ThreadState;
struct QueuedJob;
struct JobTicket;

// An open audio device, or none. Moves, never copies.
class Device {
public:
    Device() = default;
    Device(Device&& other) noexcept;
    Device& operator=(Device&& other) noexcept;
    ~Device();

    explicit operator bool() const { return id_ != 0; }
    // How many bytes the device takes from its queue at each turn.
    std::uint32_t BufferBytes() const { return bufferBytes_; }

private:
    friend class Audio;
    void Close();

    std::uint32_t id_ = 0;
    std::uint32_t bufferBytes_ = 0;
    unsigned generation_ = 0;  // the subsystem's start it belongs to
    std::weak_ptr<ThreadState> owner_;
};

// The audio subsystem as a job sees it. There is one, owned by the thread.
class Audio {
public:
    enum class Direction { Playback, Capture };

    // Opens the default device of that direction, paused; none when it
    // could not be opened.
    Device Open(Direction direction, const SDL_AudioSpec& want);
    // How many devices of that direction the system lists now.
    int Devices(Direction direction);

    bool Queue(Device& device, std::span<const std::uint8_t> samples);
    std::uint32_t Queued(const Device& device);
    void ClearQueue(Device& device);
    // Takes what a capture device has recorded, at most samples.size().
    std::size_t Dequeue(Device& device, std::span<std::int16_t> samples);
    void Unpause(Device& device);
    // True once the device stopped on its own (unplugged, its server gone);
    // then it is lost, as below.
    bool Stopped(const Device& device);
    // A device was lost (the driver said so, or its stream stopped playing):
    // the next open, once nothing else is open, starts the subsystem afresh.
    // SDL 2.32's PulseAudio driver (unlike 2.26's) keeps one connection to
    // the server for the whole subsystem, and once that server has gone every
    // open on it fails, even after it is back.
    void Lost() { reconnect_ = true; }

private:
    friend class SoundThread;
    friend class Device;
    friend struct ThreadState;
    explicit Audio(std::weak_ptr<ThreadState> owner) : owner_(std::move(owner)) {}
    bool Start();
    void Stop();
    void Close(std::uint32_t id, unsigned generation);
    void ReportFailure();

    std::weak_ptr<ThreadState> owner_;
    bool started_ = false;
    unsigned generation_ = 1;
    bool cardFailed_ = false;  // no server answered, and the card could not be opened directly
    bool reconnect_ = false;   // a device was lost since the subsystem started
    int openDevices_ = 0;
    bool failureReported_ = false;
};

class JobControl;
using Job = std::function<void(Audio&, JobControl&)>;

// What a running job knows of its caller.
class JobControl {
public:
    // True once the caller stopped waiting: the job should end soon, and
    // leave nothing queued to be played later.
    bool Abandoned() const;
    // The caller waits for the job until `wait` from now, instead of its
    // first bound (a job that has learnt how long its work will take).
    void WaitAtMost(Clock::duration wait);
    // Sleeps until `until`, or less once the caller gives up or the program
    // ends.
    void SleepUntil(Clock::time_point until) const;
    // Runs job on the sound thread at `when` (or as soon after as the thread
    // is free), unless the program ends before; nobody waits for it, and the
    // thread is stuck while it runs past `bound`.
    void Later(Clock::time_point when, Job job, Clock::duration bound = kOpenBound);

private:
    friend class SoundThread;
    explicit JobControl(std::shared_ptr<JobTicket> ticket) : ticket_(std::move(ticket)) {}
    std::shared_ptr<JobTicket> ticket_;
};

// How a caller's thread spends its wait for the sound thread: a window keeps
// painting, a plain caller just sleeps.
class Waiter {
public:
    virtual ~Waiter() = default;
    // Returns at the deadline at the latest, and earlier once Wake has been
    // called since the last return (or for reasons of its own).
    virtual void SleepUntil(Clock::time_point deadline) = 0;
    // Called on the sound thread when the job waited for has returned.
    virtual void Wake() = 0;
};

class SoundThread {
public:
    // appName: what a mixer calls the program's streams.
    explicit SoundThread(const char* appName);
    // Stops the thread as Stop does; one still stuck is left to itself.
    ~SoundThread();
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;

    // Runs job(Audio&, JobControl&) on the sound thread and waits until it
    // has returned, at most `bound` from now (or what the job asks for),
    // through waiter (or asleep on a condition variable when null). Gives
    // the job's result (true for a job that returns nothing) only when the
    // job returned in time; nothing when it was refused or did not.
    template <typename Work>
    auto Run(Work job, Clock::duration bound, Waiter* waiter = nullptr);

    // Stops the subsystem and ends the thread, waiting at most `bound`, and
    // not at all for a thread already stuck. False when the thread is stuck
    // in the driver: it is left alone, and
    // the process should end without tearing down what the driver may
    // still use.
    bool Stop(Clock::duration bound = kExitBound);

private:
    bool Submit(Job job, std::function<void()> dropResult, Clock::duration bound, Waiter* waiter);
    static void Serve(std::shared_ptr<ThreadState> state, std::string appName);
    static void RunJob(ThreadState& state, QueuedJob entry);

    std::shared_ptr<ThreadState> state_;
    std::thread thread_;
};

// Ends the process with status, once the sound thread has stopped: when it
// is stuck in the driver, output is flushed and the process ends at once,
// without running destructors that the driver's libraries may race with.
int FinishProcess(SoundThread& sound, int status);

template <typename Work>
auto SoundThread::Run(Work job, Clock::duration bound, Waiter* waiter)
{
    using Result = std::invoke_result_t<Work&, Audio&, JobControl&>;
    if constexpr (std::is_void_v<Result>) {
        return Submit(std::move(job), {}, bound, waiter);
    } else {
        // Written by the job; read here only after the job returned in time,
        // and otherwise destroyed by the sound thread.
        auto result = std::make_shared<std::optional<Result>>();
        const bool done = Submit(
            [job = std::move(job), result](Audio& audio, JobControl& control) mutable {
                result->emplace(job(audio, control));
            },
            [result] { result->reset(); }, bound, waiter);
        return done ? std::move(*result) : std::optional<Result>{};
    }
}

}  // namespace audio
