#pragma once
// The program's only sound output: PlayClip plays one WAV file, named by a
// bare file name in the current folder, and returns when it has played. A
// missing or unplayable file is silent and returns at once.

#include <string>

namespace speech {

class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    virtual void PlayClip(const std::string& fileName) = 0;
};

}  // namespace speech
