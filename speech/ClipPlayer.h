#pragma once
// The program's only sound output. A reading is a run of clips, each named
// by a bare file name and played to its end, one after another, all from the
// one voice folder that is chosen as the reading starts. A word's form
// (kWordForms) that the folder lacks is said with the word's own clip; any
// other missing or unplayable clip is silent and costs no time.

#include <span>
#include <string>

namespace speech {

class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    virtual void PlayReading(std::span<const std::string> clips) = 0;
    // A reading of one clip (the answer sounds).
    void PlayClip(const std::string& clip) { PlayReading({&clip, 1}); }
};

}  // namespace speech
