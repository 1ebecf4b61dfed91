// Fuzzes reading a typed answer: any bytes, as the answer box hands over its
// text (UTF-8). Beyond not crashing: the reading is finite, and 0 unless
// digits were read; a plain decimal reads exactly as strtod reads it.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quiz/NumberReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const quiz::NumberReading reading = quiz::ReadNumber(text);
    if (!std::isfinite(reading.value) || (reading.status != quiz::ReadStatus::Number && reading.value != 0))
        std::abort();
    // [sign] digits with at most one point, fewer than 400 characters.
    const std::size_t start = !text.empty() && (text[0] == '-' || text[0] == '+');
    const bool plainDecimal = text.size() < 400 && text.find_first_not_of("0123456789.", start) == std::string::npos &&
                              text.find_first_of("0123456789") != std::string::npos && text.find('.') == text.rfind('.');
    errno = 0;
    const double expected = std::strtod(text.c_str(), nullptr);
    if (plainDecimal && errno != ERANGE && reading.value != expected)
        std::abort();
    return 0;
}
