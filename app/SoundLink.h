#pragma once
// Brings the sound thread's answers to the window's thread, each as a queued
// call, and stands in for an answer that cannot come. While a request waits
// for its answer, a timer watches the sound thread: once the thread is stuck
// in the driver, every waiting request is answered with its "no answer" at
// once, and the real answer, should it come later, is dropped. The timer
// runs only while a request waits; it fires when the driver call running
// then would make the thread stuck, or a call bound later when none runs.
//
// It neither waits nor runs sound work itself. Build it on the window's
// thread, once the application exists.

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

    // A function for the sound thread to answer with: then runs on this
    // object's thread, once, with the answer, or with noAnswer when the
    // sound thread is stuck before the answer comes.
    template <typename T>
    std::function<void(T)> Reply(std::function<void(T)> then, T noAnswer);

private:
    struct Mailbox;
    static void Post(const std::shared_ptr<Mailbox>& mailbox, unsigned id, std::function<void()> answer);
    unsigned Await(std::function<void()> noAnswer);
    void Deliver(unsigned id, const std::function<void()>& answer);
    void Watch();

    audio::SoundThread& sound_;
    std::shared_ptr<Mailbox> mailbox_;
    std::map<unsigned, std::function<void()>> waiting_;  // each request's "no answer"
    unsigned lastId_ = 0;
    QTimer watchdog_;
};

template <typename T>
std::function<void(T)> SoundLink::Reply(std::function<void(T)> then, T noAnswer)
{
    auto shared = std::make_shared<std::function<void(T)>>(std::move(then));
    const unsigned id = Await([shared, noAnswer] { (*shared)(noAnswer); });
    return [mailbox = mailbox_, id, shared](T answer) {
        Post(mailbox, id, [shared, answer = std::move(answer)] { (*shared)(answer); });
    };
}

// The clip player as the window uses it: its readings end on the window's
// thread, through the link.
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
