#include "Composer.h"

#include <cmath>

namespace speech {
namespace {

constexpr std::string_view kSilent = kFirstFiller;

std::string Clip(std::string_view said)
{
    return std::string(said) + std::string(kClipSuffix);
}

}  // namespace

SpokenOperand ComposeOperand(int n, std::string_view filler)
{
    const std::string digits = std::to_string(n);
    const std::size_t length = digits.size();
    const int tens = (n % 100) / 10;
    const int units = n % 10;
    auto digit = [&](std::size_t i) { return Clip(digits.substr(i, 1)); };

    return {
        digit(0),
        std::string(length == 3 ? kHundredClip : kSilent),
        length == 3 && tens + units != 0 ? digit(1) : std::string(filler),
        std::string(length > 1 && tens != 0 ? kTenClip : kSilent),
        length > 1 && units != 0 ? digit(length - 1) : std::string(filler),
    };
}

SpokenProblem ComposeProblem(double first, int second, std::string_view sign)
{
    const SpokenOperand a = ComposeOperand(static_cast<int>(std::trunc(first)), kFirstFiller);
    const SpokenOperand b = ComposeOperand(second, kSecondFiller);
    return {a[0], a[1], a[2], a[3], a[4], Clip(sign),
            b[0], b[1], b[2], b[3], b[4], std::string(kEqualsClip)};
}

}  // namespace speech
