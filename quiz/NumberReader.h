#pragma once
// Reads a typed answer as a number, the way a forgiving calculator would:
// blanks, tabs and line feeds are skipped wherever they stand; then an
// optional sign, digits with at most one decimal point and an optional
// exponent (E, optional sign, digits) are read, stopping at the first
// character that cannot continue the number. "&H" and "&O" introduce
// hexadecimal and octal digits. Full-width forms typed with a Chinese input
// method ("１２", "＋", "　") read as their ASCII forms.
//
// Nothing readable gives 0. A number too large for a double is reported as
// OutOfRange rather than as infinity, so it equals no result; one too small
// for a double reads as 0. Never NaN.

#include <string_view>

namespace quiz {

enum class ReadStatus {
    Number,           // digits were read; value holds them
    NothingReadable,  // no digits: value is 0
    OutOfRange,       // digits were read but do not fit a double
};

struct NumberReading {
    double value = 0;
    ReadStatus status = ReadStatus::NothingReadable;
};

// text is UTF-8; malformed sequences simply stop the number.
NumberReading ReadNumber(std::string_view text);

}  // namespace quiz
