#pragma once
// The quiz's whole state: the range, the tally of right answers, the
// operation and the two operands of the problem on screen. Plain data; it
// lives as long as the window and is never saved. The sign shown for OpCode
// is held by the window's sign label, not here.

#include <cstdint>

namespace quiz {

enum class Op : int { Add = 1, Subtract = 2, Multiply = 3, Divide = 4 };

struct QuizState {
    int RangeMax = 9;          // 9, 99 or 999
    int CorrectCount = 0;      // only ever grows
    Op OpCode = Op::Add;
    double FirstOperand = 1;   // always a whole value in 1..RangeMax
    std::int16_t SecondOperand = 1;
};

}  // namespace quiz
