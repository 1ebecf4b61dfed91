#pragma once
// Records takes from the default microphone through SDL2's capture device,
// at 22050 Hz mono 16-bit (SDL converts whatever the hardware gives). The
// device is open only while a take runs: Start opens it and Stop closes it,
// handing back everything captured since Start. So the desktop shows no
// microphone in use between takes, and a microphone plugged in after the
// recorder started is found at the next take.
//
// It does not judge, trim or save a take, and it does not time one: the
// caller decides when a take ends.

#include <cstdint>
#include <vector>

namespace recorder {

class SdlCapture {
public:
    SdlCapture();
    ~SdlCapture();
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Whether the sound system lists any microphone now; opens nothing.
    bool HasMicrophone() const;

    // Opens the default microphone and begins a take; false when no
    // microphone could be opened or a take is already running.
    bool Start();
    // True once the microphone of the running take stopped on its own
    // (unplugged, or the sound server went away).
    bool Lost() const;
    // Ends the take, closes the microphone and returns the take's samples
    // (none if nothing was recording).
    std::vector<std::int16_t> Stop();

private:
    void Collect();

    bool audioInitialised_ = false;
    std::uint32_t device_ = 0;
    std::vector<std::int16_t> take_;
};

}  // namespace recorder
