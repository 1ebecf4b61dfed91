#include "StartUpWork.h"

#include <SDL.h>

#include "window/Fonts.h"

namespace {

std::unique_ptr<speech::SdlClipPlayer> MakePlayer(std::optional<std::filesystem::path> voice)
{
    auto player = std::make_unique<speech::SdlClipPlayer>();
    player->SetFolder(std::move(voice));
    // SDL keeps per-thread data (its error text) for any thread that calls
    // it; this thread is not SDL's own, so SDL would not free it.
    SDL_TLSCleanup();
    return player;
}

}  // namespace

StartUpWork::StartUpWork(std::optional<std::filesystem::path> voice)
    : fontConfiguration_(std::async(std::launch::async, &window::LoadFontConfiguration)),
      player_(std::async(std::launch::async, &MakePlayer, std::move(voice)))
{
}
