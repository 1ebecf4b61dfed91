#include "SoundLink.h"

#include <mutex>

#include "HandlerGate.h"

namespace app {

// What the sound thread posts through: the link while it lives.
struct SoundLink::Mailbox {
    explicit Mailbox(SoundLink* to) : link(to) {}
    std::mutex mutex;
    SoundLink* link;
};

SoundLink::SoundLink(audio::SoundThread& sound)
    : sound_(sound), mailbox_(std::make_shared<Mailbox>(this))
{
    watchdog_.setSingleShot(true);
    watchdog_.setTimerType(Qt::PreciseTimer);
    connect(&watchdog_, &QTimer::timeout, this, [this] { Watch(); });
}

SoundLink::~SoundLink()
{
    std::lock_guard lock(mailbox_->mutex);
    mailbox_->link = nullptr;
}

// Any thread. A call queued to a link destroyed before it runs is dropped.
void SoundLink::Post(const std::shared_ptr<Mailbox>& mailbox, unsigned id, std::function<void()> answer)
{
    std::lock_guard lock(mailbox->mutex);
    if (SoundLink* link = mailbox->link)
        QMetaObject::invokeMethod(link, [link, id, answer = std::move(answer)] { link->Deliver(id, answer); },
                                  Qt::QueuedConnection);
}

unsigned SoundLink::Await(std::function<void()> noAnswer)
{
    waiting_.emplace(++lastId_, std::move(noAnswer));
    if (!watchdog_.isActive())
        Watch();
    return lastId_;
}

void SoundLink::Deliver(unsigned id, const std::function<void()>& answer)
{
    if (waiting_.erase(id) == 0)
        return;  // answered already, as "no answer"
    if (waiting_.empty())
        watchdog_.stop();
    RunReported(answer);
}

void SoundLink::Watch()
{
    if (waiting_.empty())
        return;
    if (sound_.Stuck()) {
        const auto unanswered = std::exchange(waiting_, {});
        for (const auto& [id, noAnswer] : unanswered)
            RunReported(noAnswer);
        return;
    }
    const auto now = audio::Clock::now();
    const auto next = std::min(sound_.StuckFrom(), now + audio::kCallBound);
    watchdog_.start(std::chrono::ceil<std::chrono::milliseconds>(next - now) + std::chrono::milliseconds(1));
}

}  // namespace app
