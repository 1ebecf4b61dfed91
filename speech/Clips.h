#pragma once
// Every clip the program plays, named once: the seventeen words a problem is
// spoken from (with the Mandarin each one says), the two answer sounds, and
// the two fillers that stand in silent slots. The composer, the voice
// folder, the recorder, the answer sounds and the voice pack script (through
// the build's word list) all take their names from here.

#include <array>
#include <string_view>

namespace speech {

struct SpokenWord {
    std::string_view clip;  // file name in the voice folder
    std::string_view word;  // what it says
};

// In the order the recorder lists them and the pack is made.
inline constexpr std::array<SpokenWord, 17> kSpeechClips{{
    {"0.wav", "零"}, {"1.wav", "一"}, {"2.wav", "二"}, {"3.wav", "三"}, {"4.wav", "四"},
    {"5.wav", "五"}, {"6.wav", "六"}, {"7.wav", "七"}, {"8.wav", "八"}, {"9.wav", "九"},
    {"shi.wav", "十"}, {"bai.wav", "百"}, {"+.wav", "加"}, {"-.wav", "减"}, {"×.wav", "乘"},
    {"÷.wav", "除以"}, {"=.wav", "等于"},
}};

inline constexpr std::string_view kTenClip = "shi.wav";
inline constexpr std::string_view kHundredClip = "bai.wav";
inline constexpr std::string_view kEqualsClip = "=.wav";
inline constexpr std::string_view kClipSuffix = ".wav";

// Played after a right and after a wrong answer; a voice may lack them.
inline constexpr std::string_view kRightClip = "win.wav";
inline constexpr std::string_view kWrongClip = "won.wav";

// Silent slots of the first and of the second operand; no voice needs them.
inline constexpr std::string_view kFirstFiller = "nul.wav";
inline constexpr std::string_view kSecondFiller = "a.wav";

}  // namespace speech
