// Reading a typed answer as a number: one table per behaviour, each row
// named by what it shows.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "quiz/NumberReader.h"

using quiz::ReadNumber;
using quiz::ReadStatus;

namespace {

struct ReadRow {
    const char* name;
    const char* typed;
    double value;
    ReadStatus status;
};

void PrintTo(const ReadRow& row, std::ostream* os) { *os << row.name; }

class ReadTable : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ReadTable, ReadsAsExpected)
{
    const ReadRow& row = GetParam();
    quiz::NumberReading reading = ReadNumber(row.typed);
    EXPECT_EQ(reading.status, row.status) << "typed: " << row.typed;
    EXPECT_EQ(reading.value, row.value) << "typed: " << row.typed;
}

auto Name = [](const auto& info) { return std::string(info.param.name); };
constexpr auto N = ReadStatus::Number;
constexpr auto Nothing = ReadStatus::NothingReadable;
constexpr auto Out = ReadStatus::OutOfRange;

INSTANTIATE_TEST_SUITE_P(PlainNumbers, ReadTable, ::testing::Values(
    ReadRow{"whole", "12", 12, N},
    ReadRow{"trailing_point_zero", "12.0", 12, N},
    ReadRow{"leading_blank", " 12", 12, N},
    ReadRow{"fraction", "3.5", 3.5, N},
    ReadRow{"leading_point", ".5", 0.5, N},
    ReadRow{"trailing_point", "5.", 5, N},
    ReadRow{"negative", "-3", -3, N},
    ReadRow{"explicit_plus", "+7", 7, N},
    ReadRow{"leading_zeros", "007", 7, N},
    ReadRow{"big_product", "998001", 998001, N}), Name);

INSTANTIATE_TEST_SUITE_P(BlanksSkippedAnywhere, ReadTable, ::testing::Values(
    ReadRow{"blank_inside", "1 2", 12, N},
    ReadRow{"tab_inside", "1\t2", 12, N},
    ReadRow{"line_feed_inside", "1\n2", 12, N},
    ReadRow{"blank_after_sign", "- 3", -3, N},
    ReadRow{"blank_in_exponent", "1 e 2", 100, N},
    ReadRow{"carriage_return_stops", "1\r2", 1, N}), Name);

INSTANTIATE_TEST_SUITE_P(StopsAtFirstStrangeCharacter, ReadTable, ::testing::Values(
    ReadRow{"letters_after", "12abc", 12, N},
    ReadRow{"second_point", "1.2.3", 1.2, N},
    ReadRow{"second_sign", "1-2", 1, N},
    ReadRow{"comma", "1,000", 1, N},
    ReadRow{"chinese_after", "12个", 12, N},
    ReadRow{"double_sign", "--5", 0, Nothing}), Name);

INSTANTIATE_TEST_SUITE_P(Exponents, ReadTable, ::testing::Values(
    ReadRow{"upper", "1E3", 1000, N},
    ReadRow{"lower", "25e-1", 2.5, N},
    ReadRow{"signed", "1e+2", 100, N},
    ReadRow{"no_exponent_digits", "12e", 12, N},
    ReadRow{"sign_without_digits", "12e+", 12, N}), Name);

INSTANTIATE_TEST_SUITE_P(HexAndOctal, ReadTable, ::testing::Values(
    ReadRow{"hex_upper", "&HFF", 255, N},
    ReadRow{"hex_lower", "&hff", 255, N},
    ReadRow{"octal", "&O17", 15, N},
    ReadRow{"hex_stops_at_g", "&H1G", 1, N},
    ReadRow{"hex_without_digits", "&H", 0, Nothing},
    ReadRow{"octal_stops_at_eight", "&O78", 7, N}), Name);

INSTANTIATE_TEST_SUITE_P(NothingReadableIsZero, ReadTable, ::testing::Values(
    ReadRow{"empty", "", 0, Nothing},
    ReadRow{"letters", "abc", 0, Nothing},
    ReadRow{"sign_only", "-", 0, Nothing},
    ReadRow{"point_only", ".", 0, Nothing},
    ReadRow{"blanks_only", "   ", 0, Nothing},
    ReadRow{"emoji", "\xF0\x9F\x98\x80", 0, Nothing},
    ReadRow{"malformed_utf8", "\xC3", 0, Nothing}), Name);

// A number too large for a double must not end the program; it equals no
// result.
INSTANTIATE_TEST_SUITE_P(TooLarge, ReadTable, ::testing::Values(
    ReadRow{"huge_exponent", "1e999", 0, Out},
    ReadRow{"negative_huge_exponent", "-1e999", 0, Out},
    ReadRow{"tiny_exponent", "1e-999", 0, Out},
    ReadRow{"twenty_hex_digits_fit", "&HFFFFFFFFFFFFFFFFFFFF", 1208925819614629174706175.0, N}), Name);

// Typed with a Chinese input method in full-width mode.
INSTANTIATE_TEST_SUITE_P(FullWidth, ReadTable, ::testing::Values(
    ReadRow{"digits", "\uFF11\uFF12", 12, N},
    ReadRow{"minus", "\uFF0D\uFF13", -3, N},
    ReadRow{"plus", "\uFF0B\uFF17", 7, N},
    ReadRow{"point", "\uFF13\uFF0E\uFF15", 3.5, N},
    ReadRow{"ideographic_space", "\uFF11\u3000\uFF12", 12, N},
    ReadRow{"exponent", "\uFF11\uFF25\uFF12", 100, N},
    ReadRow{"mixed_widths", "1\uFF12", 12, N}), Name);

TEST(ReadNumber, HundredsOfDigitsAreOutOfRange)
{
    EXPECT_EQ(ReadNumber(std::string(400, '9')).status, ReadStatus::OutOfRange);
    EXPECT_EQ(ReadNumber("&H" + std::string(300, 'F')).status, ReadStatus::OutOfRange);
    EXPECT_EQ(ReadNumber(std::string(300, '9')).status, ReadStatus::Number);
}

TEST(ReadNumber, LongHostileTextEndsInTime)
{
    std::string text(10000, '1');
    text += "\x01\u200F\uD7FF";
    EXPECT_EQ(ReadNumber(text).status, ReadStatus::OutOfRange);
    EXPECT_EQ(ReadNumber("12" + std::string(10000, 'x')).value, 12);
}

}  // namespace
