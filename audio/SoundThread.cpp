#include "SoundThread.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

namespace audio {
namespace {

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
    return direction == Audio::Direction::Playback ? "Speech" : "Recording";
}

}  // namespace

struct JobTicket {
    ThreadState* state;
    Clock::time_point deadline;
    Waiter* waiter = nullptr;          // the caller's, while it waits
    bool abandoned = false;            // the caller gave up
    bool done = false;                 // the job returned in time
    std::function<void()> dropResult;  // run here when nobody takes the result
};

struct QueuedJob {
    Clock::time_point when;
    Job job;
    std::shared_ptr<JobTicket> ticket;  // none for a job run later
    Clock::duration bound = kOpenBound;  // a job run later: how long it may take
};

struct ThreadState {
    std::mutex mutex;
    std::condition_variable wake;      // a job was given, given up, or the thread is to stop
    std::condition_variable finished;  // a job returned, or the thread ended
    std::deque<QueuedJob> jobs;        // by time, and in the order given
    std::shared_ptr<JobTicket> running;
    std::thread::id thread;
    bool stopping = false;
    bool ended = false;
    std::optional<Audio> audio;

    // The caller holds the mutex.
    void Add(QueuedJob entry)
    {
        auto after = std::upper_bound(jobs.begin(), jobs.end(), entry.when,
                                      [](Clock::time_point when, const QueuedJob& e) { return when < e.when; });
        jobs.insert(after, std::move(entry));
        wake.notify_all();
    }
    bool Stuck() const { return running && (running->abandoned || Clock::now() >= running->deadline); }
};

// --- devices -----------------------------------------------------------------

Device::Device(Device&& other) noexcept { *this = std::move(other); }

Device& Device::operator=(Device&& other) noexcept
{
    if (this != &other) {
        Close();
        id_ = std::exchange(other.id_, 0);
        bufferBytes_ = other.bufferBytes_;
        generation_ = other.generation_;
        owner_ = std::move(other.owner_);
    }
    return *this;
}

Device::~Device() { Close(); }

// On the sound thread the device closes at once; elsewhere a job closes it.
// The driver is called without the lock: it may block.
void Device::Close()
{
    if (id_ == 0)
        return;
    const auto id = std::exchange(id_, 0);
    const auto state = owner_.lock();
    if (!state)
        return;  // the thread has ended, and stopped the subsystem with every device
    std::unique_lock lock(state->mutex);
    if (std::this_thread::get_id() == state->thread) {
        lock.unlock();
        state->audio->Close(id, generation_);
    } else if (!state->stopping) {
        state->Add({Clock::now(), [id, generation = generation_](Audio& audio, JobControl&) { audio.Close(id, generation); }, nullptr});
    }
}

// --- the audio subsystem ---------------------------------------------------

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

// Closes every device: those still held are left with an old generation.
void Audio::Stop()
{
    if (started_)
        SDL_AudioQuit();
    started_ = false;
    reconnect_ = false;
    ++generation_;
    openDevices_ = 0;
}

Device Audio::Open(Direction direction, const SDL_AudioSpec& want)
{
    const bool capture = direction == Direction::Capture;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, StreamName(direction));
    SDL_AudioSpec have{};
    Device device;
    if (reconnect_ && openDevices_ == 0)
        Stop();
    device.id_ = Start() ? SDL_OpenAudioDevice(nullptr, capture, &want, &have, 0) : 0;
    if (device) {
        device.bufferBytes_ = have.size;
        device.generation_ = generation_;
        device.owner_ = owner_;
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
    return device;
}

void Audio::Close(std::uint32_t id, unsigned generation)
{
    if (generation != generation_)
        return;  // closed when the subsystem stopped
    SDL_CloseAudioDevice(id);
    openDevices_ = std::max(openDevices_ - 1, 0);
}

int Audio::Devices(Direction direction)
{
    return Start() ? SDL_GetNumAudioDevices(direction == Direction::Capture) : 0;
}

bool Audio::Queue(Device& device, std::span<const std::uint8_t> samples)
{
    return SDL_QueueAudio(device.id_, samples.data(), static_cast<Uint32>(samples.size())) == 0;
}

std::uint32_t Audio::Queued(const Device& device) { return SDL_GetQueuedAudioSize(device.id_); }

void Audio::ClearQueue(Device& device) { SDL_ClearQueuedAudio(device.id_); }

std::size_t Audio::Dequeue(Device& device, std::span<std::int16_t> samples)
{
    return SDL_DequeueAudio(device.id_, samples.data(), static_cast<Uint32>(samples.size_bytes())) / sizeof(std::int16_t);
}

void Audio::Unpause(Device& device) { SDL_PauseAudioDevice(device.id_, 0); }

bool Audio::Stopped(const Device& device)
{
    const bool stopped = SDL_GetAudioDeviceStatus(device.id_) == SDL_AUDIO_STOPPED;
    if (stopped)
        Lost();
    return stopped;
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

// --- jobs ----------------------------------------------------------------

bool JobControl::Abandoned() const
{
    std::lock_guard lock(ticket_->state->mutex);
    return ticket_->abandoned;
}

void JobControl::WaitAtMost(Clock::duration wait)
{
    std::lock_guard lock(ticket_->state->mutex);
    ticket_->deadline = Clock::now() + wait;
}

void JobControl::SleepUntil(Clock::time_point until) const
{
    ThreadState& state = *ticket_->state;
    std::unique_lock lock(state.mutex);
    state.wake.wait_until(lock, until, [&] { return ticket_->abandoned || state.stopping; });
}

void JobControl::Later(Clock::time_point when, Job job, Clock::duration bound)
{
    std::lock_guard lock(ticket_->state->mutex);
    ticket_->state->Add({when, std::move(job), nullptr, bound});
}

// --- the thread ------------------------------------------------------------

SoundThread::SoundThread(const char* appName) : state_(std::make_shared<ThreadState>())
{
    state_->audio.emplace(Audio(state_));
    std::lock_guard lock(state_->mutex);
    thread_ = std::thread(&SoundThread::Serve, state_, std::string(appName));
    state_->thread = thread_.get_id();
}

SoundThread::~SoundThread()
{
    if (thread_.joinable() && !Stop())
        thread_.detach();  // the thread holds the state: it finishes on its own, or never
}

bool SoundThread::Stop(Clock::duration bound)
{
    std::unique_lock lock(state_->mutex);
    const bool stuck = state_->Stuck();  // then there is nothing to wait for
    state_->stopping = true;
    state_->wake.notify_all();
    if (stuck || !state_->finished.wait_for(lock, bound, [this] { return state_->ended; }))
        return false;
    lock.unlock();
    if (thread_.joinable())
        thread_.join();
    return true;
}

bool SoundThread::Submit(Job job, std::function<void()> dropResult, Clock::duration bound, Waiter* waiter)
{
    auto ticket = std::make_shared<JobTicket>(
        JobTicket{state_.get(), Clock::now() + bound, waiter, false, false, std::move(dropResult)});
    std::deque<QueuedJob> dropped;  // destroyed after the lock is let go: a job may hold a Device
    std::unique_lock lock(state_->mutex);
    if (state_->Stuck() || state_->stopping)
        return false;
    state_->Add({Clock::now(), std::move(job), ticket});
    while (!ticket->done) {
        if (Clock::now() >= ticket->deadline) {
            ticket->abandoned = true;
            ticket->waiter = nullptr;
            state_->wake.notify_all();  // a job asleep in SleepUntil ends its sleep
            // Dropped here if it has not begun: destroyed on this thread,
            // having done nothing.
            const auto queued = std::find_if(state_->jobs.begin(), state_->jobs.end(),
                                             [&](const QueuedJob& entry) { return entry.ticket == ticket; });
            if (queued != state_->jobs.end()) {
                dropped.push_back(std::move(*queued));
                state_->jobs.erase(queued);
            }
            return false;
        }
        if (waiter == nullptr) {
            state_->finished.wait_until(lock, ticket->deadline);
            continue;
        }
        const auto deadline = ticket->deadline;
        lock.unlock();
        waiter->SleepUntil(deadline);
        lock.lock();
    }
    return true;
}

// Runs one job, then hands its result to the caller or, when the caller
// gave up, drops it here. Called and returns without the lock.
void SoundThread::RunJob(ThreadState& state, QueuedJob entry)
{
    JobControl control(entry.ticket);
    entry.job(*state.audio, control);
    entry.job = nullptr;  // what it holds goes here, on this thread
    std::unique_lock lock(state.mutex);
    state.running.reset();
    const bool abandoned = entry.ticket->abandoned;
    if (!abandoned) {
        entry.ticket->done = true;
        if (entry.ticket->waiter != nullptr)
            entry.ticket->waiter->Wake();
    }
    state.finished.notify_all();
    lock.unlock();
    if (abandoned && entry.ticket->dropResult)
        entry.ticket->dropResult();
    entry.ticket->dropResult = nullptr;
}

// Runs the jobs as they come due until the thread is to stop, then stops
// the subsystem (closing whatever is still open).
void SoundThread::Serve(std::shared_ptr<ThreadState> state, std::string appName)
{
    Audio& audio = *state->audio;
    // Even SDL's hints are set here, as SDL keeps them without a lock. SDL
    // would otherwise catch SIGINT and SIGTERM, and the program would ignore
    // Ctrl+C and kill. The names are what a mixer shows.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, appName.c_str());
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, appName.c_str());
    // Started at once, while the program builds its window: the first
    // reading then finds the drivers loaded.
    audio.Start();
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
        QueuedJob entry = std::move(state->jobs.front());
        state->jobs.pop_front();
        if (!entry.ticket)
            entry.ticket = std::make_shared<JobTicket>(JobTicket{state.get(), Clock::now() + entry.bound, nullptr, false, false, {}});
        state->running = entry.ticket;
        lock.unlock();
        RunJob(*state, std::move(entry));
        lock.lock();
    }
    std::deque<QueuedJob> left = std::move(state->jobs);
    lock.unlock();
    left.clear();
    audio.Stop();
    // SDL keeps per-thread data (its error text) for any thread that calls
    // it; this thread is not SDL's own, so SDL would not free it.
    SDL_TLSCleanup();
    lock.lock();
    state->ended = true;
    state->finished.notify_all();
}

int FinishProcess(SoundThread& sound, int status)
{
    if (sound.Stop())
        return status;
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace audio
