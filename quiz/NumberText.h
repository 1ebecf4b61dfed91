#pragma once
// Text forms of the whole numbers the window shows: plain decimal digits with
// no sign, blank, decimal point or grouping ("7", "42", "999").

#include <string>

namespace quiz {

std::string NumberText(double wholeValue);
std::string NumberText(int value);

}  // namespace quiz
