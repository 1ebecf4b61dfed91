#pragma once
// Making the next problem: both operands drawn in 1..RangeMax, reordered so
// that subtraction and division never start from the smaller number, and
// redrawn until a division comes out even.

#include <cstdint>

#include "QuizState.h"
#include "Random.h"

namespace quiz {

struct Operands {
    double first;
    std::int16_t second;
};

// One pass: draws two values and applies the ordering rule.
Operands DrawPair(int rangeMax, Op op, RandomSource& random);

// Whether a pair is accepted for op: only division is picky (whole quotient).
bool SuitsOperation(const Operands& pair, Op op);

// Repeats DrawPair until the pair suits op. Always ends, since a second
// operand of 1 or two equal operands divide evenly.
Operands DrawProblem(int rangeMax, Op op, RandomSource& random);

}  // namespace quiz
