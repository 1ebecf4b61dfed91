// Fuzzes a clip file through the checks and decoding the player uses, in
// memory (no file, no device). Beyond not crashing or
// leaking: a decoded clip is whole 16-bit frames and never larger than the
// conversion cap, and no allocation exceeds that cap whatever a header
// claims (-malloc_limit_mb).
#include <cstdint>
#include <cstdlib>

#include "audio/SdlClipPlayer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto decoded = audio::DecodeClip(std::vector<std::uint8_t>(data, data + size));
    if (decoded && (decoded->size() % 2 != 0 || decoded->size() > (256u << 20)))
        std::abort();
    return 0;
}
