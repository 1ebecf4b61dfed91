// Fuzzes reading a typed answer: any bytes, as the answer box hands over its
// text (UTF-8). Checked properties, beyond not crashing:
//   - the reading is never NaN or infinite, and is 0 unless digits were read;
//   - a plain decimal that fits a double reads exactly as strtod reads it;
//   - the same text typed in full-width forms reads the same.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "quiz/NumberReader.h"

namespace {

bool IsPlainDecimal(std::string_view text)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        ++pos;
    std::size_t digits = 0, points = 0;
    for (; pos < text.size(); ++pos) {
        if (text[pos] == '.' && points++ == 0)
            continue;
        if (text[pos] < '0' || text[pos] > '9')
            return false;
        ++digits;
    }
    return digits > 0 && text.size() < 400;
}

// Printable ASCII as its full-width form, the blank as the ideographic space.
std::string FullWidth(std::string_view text)
{
    std::string out;
    for (char c : text) {
        char32_t code = c == ' ' ? U'\u3000' : (c > ' ' && c < 0x7F) ? char32_t(c) + 0xFEE0 : char32_t(c);
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return out;
}

bool SameReading(const quiz::NumberReading& a, const quiz::NumberReading& b)
{
    return a.status == b.status && a.value == b.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const quiz::NumberReading reading = quiz::ReadNumber(text);

    if (!std::isfinite(reading.value))
        std::abort();
    if (reading.status != quiz::ReadStatus::Number && reading.value != 0)
        std::abort();

    if (IsPlainDecimal(text)) {
        const std::string copy(text);
        errno = 0;
        const double expected = std::strtod(copy.c_str(), nullptr);
        const bool fits = errno != ERANGE && std::isfinite(expected);
        if (fits && (reading.status != quiz::ReadStatus::Number || reading.value != expected))
            std::abort();
    }

    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii && !SameReading(reading, quiz::ReadNumber(FullWidth(text))))
        std::abort();
    return 0;
}
