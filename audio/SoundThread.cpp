#include "SoundThread.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <optional>
#include <string_view>

namespace audio {
namespace {

// Tried after the card itself could not be opened: trying it again would
// only repeat alsa-lib's complaints, and a server that comes up later is
// found this way.
constexpr const char* kServerDrivers[] = {"pulseaudio", "pipewire"};

bool DriverChosenByUser()
{
    const char* chosen = SDL_GetHint(SDL_HINT_AUDIODRIVER);
    return chosen != nullptr && *chosen != '\0';
}

std::atomic<SoundThread*> guarded{nullptr};  // what exit() must stop first

}  // namespace

struct QueuedJob {
    Clock::time_point when;
    Job job;
    Clock::time_point posted;
};

struct ThreadState : std::enable_shared_from_this<ThreadState> {
    // With the mutex held.
    void Add(QueuedJob entry)
    {
        auto after = std::upper_bound(jobs.begin(), jobs.end(), entry.when,
                                      [](Clock::time_point when, const QueuedJob& e) { return when < e.when; });
        jobs.insert(after, std::move(entry));
        wake.notify_all();
    }

    std::mutex mutex;
    std::condition_variable wake;      // a job was posted, or the thread is to stop
    std::condition_variable finished;  // the thread ended
    std::deque<QueuedJob> jobs;
    std::thread::id thread;
    bool stopping = false;
    bool ended = false;
    Clock::time_point stuckFrom = Clock::time_point::max();  // of the driver call running now
    Clock::time_point lastStuck = Clock::time_point::min();  // when a call past its bound returned
    std::optional<Audio> audio;
};

Device& Device::operator=(Device&& other) noexcept
{
    if (this != &other) {
        Close();
        id_ = std::exchange(other.id_, 0);
        bufferBytes_ = other.bufferBytes_;
        owner_ = std::move(other.owner_);
    }
    return *this;
}

void Device::Close()
{
    const auto id = std::exchange(id_, 0);
    const auto state = owner_.lock();
    if (id == 0 || !state)
        return;  // none, or the thread ended and stopped the subsystem
    std::unique_lock lock(state->mutex);
    if (std::this_thread::get_id() == state->thread) {
        lock.unlock();
        state->audio->Close(id);
    } else if (!state->stopping) {
        state->Add({Clock::now(), [id](Audio& audio) { audio.Close(id); }, {}});
    }
}

template <typename Call>
auto Audio::Driver(Call call)
{
    struct Watch {
        explicit Watch(ThreadState& state) : state(state)
        {
            std::lock_guard lock(state.mutex);
            state.stuckFrom = Clock::now() + kCallBound;
        }
        ~Watch()
        {
            std::lock_guard lock(state.mutex);
            if (Clock::now() >= state.stuckFrom)
                state.lastStuck = Clock::now();
            state.stuckFrom = Clock::time_point::max();
        }
        ThreadState& state;
    } watch(state_);
    return call();
}

bool Audio::Start()
{
    auto init = [this](const char* driver) { return Driver([&] { return SDL_AudioInit(driver) == 0; }); };
    if (!started_ && cardFailed_ && !DriverChosenByUser())
        started_ = std::any_of(std::begin(kServerDrivers), std::end(kServerDrivers), init);
    else if (!started_)
        started_ = init(nullptr);
    return started_;
}

// Only while no device is open, or as the thread ends: after it, no held
// device is closed again, as SDL gives its ids anew.
void Audio::Stop()
{
    if (started_)
        Driver([] { SDL_AudioQuit(); });
    started_ = reconnect_ = false;
}

Device Audio::Open(Direction direction, const SDL_AudioSpec& want)
{
    const bool capture = direction == Direction::Capture;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, capture ? "Recording" : "Speech");
    if (reconnect_ && openDevices_ == 0)
        Stop();
    SDL_AudioSpec have{};
    Device device;
    auto open = [&] {
        if (Start())
            device.id_ = Driver([&] { return SDL_OpenAudioDevice(nullptr, capture, &want, &have, 0); });
    };
    const bool startedBefore = started_;
    open();
    // SDL 2.32's connection dies with its server even while no device is
    // open: an open that fails on it is tried once more on a fresh one.
    if (!device && startedBefore && openDevices_ == 0) {
        Stop();
        open();
    }
    if (device) {
        device.bufferBytes_ = have.size;
        device.owner_ = state_.weak_from_this();
        ++openDevices_;
        failureReported_ = failureReported_ && capture;
        return device;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    cardFailed_ = cardFailed_ || (started_ && driver != nullptr && std::string_view(driver) == "alsa");
    if (!capture)
        ReportFailure();
    if (openDevices_ == 0)
        Stop();
    return device;
}

void Audio::Close(std::uint32_t id)
{
    Driver([id] { SDL_CloseAudioDevice(id); });
    --openDevices_;
}

int Audio::Devices(Direction direction)
{
    return Start() ? Driver([&] { return SDL_GetNumAudioDevices(direction == Direction::Capture); }) : 0;
}

bool Audio::Queue(Device& device, std::span<const std::uint8_t> samples)
{
    return Driver([&] { return SDL_QueueAudio(device.id_, samples.data(), static_cast<Uint32>(samples.size())) == 0; });
}

std::uint32_t Audio::Queued(const Device& device) { return Driver([&] { return SDL_GetQueuedAudioSize(device.id_); }); }

std::size_t Audio::Dequeue(Device& device, std::span<std::int16_t> samples)
{
    const auto bytes = static_cast<Uint32>(samples.size_bytes());
    return Driver([&] { return SDL_DequeueAudio(device.id_, samples.data(), bytes); }) / sizeof(std::int16_t);
}

void Audio::Unpause(Device& device) { Driver([&] { SDL_PauseAudioDevice(device.id_, 0); }); }

bool Audio::Stopped(const Device& device)
{
    const bool stopped = Driver([&] { return SDL_GetAudioDeviceStatus(device.id_) == SDL_AUDIO_STOPPED; });
    reconnect_ = reconnect_ || stopped;
    return stopped;
}

// After no server answered, SDL's own text is ALSA's complaint about the
// card: say what that means instead.
void Audio::ReportFailure()
{
    if (std::exchange(failureReported_, true))
        return;
    if (cardFailed_ && !DriverChosenByUser())
        std::fprintf(stderr, "%s: no sound: no sound server is running, and no sound card could be opened directly\n",
                     program_invocation_short_name);
    else
        std::fprintf(stderr, "%s: no sound: %s\n", program_invocation_short_name, SDL_GetError());
}

bool Audio::Wanted() const
{
    std::lock_guard lock(state_.mutex);
    return posted_ > state_.lastStuck && !state_.stopping;
}

bool Audio::SleepUntil(Clock::time_point until) const
{
    std::unique_lock lock(state_.mutex);
    return !state_.wake.wait_until(lock, until, [&] { return state_.stopping; });
}

void Audio::Later(Clock::time_point when, Job job) const
{
    std::lock_guard lock(state_.mutex);
    state_.Add({when, std::move(job), posted_});
}

SoundThread::SoundThread(const char* appName) : state_(std::make_shared<ThreadState>())
{
    state_->audio.emplace(Audio(*state_));
    std::lock_guard lock(state_->mutex);
    thread_ = std::thread(&SoundThread::Serve, state_, std::string(appName));
    state_->thread = thread_.get_id();
}

SoundThread::~SoundThread()
{
    SoundThread* self = this;
    guarded.compare_exchange_strong(self, nullptr);
    if (thread_.joinable() && !Stop())
        thread_.detach();  // it holds the state: it finishes on its own, or never
}

bool SoundThread::Post(Job job)
{
    std::unique_lock lock(state_->mutex);
    const auto now = Clock::now();
    if (state_->stopping || now >= state_->stuckFrom) {
        lock.unlock();
        job = nullptr;  // its answer's fallback goes now, without the lock
        return false;
    }
    state_->Add({now, std::move(job), now});
    return true;
}

Clock::time_point SoundThread::StuckFrom() const
{
    std::lock_guard lock(state_->mutex);
    return state_->stuckFrom;
}

bool SoundThread::Stop(Clock::duration bound)
{
    std::unique_lock lock(state_->mutex);
    const bool stuck = Clock::now() >= state_->stuckFrom;
    state_->stopping = true;
    state_->wake.notify_all();
    if (stuck || !state_->finished.wait_for(lock, bound, [this] { return state_->ended; }))
        return false;
    lock.unlock();
    if (thread_.joinable())
        thread_.join();
    return true;
}

void SoundThread::Serve(std::shared_ptr<ThreadState> state, std::string appName)
{
    Audio& audio = *state->audio;
    // Set here too, as SDL keeps its hints without a lock. Without the
    // first, SDL would catch SIGINT and SIGTERM, and Ctrl+C would not end
    // the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, appName.c_str());
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, appName.c_str());
    audio.Start();  // while the window is built: the first reading finds the drivers loaded
    std::unique_lock lock(state->mutex);
    while (!state->stopping) {
        if (state->jobs.empty() || state->jobs.front().when > Clock::now()) {
            state->jobs.empty() ? state->wake.wait(lock) : void(state->wake.wait_until(lock, state->jobs.front().when));
            continue;
        }
        QueuedJob entry = std::move(state->jobs.front());
        state->jobs.pop_front();
        lock.unlock();
        audio.posted_ = entry.posted;
        try {
            entry.job(audio);
        } catch (...) {
            // The job has ended: its answer, unless given, is the fallback.
        }
        entry.job = nullptr;  // what it holds goes here, on this thread
        lock.lock();
    }
    auto left = std::move(state->jobs);
    lock.unlock();
    left.clear();
    audio.Stop();
    SDL_TLSCleanup();  // SDL's per-thread data, which SDL frees only for its own threads
    lock.lock();
    state->ended = true;
    state->finished.notify_all();
}

void SoundThread::GuardExit()
{
    guarded = this;
    std::atexit([] {
        if (SoundThread* sound = guarded.exchange(nullptr))
            FinishProcess(*sound, EXIT_FAILURE);
    });
}

int FinishProcess(SoundThread& sound, int status)
{
    if (sound.Stop())
        return status;
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace audio
