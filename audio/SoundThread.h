#pragma once
// The one thread that calls SDL's audio subsystem, for the speaker and the
// microphone alike. Its rules:
// - Post queues a job and returns at once; nobody waits for a job. Jobs run
//   one at a time, by their time (Later) and then in the order posted.
// - Only a job gets the Audio, and every SDL audio call is an Audio method.
//   The thread is stuck while one of them has run longer than kCallBound,
//   and only then; meanwhile Post refuses at once.
// - Once such a call returns, sound posted before it is no longer Wanted:
//   its poster was told there was none.
// - A job answers through an Answer, whose fallback is given if the job
//   throws or never runs: every post is answered once.
// It knows nothing of clips or takes: the player and the microphone bring
// their own jobs and state.

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

// A working server opens or closes a device in milliseconds.
inline constexpr std::chrono::milliseconds kCallBound{1000};
// How long the program's end waits for the thread to close its devices.
inline constexpr std::chrono::milliseconds kExitBound{400};

struct ThreadState;

// What a job owes its poster: one answer, passed on at the first call, or
// the fallback when the last owner lets go unanswered.
template <typename T>
class Answer {
public:
    Answer(std::function<void(T)> to, T fallback) : to_(std::move(to)), fallback_(std::move(fallback)) {}
    ~Answer() { operator()(std::move(fallback_)); }
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;
    void operator()(T value)
    {
        if (auto to = std::exchange(to_, nullptr))
            to(std::move(value));
    }

private:
    std::function<void(T)> to_;
    T fallback_;
};

// An open device, or none; closes itself when destroyed (through a job when
// not on the sound thread).
class Device {
public:
    Device() = default;
    Device(Device&& other) noexcept { *this = std::move(other); }
    Device& operator=(Device&& other) noexcept;
    ~Device() { Close(); }
    explicit operator bool() const { return id_ != 0; }
    std::uint32_t BufferBytes() const { return bufferBytes_; }

private:
    friend class Audio;
    void Close();

    std::uint32_t id_ = 0;
    std::uint32_t bufferBytes_ = 0;
    std::weak_ptr<ThreadState> owner_;
};

// SDL's audio, and the thread, as the running job sees them. Open starts the subsystem when needed; an
// open that fails with nothing else open stops it, as does the next open
// after a device was lost, so that SDL chooses its driver afresh and finds a
// server that came up (or back) later: SDL 2.32's PulseAudio driver keeps
// one connection, which dies with its server.
class Audio;
using Job = std::function<void(Audio&)>;

class Audio {
public:
    enum class Direction { Playback, Capture };

    Device Open(Direction direction, const SDL_AudioSpec& want);  // paused
    int Devices(Direction direction);
    bool Queue(Device& device, std::span<const std::uint8_t> samples);
    std::uint32_t Queued(const Device& device);
    std::size_t Dequeue(Device& device, std::span<std::int16_t> samples);
    void Unpause(Device& device);
    // True once the device stopped on its own (unplugged, server gone).
    bool Stopped(const Device& device);
    void Lost() { reconnect_ = true; }

    // False once the thread was stuck since the job was posted, or is stopping.
    bool Wanted() const;
    // False, at once, once the thread is stopping.
    bool SleepUntil(Clock::time_point until) const;
    void Later(Clock::time_point when, Job job) const;

private:
    friend class SoundThread;
    friend class Device;
    explicit Audio(ThreadState& state) : state_(state) {}
    template <typename Call>
    auto Driver(Call call);
    bool Start();
    void Stop();
    void Close(std::uint32_t id);
    void ReportFailure();

    ThreadState& state_;
    Clock::time_point posted_;  // of the job running now
    bool started_ = false;
    bool cardFailed_ = false;  // no server answered, and the card could not be opened directly
    bool reconnect_ = false;   // a device was lost since the subsystem started
    int openDevices_ = 0;
    bool failureReported_ = false;  // said once, again only after sound worked
};


class SoundThread {
public:
    explicit SoundThread(const char* appName);  // what a mixer calls the streams
    ~SoundThread();                             // Stop; a stuck thread is left to itself
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;

    // False, with the job destroyed here, when stuck or stopping.
    bool Post(Job job);
    // When the driver call running now makes the thread stuck (never, if none).
    Clock::time_point StuckFrom() const;
    bool Stuck() const { return Clock::now() >= StuckFrom(); }
    // Drops the jobs not yet run, stops the subsystem and ends the thread,
    // within bound. False when stuck: the process should then end without
    // running destructors the driver may race with.
    bool Stop(Clock::duration bound = kExitBound);
    // Until this object is destroyed, exit() (Qt calls it when the display
    // goes) first stops the thread, or ends the process at once with a
    // failure status if it is stuck. Call once the libraries are loaded.
    void GuardExit();

private:
    static void Serve(std::shared_ptr<ThreadState> state, std::string appName);

    std::shared_ptr<ThreadState> state_;
    std::thread thread_;
};

// Returns status once the thread has stopped, or flushes output and ends
// the process at once with it when the thread is stuck.
int FinishProcess(SoundThread& sound, int status);

}  // namespace audio
