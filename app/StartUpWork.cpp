#include "StartUpWork.h"

#include <SDL.h>

#include "speech/VoiceFolder.h"
#include "window/Fonts.h"

namespace {

std::unique_ptr<speech::SdlClipPlayer> MakePlayer(std::filesystem::path working)
{
    auto player = std::make_unique<speech::SdlClipPlayer>(
        [working] { return speech::ChooseVoiceFolder(working); });
    // SDL keeps per-thread data (its error text) for any thread that calls
    // it; this thread is not SDL's own, so SDL would not free it.
    SDL_TLSCleanup();
    return player;
}

}  // namespace

StartUpWork::StartUpWork(std::filesystem::path working)
    : fontConfiguration_(std::async(std::launch::async, &window::LoadFontConfiguration)),
      player_(std::async(std::launch::async, &MakePlayer, std::move(working)))
{
}
