#pragma once
// The one thread of the process that calls into SDL's audio subsystem. It
// starts and stops the subsystem, and opens, feeds, watches and closes every
// device, for the speaker and the microphone alike. Nobody waits for it:
// other threads post it jobs, and a job answers when its work has ended.
//
// Its rules, which the types keep:
// - Post queues a job and returns at once. Jobs run one at a time, by their
//   time (a job run Later waits for its time) and then in the order posted.
// - Only a job is given the Audio, and every SDL audio call is one of its
//   methods: a driver call, which a server that hangs may keep from
//   returning. The thread is stuck while a driver call has run for longer
//   than kCallBound, and only then. While it is stuck, Post refuses at once.
// - Sound asked for before the thread got stuck is no longer wanted once the
//   call returns (its caller has been told there was no sound): a job asks
//   Wanted() before it opens a device, and before it plays.
// - A job answers through an Answer, which gives its fallback when the job
//   ends without answering: it threw, or was dropped unrun as the thread
//   stopped. So every post is answered exactly once.
// - A Device closes itself when destroyed: at once on this thread, else by a
//   job it posts.
//
// The thread starts the subsystem as it begins (loading the drivers while the
// window is built). Audio starts it again when a device is to be opened after
// it was stopped, and stops it when an open fails with nothing else open, or
// before an open once a device was lost with nothing else open, so that the
// next open lets SDL choose its driver afresh and a sound server that comes
// up later is found. It says once on standard error why there is no sound,
// and again only after sound has worked.
//
// It knows nothing of clips or takes: the player and the microphone bring
// their own jobs and keep their own state, which only their jobs touch.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <utility>

struct SDL_AudioSpec;

namespace audio {

using Clock = std::chrono::steady_clock;

// How long one driver call may take before the thread counts as stuck: a
// working server opens or closes a device in milliseconds.
inline constexpr std::chrono::milliseconds kCallBound{1000};
// How long the program's end waits for the thread to close its devices and
// stop the subsystem.
inline constexpr std::chrono::milliseconds kExitBound{400};

struct ThreadState;

// What a job owes whoever posted it: one answer. Called on the sound thread
// (or, for a job refused at once, on the poster's). Share it with the job
// through a shared_ptr; the last owner's release gives the fallback if no
// answer was given.
template <typename T>
class Answer {
public:
    Answer(std::function<void(T)> to, T fallback) : to_(std::move(to)), fallback_(std::move(fallback)) {}
    ~Answer() { operator()(std::move(fallback_)); }
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    // The first answer is passed on; later ones are not.
    void operator()(T value)
    {
        if (auto to = std::exchange(to_, nullptr))
            to(std::move(value));
    }

private:
    std::function<void(T)> to_;
    T fallback_;
};

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

// The audio subsystem as a job sees it. There is one, owned by the thread;
// each method is one driver call, under the stuck rule.
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
    explicit Audio(ThreadState& state) : state_(state) {}
    template <typename Call>
    auto Driver(Call call);
    bool Start();
    void Stop();
    void Close(std::uint32_t id, unsigned generation);
    void ReportFailure();

    ThreadState& state_;
    bool started_ = false;
    unsigned generation_ = 1;
    bool cardFailed_ = false;  // no server answered, and the card could not be opened directly
    bool reconnect_ = false;   // a device was lost since the subsystem started
    int openDevices_ = 0;
    bool failureReported_ = false;
};

class JobControl;
using Job = std::function<void(Audio&, JobControl&)>;

// What a running job may ask of the thread.
class JobControl {
public:
    // False once the thread was stuck since the job was posted (its poster
    // has been told there was no sound, and wants none now), or is stopping.
    bool Wanted() const;
    // Sleeps until `until`; false, at once, once the program ends.
    bool SleepUntil(Clock::time_point until) const;
    // Runs job on the sound thread at `when` (or as soon after as the thread
    // is free), unless the program ends first.
    void Later(Clock::time_point when, Job job) const;

private:
    friend class SoundThread;
    JobControl(ThreadState& state, Clock::time_point posted) : state_(state), posted_(posted) {}
    ThreadState& state_;
    Clock::time_point posted_;
};

class SoundThread {
public:
    // appName: what a mixer calls the program's streams.
    explicit SoundThread(const char* appName);
    // Stops the thread as Stop does; one still stuck is left to itself.
    ~SoundThread();
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;

    // Queues job; false, with the job destroyed unrun here, when the thread
    // is stuck or stopping.
    bool Post(Job job);
    // When the driver call running now turns the thread stuck; never, when
    // none runs. Any thread may ask.
    Clock::time_point StuckFrom() const;
    bool Stuck() const { return Clock::now() >= StuckFrom(); }

    // Stops the subsystem and ends the thread, waiting at most `bound`, and
    // not at all for a thread already stuck. Jobs not yet run are dropped.
    // False when the thread is stuck in the driver: it is left alone, and
    // the process should end without tearing down what the driver may
    // still use.
    bool Stop(Clock::duration bound = kExitBound);
    // From now until this object is destroyed, a call to exit() (Qt's own,
    // when the display goes away) first stops the thread, or, if it is
    // stuck in the driver, ends the process at once with a failure status:
    // exit's destructors would tear the driver down under it. Call once
    // the libraries whose exit handlers matter are loaded.
    void GuardExit();

private:
    static void Serve(std::shared_ptr<ThreadState> state, std::string appName);

    std::shared_ptr<ThreadState> state_;
    std::thread thread_;
};

// Ends the process with status, once the sound thread has stopped: when it
// is stuck in the driver, output is flushed and the process ends at once,
// without running destructors that the driver's libraries may race with.
int FinishProcess(SoundThread& sound, int status);

}  // namespace audio
