#pragma once
// The seven settings commands of the settings menu: three set the range,
// four set the operation (and with it the sign on screen). They never draw a
// new problem; a new range applies from the next Continue, a new operation
// at once.

#include <array>
#include <optional>
#include <string_view>

#include "QuizState.h"

namespace quiz {

std::string_view SignOf(Op op);

struct SettingsCommand {
    std::string_view caption;  // what the menu shows
    std::optional<int> rangeMax;
    std::optional<Op> op;
};

// In menu order: the ranges, then the operations.
inline constexpr std::array<SettingsCommand, 7> kSettingsCommands{{
    {"十以内", 9, std::nullopt},
    {"百以内", 99, std::nullopt},
    {"千以内", 999, std::nullopt},
    {"加法", std::nullopt, Op::Add},
    {"减法", std::nullopt, Op::Subtract},
    {"乘法", std::nullopt, Op::Multiply},
    {"除法", std::nullopt, Op::Divide},
}};

}  // namespace quiz
