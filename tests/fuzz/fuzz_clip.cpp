// Fuzzes loading and playing a clip file: any bytes, written to a file and
// played through the real SDL player on the disk driver (unpaced, to
// /dev/null). Checked properties, beyond not crashing or leaking:
//   - a clip that cannot be decoded queues nothing and is not waited for;
//   - a decoded clip is whole 16-bit frames and never larger than the cap;
//   - a file whose chunks run past its end is never decoded.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "speech/SdlClipPlayer.h"
#include "speech/WavFile.h"

namespace {

std::string clipPath;
std::unique_ptr<speech::SdlClipPlayer> player;
int waits = 0;

void WriteClip(const std::uint8_t* data, std::size_t size)
{
    FILE* file = std::fopen(clipPath.c_str(), "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    clipPath = "/tmp/zorbanu-fuzz-clip-" + std::to_string(getpid()) + ".wav";
    player = std::make_unique<speech::SdlClipPlayer>();
    if (!player->HasDevice())
        std::abort();
    player->SetIdleCallback([] { ++waits; });
    std::atexit([] { std::remove(clipPath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WriteClip(data, size);
    const auto decoded = player->Decode(clipPath);
    const bool laidOut = speech::HasSoundRiffLayout(std::span(data, size));
    if (decoded && !laidOut)
        std::abort();  // decoded something the layout check refused
    if (decoded && (decoded->size() % 2 != 0 || decoded->size() > (256u << 20)))
        std::abort();

    const std::uint32_t queuedBefore = player->QueuedBytes();
    waits = 0;
    player->PlayClip(clipPath);
    if ((!decoded || decoded->empty()) && (waits != 0 || player->QueuedBytes() > queuedBefore))
        std::abort();  // an unplayable clip added something or was waited for
    return 0;
}
