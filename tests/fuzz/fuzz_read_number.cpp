// Fuzzes reading a typed answer: any bytes, as the answer box hands over its
// text (UTF-8). Beyond not crashing or leaking: the reading is finite, and 0
// unless digits were read.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "quiz/NumberReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const quiz::NumberReading reading = quiz::ReadNumber(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!std::isfinite(reading.value) || (reading.status != quiz::ReadStatus::Number && reading.value != 0))
        std::abort();
    return 0;
}
