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
    std::string_view clip;    // file name in the voice folder
    std::string_view word;    // what it says
    std::string_view pinyin;  // how, with tone numbers: what the pack's voice reads and its tones are checked by
    // Quiet kept before and after the word, in milliseconds: a reading
    // pauses around a sign and before the equals, so that "25 + 7 =" groups
    // as 二十五 · 加 · 七 · 等于, while the digits of a number run together.
    int quietBeforeMs = 0;
    int quietAfterMs = 0;
};

inline constexpr int kSignPauseMs = 150;

// In the order the recorder lists them and the pack is made.
inline constexpr std::array<SpokenWord, 17> kSpeechClips{{
    {"0.wav", "零", "ling2"}, {"1.wav", "一", "yi1"}, {"2.wav", "二", "er4"}, {"3.wav", "三", "san1"},
    {"4.wav", "四", "si4"}, {"5.wav", "五", "wu3"}, {"6.wav", "六", "liu4"}, {"7.wav", "七", "qi1"},
    {"8.wav", "八", "ba1"}, {"9.wav", "九", "jiu3"}, {"shi.wav", "十", "shi2"}, {"bai.wav", "百", "bai3"},
    {"+.wav", "加", "jia1", kSignPauseMs, kSignPauseMs}, {"-.wav", "减", "jian3", kSignPauseMs, kSignPauseMs},
    {"×.wav", "乘", "cheng2", kSignPauseMs, kSignPauseMs}, {"÷.wav", "除以", "chu2 yi3", kSignPauseMs, kSignPauseMs},
    {"=.wav", "等于", "deng3 yu2", kSignPauseMs, 0},
}};

// The forms a number word takes inside a number, where a Mandarin speaker
// changes its tone: 一 falls before 百 at the start of a number (yì bǎi),
// 五 and 九 rise before 百 (wú bǎi: two third tones in a row), and 五, 九
// and 百 before any other word of the same number are half thirds, low
// without the final rise. Each is an optional clip: a reading plays it in
// place of its word's own clip where the row's rule holds and the voice
// folder has it. The first row that holds for a word is the one taken; a
// word no row holds for, or that ends its number, keeps its own clip. (百
// follows only a number's first word, so 一 before 百 always starts it.)
enum class Before { Hundred, AnyWord };

struct WordForm {
    std::string_view clip;     // file name in the voice folder
    std::string_view of;       // the clip of the word it is a form of
    Before before;             // the next word of the same number that calls for it
    std::string_view word;     // what it says
    std::string_view pinyin;   // how, with the tone it is said in (a half third keeps 3)
    std::string_view example;  // a number it is said in, for whoever records it
};

inline constexpr std::array<WordForm, 6> kWordForms{{
    {"1-falling.wav", "1.wav", Before::Hundred, "一", "yi4", "一百"},
    {"5-rising.wav", "5.wav", Before::Hundred, "五", "wu2", "五百"},
    {"9-rising.wav", "9.wav", Before::Hundred, "九", "jiu2", "九百"},
    {"5-low.wav", "5.wav", Before::AnyWord, "五", "wu3", "五十"},
    {"9-low.wav", "9.wav", Before::AnyWord, "九", "jiu3", "九十"},
    {"bai-low.wav", "bai.wav", Before::AnyWord, "百", "bai3", "三百二十"},
}};

// The clip of the word a form is of ("5.wav" for "5-low.wav"); any other
// clip itself. A voice without the form's clip plays this one instead.
constexpr std::string_view WordOfForm(std::string_view clip)
{
    for (const WordForm& form : kWordForms)
        if (form.clip == clip)
            return form.of;
    return clip;
}

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
