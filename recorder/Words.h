#pragma once
// The seventeen words a problem is spoken from, in the order the recorder
// lists them, each with the clip that holds it. The recorder window builds
// one row per entry; nothing here changes at run time.

#include <array>

namespace recorder {

struct WordSpec {
    const char* word;  // as the parent reads it
    const char* clip;  // file name in the voice folder
};

inline constexpr std::array<WordSpec, 17> kWords{{
    {"零", "0.wav"}, {"一", "1.wav"}, {"二", "2.wav"}, {"三", "3.wav"}, {"四", "4.wav"},
    {"五", "5.wav"}, {"六", "6.wav"}, {"七", "7.wav"}, {"八", "8.wav"}, {"九", "9.wav"},
    {"十", "shi.wav"}, {"百", "bai.wav"}, {"加", "+.wav"}, {"减", "-.wav"}, {"乘", "×.wav"},
    {"除以", "÷.wav"}, {"等于", "=.wav"},
}};

// The words go down this many rows, then on in a second column.
inline constexpr int kRowsPerColumn = 10;

}  // namespace recorder
