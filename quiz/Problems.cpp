#include "Problems.h"

#include <cmath>
#include <utility>

namespace quiz {

Operands DrawPair(int rangeMax, Op op, RandomSource& random)
{
    Operands pair;
    pair.first = Draw(rangeMax, random);
    pair.second = static_cast<std::int16_t>(Draw(rangeMax, random));
    bool keepsLargerFirst = op == Op::Subtract || op == Op::Divide;
    if (keepsLargerFirst && pair.first < pair.second) {
        double smaller = pair.first;
        pair.first = pair.second;
        pair.second = static_cast<std::int16_t>(smaller);
    }
    return pair;
}

bool SuitsOperation(const Operands& pair, Op op)
{
    if (op != Op::Divide)
        return true;
    double quotient = pair.first / pair.second;
    return quotient == std::floor(quotient);
}

Operands DrawProblem(int rangeMax, Op op, RandomSource& random)
{
    for (;;) {
        Operands pair = DrawPair(rangeMax, op, random);
        if (SuitsOperation(pair, op))
            return pair;
    }
}

}  // namespace quiz
