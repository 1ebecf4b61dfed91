#pragma once
// The seven settings commands of the popup menu: three set the range, four
// set the operation (and with it the sign on screen). They never draw a new
// problem; a new range applies from the next Continue, a new operation at
// once.

#include <array>
#include <optional>
#include <string_view>

#include "QuizState.h"

namespace quiz {

std::string_view SignOf(Op op);

struct MenuCommand {
    std::string_view name;     // mnu1..mnu7
    std::string_view caption;  // what the menu shows
    std::optional<int> rangeMax;
    std::optional<Op> op;
};

inline constexpr std::array<MenuCommand, 7> kMenuCommands{{
    {"mnu1", "十以内", 9, std::nullopt},
    {"mnu2", "百以内", 99, std::nullopt},
    {"mnu3", "千以内", 999, std::nullopt},
    {"mnu4", "加法", std::nullopt, Op::Add},
    {"mnu5", "减法", std::nullopt, Op::Subtract},
    {"mnu6", "乘法", std::nullopt, Op::Multiply},
    {"mnu7", "除法", std::nullopt, Op::Divide},
}};

}  // namespace quiz
