#include "Judge.h"

namespace quiz {

double ExpectedResult(double first, double second, Op op)
{
    switch (op) {
    case Op::Add:
        return first + second;
    case Op::Subtract:
        return first - second;
    case Op::Multiply:
        return first * second;
    case Op::Divide:
        return first / second;
    }
    return 0;  // unreachable: every Op is handled above
}

bool IsRightAnswer(const NumberReading& typed, double expected)
{
    switch (typed.status) {
    case ReadStatus::Number:
    case ReadStatus::NothingReadable:
        return typed.value == expected;
    case ReadStatus::OutOfRange:
        return false;
    }
    return false;
}

}  // namespace quiz
