#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace quiz {

std::string NumberText(double wholeValue)
{
    char buffer[400];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer,
                                      std::trunc(wholeValue), std::chars_format::fixed);
    return error == std::errc{} ? std::string(buffer, end) : std::string();
}

std::string NumberText(int value)
{
    return std::to_string(value);
}

}  // namespace quiz
