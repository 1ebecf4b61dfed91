#pragma once
// What start-up would otherwise wait for, done on a thread of its own while
// Qt connects to the display: reading the system's font configuration, then
// opening the sound device. Both take milliseconds, and neither needs Qt.
// It does not build or touch any window.

#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "speech/SdlClipPlayer.h"

class StartUpWork {
public:
    explicit StartUpWork(std::optional<std::filesystem::path> voice);
    ~StartUpWork();
    StartUpWork(const StartUpWork&) = delete;
    StartUpWork& operator=(const StartUpWork&) = delete;

    // Returns once the font configuration is read.
    void WaitForFontConfiguration() { fontConfiguration_.wait(); }
    // Returns the player, playing from the voice folder, once it is made.
    // Call once.
    std::unique_ptr<speech::SdlClipPlayer> TakePlayer();

private:
    void Run(std::optional<std::filesystem::path> voice);

    std::promise<void> fontConfigurationRead_;
    std::shared_future<void> fontConfiguration_ = fontConfigurationRead_.get_future().share();
    std::unique_ptr<speech::SdlClipPlayer> player_;
    std::thread thread_;
};
