#pragma once
// Every text the quiz writes into the window. The punctuation in the
// feedback lines is plain ASCII on purpose.

#include <string>
#include <string_view>

#include "NumberText.h"

namespace quiz::texts {

inline constexpr std::string_view kPrompt = "小朋友请你算一算这道题";
inline constexpr std::string_view kWrong = "答错了,你再算一算!";
inline constexpr std::string_view kRight = "答对了!宝贝你真棒!";
inline constexpr std::string_view kFirstProblem = "这是第一题";

// "一共答对了 N 道题": the count gets one leading blank, and the literal
// " 道题" brings the blank after it.
inline std::string Tally(int count)
{
    return std::string("一共答对了") + " " + NumberText(count) + " 道题";
}

}  // namespace quiz::texts
