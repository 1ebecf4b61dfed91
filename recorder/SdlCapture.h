#pragma once
// Records takes from the default microphone through SDL2's capture device,
// at 22050 Hz mono 16-bit (SDL converts whatever the hardware gives). The
// device is opened once when the object is made and kept, paused between
// takes; Start unpauses it and Stop pauses it and hands back everything
// captured since Start.
//
// It does not judge, trim or save a take, and it does not time one: the
// caller decides when a take ends.

#include <cstdint>
#include <vector>

namespace recorder {

// The microphone as the window needs to know it: usable and idle, taking,
// never found, or lost since it was opened.
enum class CaptureState { Ready, Recording, NoDevice, Failed };

class SdlCapture {
public:
    SdlCapture();
    ~SdlCapture();
    SdlCapture(const SdlCapture&) = delete;
    SdlCapture& operator=(const SdlCapture&) = delete;

    // Ready or Recording while the device works; NoDevice when none could
    // be opened; Failed once the device stops on its own (unplugged).
    CaptureState State() const;

    // Begins a take; false unless the state was Ready.
    bool Start();
    // Ends the take and returns its samples (none if nothing was recording).
    std::vector<std::int16_t> Stop();

private:
    void Collect();

    bool audioInitialised_ = false;
    std::uint32_t device_ = 0;
    bool recording_ = false;
    std::vector<std::int16_t> take_;
};

}  // namespace recorder
