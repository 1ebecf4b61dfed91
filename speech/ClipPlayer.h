#pragma once
// The program's only sound output. A reading is a run of clips, each named
// by a bare file name and played to its end, one after another, all from the
// one voice folder that is chosen as the reading starts. A word's form
// (kWordForms) that the folder lacks is said with the word's own clip; any
// other missing or unplayable clip is silent and costs no time.
//
// Playing never blocks: the player is told what comes after the sound, and
// calls it once the sound has ended, saying how. When and on which thread is
// each player's to say.

#include <functional>
#include <span>
#include <string>

namespace speech {

// How a sound ended: played to its end, cut short (its device was lost), or
// not heard at all (nothing to play, no device, a sound system that did not
// answer).
enum class SoundEnd { Played, Cut, NoSound };
using AfterSound = std::function<void(SoundEnd)>;

class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    virtual void PlayReading(std::span<const std::string> clips, AfterSound then) = 0;
    // A reading of one clip (the answer sounds).
    void PlayClip(const std::string& clip, AfterSound then) { PlayReading({&clip, 1}, std::move(then)); }
};

}  // namespace speech
