#pragma once
// Turns a problem into the twelve clip names that speak it in Mandarin: five
// slots for the first operand, the sign, five slots for the second operand
// and the equals sign. Numbers are read the Chinese way (3 bai 0 5 for 305,
// 1 shi for 10), each word in the form it takes before the next word of its
// number (kWordForms: 5-rising bai for 500). A slot with nothing to say
// still names a filler clip, so there are always twelve (kFirstFiller and
// kSecondFiller). Whether a voice has a form's clip is the player's to see
// (WordOfForm, in Clips.h).
//
// Plain function over plain data: it plays nothing.

#include <array>
#include <string>
#include <string_view>

#include "Clips.h"

namespace speech {

using SpokenProblem = std::array<std::string, 12>;
using SpokenOperand = std::array<std::string, 5>;

// n is a whole number 1..999; filler names the silent digit slots.
SpokenOperand ComposeOperand(int n, std::string_view filler);

// sign is the operator as shown on screen ("+", "-", "×", "÷").
SpokenProblem ComposeProblem(double first, int second, std::string_view sign);

}  // namespace speech
