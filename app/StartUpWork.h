#pragma once
// What start-up would otherwise wait for, begun on threads of its own while
// Qt connects to the display: reading the system's font configuration, and
// opening the sound device. Each takes milliseconds, and much of the
// device's is waiting, so they run side by side. Neither needs Qt; nothing
// here builds or touches a window.

#include <filesystem>
#include <future>
#include <memory>
#include <optional>

#include "speech/SdlClipPlayer.h"

class StartUpWork {
public:
    explicit StartUpWork(std::optional<std::filesystem::path> voice);

    // Returns once the font configuration is read. Call once.
    void WaitForFontConfiguration() { fontConfiguration_.get(); }
    // Returns the player, playing from the voice folder, once it is made.
    // Call once.
    std::unique_ptr<speech::SdlClipPlayer> TakePlayer() { return player_.get(); }

private:
    std::future<void> fontConfiguration_;
    std::future<std::unique_ptr<speech::SdlClipPlayer>> player_;
};
