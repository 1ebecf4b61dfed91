#include "SoundThread.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>

namespace speech {
namespace {

constexpr auto kWaitStep = std::chrono::milliseconds(5);
// How long the program's end waits for the thread to close its devices and
// stop the subsystem; a driver that takes longer is left to it.
constexpr auto kExitBound = std::chrono::milliseconds(400);
// The drivers that speak to a sound server, tried again after the sound
// card itself could not be opened: trying the card again would only repeat
// alsa-lib's complaints, and a server that comes up later is found this way.
constexpr const char* kServerDrivers[] = {"pulseaudio", "pipewire"};

bool DriverChosenByUser()
{
    const char* chosen = SDL_GetHint(SDL_HINT_AUDIODRIVER);
    return chosen != nullptr && *chosen != '\0';
}

const char* StreamName(Audio::Direction direction)
{
    switch (direction) {
    case Audio::Direction::Playback:
        return "Speech";
    case Audio::Direction::Capture:
        return "Recording";
    }
    return "";
}

}  // namespace

struct JobControl::Shared {
    SoundThread::State* thread;
    Clock::time_point deadline;
    bool abandoned = false;
    bool done = false;
};

struct SoundThread::Entry {
    Clock::time_point when;
    Job job;
    std::shared_ptr<JobControl::Shared> ticket;  // none for a job nobody waits for
};

struct SoundThread::State {
    std::mutex mutex;
    std::condition_variable wake;      // a job was given, or the thread is to stop
    std::condition_variable finished;  // a job returned, or the thread ended
    std::deque<Entry> jobs;            // by time, and in the order given
    std::shared_ptr<JobControl::Shared> running;
    bool stopping = false;
    bool ended = false;
    Audio audio;

    // The caller holds the mutex.
    void Add(Entry entry)
    {
        auto after = std::upper_bound(jobs.begin(), jobs.end(), entry.when,
                                      [](Clock::time_point when, const Entry& e) { return when < e.when; });
        jobs.insert(after, std::move(entry));
        wake.notify_one();
    }
    bool Stuck() const { return running && running->abandoned; }
};

bool JobControl::Abandoned() const
{
    std::lock_guard lock(shared_->thread->mutex);
    return shared_->abandoned;
}

void JobControl::WaitAtMost(Clock::duration wait)
{
    std::lock_guard lock(shared_->thread->mutex);
    shared_->deadline = Clock::now() + wait;
}

void JobControl::Later(Clock::time_point when, SoundThread::Job job)
{
    std::lock_guard lock(shared_->thread->mutex);
    shared_->thread->Add({when, std::move(job), nullptr});
}

// --- the audio subsystem ------------------------------------------------------

bool Audio::Start()
{
    if (started_)
        return true;
    if (cardFailed_ && !DriverChosenByUser()) {
        for (const char* driver : kServerDrivers)
            if (SDL_AudioInit(driver) == 0)
                return started_ = true;
        return false;
    }
    started_ = SDL_AudioInit(nullptr) == 0;
    return started_;
}

void Audio::Stop()
{
    if (started_)
        SDL_AudioQuit();
    started_ = false;
    openDevices_ = 0;
}

std::uint32_t Audio::Open(Direction direction, const SDL_AudioSpec& want, SDL_AudioSpec& have)
{
    const bool capture = direction == Direction::Capture;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, StreamName(direction));
    const SDL_AudioDeviceID device = Start() ? SDL_OpenAudioDevice(nullptr, capture, &want, &have, 0) : 0;
    if (device != 0) {
        ++openDevices_;
        if (!capture)
            failureReported_ = false;
        return device;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (started_ && driver != nullptr && std::string_view(driver) == "alsa")
        cardFailed_ = true;
    if (!capture)
        ReportFailure();
    // SDL chooses its driver only as the subsystem starts: the next open
    // starts it afresh, unless another device still plays on it.
    if (openDevices_ == 0)
        Stop();
    return 0;
}

void Audio::Close(std::uint32_t device)
{
    SDL_CloseAudioDevice(device);
    openDevices_ = std::max(openDevices_ - 1, 0);
}

int Audio::Devices(Direction direction)
{
    return Start() ? SDL_GetNumAudioDevices(direction == Direction::Capture) : 0;
}

// One line on standard error, once until sound works again. SDL's own text
// names the driver it tried last, which after no server answered is ALSA's
// complaint about the card: say what that means instead.
void Audio::ReportFailure()
{
    if (failureReported_)
        return;
    failureReported_ = true;
    if (cardFailed_ && !DriverChosenByUser())
        std::fprintf(stderr, "%s: no sound: no sound server is running, and no sound card could be opened directly\n",
                     program_invocation_short_name);
    else
        std::fprintf(stderr, "%s: no sound: %s\n", program_invocation_short_name, SDL_GetError());
}

// --- the thread ------------------------------------------------------------

SoundThread::SoundThread(const char* appName) : state_(std::make_shared<State>())
{
    // SDL would otherwise catch SIGINT and SIGTERM, and the program would
    // ignore Ctrl+C and kill. The names are what a mixer shows.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, appName);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, appName);
    std::thread(&SoundThread::Serve, state_).detach();
}

SoundThread::~SoundThread()
{
    std::unique_lock lock(state_->mutex);
    state_->stopping = true;
    state_->wake.notify_one();
    // The thread holds the state too: one stuck in the driver finishes on
    // its own, after the program has ended or never.
    state_->finished.wait_for(lock, kExitBound, [this] { return state_->ended; });
}

bool SoundThread::Run(Job job, Clock::duration bound, const std::function<void()>& idle)
{
    auto ticket = std::make_shared<JobControl::Shared>(JobControl::Shared{state_.get(), Clock::now() + bound});
    std::unique_lock lock(state_->mutex);
    if (state_->Stuck() || state_->stopping)
        return false;
    state_->Add({Clock::now(), std::move(job), ticket});
    for (;;) {
        if (ticket->done)
            return true;
        const auto now = Clock::now();
        if (now >= ticket->deadline) {
            ticket->abandoned = true;
            std::erase_if(state_->jobs, [&](const Entry& entry) { return entry.ticket == ticket; });
            return false;
        }
        if (!idle) {
            state_->finished.wait_until(lock, ticket->deadline);
            continue;
        }
        state_->finished.wait_until(lock, std::min(ticket->deadline, now + kWaitStep));
        lock.unlock();
        idle();
        lock.lock();
    }
}

// Runs the jobs as they come due until the thread is to stop, then stops
// the subsystem (closing whatever is still open).
void SoundThread::Serve(std::shared_ptr<State> state)
{
    // Started at once, while the program builds its window: the first
    // reading then finds the drivers loaded.
    state->audio.Start();
    std::unique_lock lock(state->mutex);
    while (!state->stopping) {
        if (state->jobs.empty()) {
            state->wake.wait(lock);
            continue;
        }
        if (state->jobs.front().when > Clock::now()) {
            state->wake.wait_until(lock, state->jobs.front().when);
            continue;
        }
        Entry entry = std::move(state->jobs.front());
        state->jobs.pop_front();
        auto ticket = entry.ticket ? entry.ticket
                                   : std::make_shared<JobControl::Shared>(JobControl::Shared{state.get(), {}});
        state->running = ticket;
        lock.unlock();
        JobControl control(ticket);
        entry.job(state->audio, control);
        lock.lock();
        ticket->done = true;
        state->running.reset();
        state->finished.notify_all();
    }
    state->jobs.clear();
    lock.unlock();
    state->audio.Stop();
    // SDL keeps per-thread data (its error text) for any thread that calls
    // it; this thread is not SDL's own, so SDL would not free it.
    SDL_TLSCleanup();
    lock.lock();
    state->ended = true;
    state->finished.notify_all();
}

}  // namespace speech
