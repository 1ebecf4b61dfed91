#include "NumberReader.h"

#include <charconv>
#include <cmath>
#include <string>

namespace quiz {
namespace {

constexpr char32_t kInvalid = 0xFFFD;

// Decodes one UTF-8 sequence at text[pos], advancing pos. Malformed input
// yields U+FFFD, which can never continue a number.
char32_t NextCodePoint(std::string_view text, std::size_t& pos)
{
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos++);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || pos + extra > text.size())
        return kInvalid;
    char32_t code = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((byte(pos) & 0xC0) != 0x80)
            return kInvalid;
        code = (code << 6) | (byte(pos++) & 0x3F);
    }
    return code;
}

// Full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space read as
// their ASCII counterparts.
char32_t FoldWidth(char32_t code)
{
    if (code >= 0xFF01 && code <= 0xFF5E)
        return code - 0xFEE0;
    if (code == 0x3000)
        return U' ';
    return code;
}

bool IsSkipped(char32_t code)
{
    return code == U' ' || code == U'\t' || code == U'\n';
}

// The typed text with skipped characters removed, cut at the first character
// that is not ASCII (none of those can be part of a number).
std::string CompactAscii(std::string_view text)
{
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t code = FoldWidth(NextCodePoint(text, pos));
        if (IsSkipped(code))
            continue;
        if (code >= 0x80 || code == 0)
            break;
        out.push_back(static_cast<char>(code));
    }
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base)
{
    int value = IsDigit(c) ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
              : 99;
    return value < base ? value : -1;
}

NumberReading Finish(double value, bool anyDigits)
{
    if (!anyDigits)
        return {0, ReadStatus::NothingReadable};
    if (!std::isfinite(value))
        return {0, ReadStatus::OutOfRange};
    return {value, ReadStatus::Number};
}

NumberReading ReadRadix(std::string_view digits, int base)
{
    double value = 0;
    std::size_t count = 0;
    for (; count < digits.size(); ++count) {
        int digit = DigitValue(digits[count], base);
        if (digit < 0)
            break;
        value = value * base + digit;
    }
    return Finish(value, count > 0);
}

std::size_t SkipSign(std::string_view s, std::size_t pos)
{
    return pos < s.size() && (s[pos] == '+' || s[pos] == '-') ? pos + 1 : pos;
}

std::size_t SkipDigits(std::string_view s, std::size_t pos)
{
    while (pos < s.size() && IsDigit(s[pos]))
        ++pos;
    return pos;
}

// Length of the longest prefix of s that is a decimal number:
// [sign] digits [. digits] [E [sign] digits], with at least one mantissa digit.
std::size_t DecimalPrefix(std::string_view s, bool& anyDigits)
{
    std::size_t pos = 0;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
        ++pos;
    std::size_t intEnd = SkipDigits(s, pos);
    std::size_t end = intEnd;
    if (end < s.size() && s[end] == '.')
        end = SkipDigits(s, end + 1);
    anyDigits = intEnd > pos || end > intEnd + 1;
    if (!anyDigits)
        return 0;
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        std::size_t exp = end + 1;
        if (exp < s.size() && (s[exp] == '+' || s[exp] == '-'))
            ++exp;
        std::size_t expEnd = SkipDigits(s, exp);
        if (expEnd > exp)
            end = expEnd;
    }
    return end;
}

// Whether a decimal too far from 1 for a double is too small rather than
// too large: its order of magnitude from the digits before the point (or
// the zeros after it) and the exponent. Such numbers lie hundreds of
// orders away, so an estimate off by one is still exact enough.
bool Underflows(std::string_view number)
{
    long before = 0, zerosAfter = 0;
    bool nonZero = false, afterPoint = false;
    std::size_t i = 0;
    for (; i < number.size() && (IsDigit(number[i]) || number[i] == '.'); ++i) {
        if (number[i] == '.') {
            afterPoint = true;
        } else if (nonZero || number[i] != '0') {
            before += afterPoint ? 0 : 1;
            nonZero = true;
        } else if (afterPoint) {
            ++zerosAfter;  // a zero after the point, before any other digit
        }
    }
    long exponent = 0;
    if (i < number.size()) {  // the exponent: E, an optional sign, digits
        bool negative = number[i + 1] == '-';
        for (std::size_t d = SkipSign(number, i + 1); d < number.size() && exponent < 100000; ++d)
            exponent = exponent * 10 + (number[d] - '0');
        exponent = negative ? -exponent : exponent;
    }
    return (before > 0 ? before : -zerosAfter) + exponent < 0;
}

NumberReading ReadDecimal(std::string_view s)
{
    bool anyDigits = false;
    std::size_t length = DecimalPrefix(s, anyDigits);
    if (!anyDigits)
        return Finish(0, false);
    std::string_view number = s.substr(0, length);
    bool negative = number.front() == '-';
    if (number.front() == '+' || negative)
        number.remove_prefix(1);
    // from_chars is locale-independent: the decimal point is always '.'.
    double value = 0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return Underflows(number) ? NumberReading{0, ReadStatus::Number} : NumberReading{0, ReadStatus::OutOfRange};
    return Finish(negative ? -value : value, true);
}

}  // namespace

NumberReading ReadNumber(std::string_view text)
{
    std::string compact = CompactAscii(text);
    std::string_view s = compact;
    if (s.size() >= 2 && s[0] == '&') {
        switch (s[1]) {
        case 'H':
        case 'h':
            return ReadRadix(s.substr(2), 16);
        case 'O':
        case 'o':
            return ReadRadix(s.substr(2), 8);
        }
    }
    return ReadDecimal(s);
}

}  // namespace quiz
