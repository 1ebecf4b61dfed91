#include "Composer.h"

#include <cmath>
#include <optional>
#include <utility>

namespace speech {
namespace {

constexpr std::string_view kSilent = kFirstFiller;

std::string Clip(std::string_view said)
{
    return std::string(said) + std::string(kClipSuffix);
}

bool IsWord(std::string_view clip)
{
    return clip != kFirstFiller && clip != kSecondFiller;
}

// The form a word takes before the next word of its number (none when it
// ends the number), by the first row of kWordForms that holds.
std::string FormOf(const std::string& word, const std::optional<std::string>& next)
{
    for (const WordForm& form : kWordForms)
        if (form.of == word && next && (form.before == Before::AnyWord || *next == kHundredClip))
            return std::string(form.clip);
    return word;
}

// Goes from the number's last word to its first, each word's form chosen by
// the word after it as it is written (百, not its form).
SpokenOperand WithForms(SpokenOperand slots)
{
    std::optional<std::string> next;
    for (std::size_t i = slots.size(); i-- > 0;)
        if (IsWord(slots[i])) {
            std::string word = std::exchange(slots[i], FormOf(slots[i], next));
            next = std::move(word);
        }
    return slots;
}

}  // namespace

SpokenOperand ComposeOperand(int n, std::string_view filler)
{
    const std::string digits = std::to_string(n);
    const std::size_t length = digits.size();
    const int tens = (n % 100) / 10;
    const int units = n % 10;
    auto digit = [&](std::size_t i) { return Clip(digits.substr(i, 1)); };

    return WithForms({
        digit(0),
        std::string(length == 3 ? kHundredClip : kSilent),
        length == 3 && tens + units != 0 ? digit(1) : std::string(filler),
        std::string(length > 1 && tens != 0 ? kTenClip : kSilent),
        length > 1 && units != 0 ? digit(length - 1) : std::string(filler),
    });
}

SpokenProblem ComposeProblem(double first, int second, std::string_view sign)
{
    const SpokenOperand a = ComposeOperand(static_cast<int>(std::trunc(first)), kFirstFiller);
    const SpokenOperand b = ComposeOperand(second, kSecondFiller);
    return {a[0], a[1], a[2], a[3], a[4], Clip(sign),
            b[0], b[1], b[2], b[3], b[4], std::string(kEqualsClip)};
}

}  // namespace speech
