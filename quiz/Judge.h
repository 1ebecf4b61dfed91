#pragma once
// Judging a typed answer against the problem on screen. The expected result
// is worked in double; division is true division, so after a switch to
// division with operands that do not divide, only the fractional quotient
// is right.

#include "NumberReader.h"
#include "QuizState.h"

namespace quiz {

double ExpectedResult(double first, double second, Op op);

// A reading that is out of range equals no result.
bool IsRightAnswer(const NumberReading& typed, double expected);

}  // namespace quiz
