// Fuzzes a clip file through the checks and decoding the player uses, in
// memory (no file, no waiting on the device). Beyond not crashing or
// leaking: a decoded clip is whole 16-bit frames and never larger than the
// conversion cap, and no allocation exceeds that cap whatever a header
// claims (-malloc_limit_mb).
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "speech/SdlClipPlayer.h"

namespace {
std::unique_ptr<speech::SdlClipPlayer> player;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    player = std::make_unique<speech::SdlClipPlayer>();
    if (!player->HasDevice())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto decoded = player->DecodeBytes(std::vector<std::uint8_t>(data, data + size));
    if (decoded && (decoded->size() % 2 != 0 || decoded->size() > (256u << 20)))
        std::abort();
    return 0;
}
