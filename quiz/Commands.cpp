#include "Commands.h"

namespace quiz {

std::string_view SignOf(Op op)
{
    switch (op) {
    case Op::Add:
        return "+";
    case Op::Subtract:
        return "-";
    case Op::Multiply:
        return "×";
    case Op::Divide:
        return "÷";
    }
    return "+";  // unreachable: every Op is handled above
}

}  // namespace quiz
