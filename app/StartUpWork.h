#pragma once
// What start-up would otherwise wait for, begun on threads of its own while
// Qt connects to the display: reading the system's font configuration, and
// making the player, which starts SDL's audio subsystem (loading its
// drivers and asking the session for a sound server; the device itself is
// opened for the first clip). Each takes milliseconds, and much of the
// player's is waiting, so they run side by side. Neither needs Qt; nothing
// here builds or touches a window.

#include <filesystem>
#include <future>
#include <memory>

#include "speech/SdlClipPlayer.h"

class StartUpWork {
public:
    // working: the folder the program was started in, where a voice is
    // looked for first.
    explicit StartUpWork(std::filesystem::path working);

    // Returns once the font configuration is read. Call once.
    void WaitForFontConfiguration() { fontConfiguration_.get(); }
    // Returns the player, which chooses its voice folder for each reading,
    // once it is made. Call once.
    std::unique_ptr<speech::SdlClipPlayer> TakePlayer() { return player_.get(); }

private:
    std::future<void> fontConfiguration_;
    std::future<std::unique_ptr<speech::SdlClipPlayer>> player_;
};
