#include "SoundLink.h"

#include <algorithm>
#include <mutex>

#include "HandlerGate.h"

namespace app {

struct SoundLink::Mailbox {
    std::mutex mutex;
    SoundLink* link = nullptr;  // while it lives
};

SoundLink::SoundLink(audio::SoundThread& sound) : sound_(sound), mailbox_(std::make_shared<Mailbox>())
{
    mailbox_->link = this;
    watchdog_.setSingleShot(true);
    watchdog_.setTimerType(Qt::PreciseTimer);
    connect(&watchdog_, &QTimer::timeout, this, [this] { Watch(); });
}

SoundLink::~SoundLink()
{
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->link = nullptr;
}

// Any thread. Qt drops a call queued to an object destroyed before it runs.
void SoundLink::Post(Mailbox& mailbox, unsigned id, std::function<void()> answer)
{
    std::lock_guard lock(mailbox.mutex);
    if (SoundLink* link = mailbox.link)
        QMetaObject::invokeMethod(link, [link, id, answer = std::move(answer)] {
            if (link->waiting_.erase(id) == 0)
                return;  // answered "no answer" already
            if (link->waiting_.empty())
                link->watchdog_.stop();
            RunReported(answer);
        }, Qt::QueuedConnection);
}

unsigned SoundLink::Await(std::function<void()> noAnswer)
{
    waiting_.emplace(++lastId_, std::move(noAnswer));
    if (!watchdog_.isActive())
        Watch();
    return lastId_;
}

void SoundLink::Watch()
{
    if (sound_.Stuck()) {
        for (const auto& [id, noAnswer] : std::exchange(waiting_, {}))
            RunReported(noAnswer);
    }
    if (waiting_.empty())
        return;
    const auto now = audio::Clock::now();
    const auto wait = std::clamp(sound_.StuckFrom() - now, audio::Clock::duration::zero(), audio::Clock::duration(audio::kCallBound));
    watchdog_.start(std::chrono::ceil<std::chrono::milliseconds>(wait) + std::chrono::milliseconds(1));
}

}  // namespace app
