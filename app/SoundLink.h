#pragma once
// Brings the sound thread's answers to the window's thread as queued calls,
// and stands in for an answer that cannot come: while a request waits, a
// timer watches the sound thread, firing when the driver call running then
// would make it stuck (or a call bound later), and once it is stuck, every
// waiting request gets its "no answer"; a late real answer is dropped. Build
// it on the window's thread; it never waits.

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "audio/SdlClipPlayer.h"

namespace app {

class SoundLink final : public QObject {
public:
    explicit SoundLink(audio::SoundThread& sound);
    ~SoundLink() override;

    // What the sound thread answers through: then runs here once, with the
    // answer or with noAnswer.
    template <typename T>
    std::function<void(T)> Reply(std::function<void(T)> then, T noAnswer)
    {
        auto shared = std::make_shared<std::function<void(T)>>(std::move(then));
        const unsigned id = Await([shared, noAnswer] { (*shared)(noAnswer); });
        return [mailbox = mailbox_, id, shared](T answer) {
            Post(*mailbox, id, [shared, answer = std::move(answer)] { (*shared)(answer); });
        };
    }

private:
    struct Mailbox;
    static void Post(Mailbox& mailbox, unsigned id, std::function<void()> answer);
    unsigned Await(std::function<void()> noAnswer);
    void Watch();

    audio::SoundThread& sound_;
    std::shared_ptr<Mailbox> mailbox_;
    std::map<unsigned, std::function<void()>> waiting_;  // each request's "no answer"
    unsigned lastId_ = 0;
    QTimer watchdog_;
};

// The clip player as a window uses it: readings end on the window's thread.
class WindowPlayer final : public speech::ClipPlayer {
public:
    WindowPlayer(audio::SdlClipPlayer& player, SoundLink& link) : player_(player), link_(link) {}
    void PlayReading(std::span<const std::string> clips, speech::AfterSound then) override
    {
        player_.PlayReading(clips, link_.Reply<speech::SoundEnd>(std::move(then), speech::SoundEnd::NoSound));
    }

private:
    audio::SdlClipPlayer& player_;
    SoundLink& link_;
};

}  // namespace app
