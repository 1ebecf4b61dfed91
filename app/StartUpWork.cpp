#include "StartUpWork.h"

#include <SDL.h>

#include "window/Fonts.h"

StartUpWork::StartUpWork(std::optional<std::filesystem::path> voice)
    : thread_(&StartUpWork::Run, this, std::move(voice))
{
}

StartUpWork::~StartUpWork()
{
    if (thread_.joinable())
        thread_.join();
}

void StartUpWork::Run(std::optional<std::filesystem::path> voice)
{
    window::LoadFontConfiguration();
    fontConfigurationRead_.set_value();
    player_ = std::make_unique<speech::SdlClipPlayer>();
    player_->SetFolder(std::move(voice));
    // SDL keeps per-thread data (its error text) for any thread that calls
    // it; this thread is not SDL's own, so SDL would not free it.
    SDL_TLSCleanup();
}

std::unique_ptr<speech::SdlClipPlayer> StartUpWork::TakePlayer()
{
    thread_.join();
    return std::move(player_);
}
