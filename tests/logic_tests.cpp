// The plain functions behind the quiz: the random draw, problem making,
// reading a typed answer and the spoken clip names.
#include <gtest/gtest.h>

#include <cmath>

#include "quiz/NumberReader.h"
#include "quiz/Problems.h"
#include "speech/Composer.h"
#include "support/Doubles.h"

using namespace quiz;
using namespace testing_support;

namespace {

const float kTop = std::nextafter(1.0f, 0.0f);

TEST(Random, ValuesStayBelowOneAndDrawCoversTheRangeAndNoMore)
{
    EXPECT_EQ(SingleFromBits(0), 0.0f);
    EXPECT_LT(SingleFromBits(0xFFFFFFFFu), 1.0f);
    EXPECT_GT(SingleFromBits(0xFFFFFFFFu), 0.99999f);
    for (int limit : {9, 99, 999}) {
        SequenceRandom random({0.0f, kTop, 0.5f});
        EXPECT_EQ(std::vector({Draw(limit, random), Draw(limit, random), Draw(limit, random)}),
                  std::vector({1, limit, limit / 2 + 1}));
    }
}

TEST(DrawProblem, OrdersTheOperandsAndRedrawsBothUntilAQuotientIsWhole)
{
    const struct {
        const char* name;
        Op op;
        std::vector<int> draws;  // within 99
        int first, second;
    } rows[] = {
        {"addition_keeps_order", Op::Add, {3, 80}, 3, 80},
        {"multiplication_keeps_order", Op::Multiply, {3, 80}, 3, 80},
        {"subtraction_puts_larger_first", Op::Subtract, {3, 80}, 80, 3},
        {"division_puts_larger_first", Op::Divide, {4, 80}, 80, 4},
        {"division_redraws_both_until_even", Op::Divide, {7, 2, 9, 4, 12, 96}, 96, 12},
    };
    for (const auto& row : rows) {
        std::vector<float> values;
        for (int n : row.draws)
            values.push_back(ValueFor(n, 99));
        SequenceRandom random(values);
        const Operands pair = DrawProblem(99, row.op, random);
        EXPECT_EQ(std::pair(int(pair.first), int(pair.second)), std::pair(row.first, row.second)) << row.name;
        EXPECT_EQ(random.consumed, row.draws.size()) << row.name;
    }
}

TEST(ReadNumber, ReadsByTheRule)
{
    constexpr auto N = ReadStatus::Number, Nothing = ReadStatus::NothingReadable, Out = ReadStatus::OutOfRange;
    const std::string nines(400, '9');
    const struct {
        const char* name;
        const char* typed;
        double value;
        ReadStatus status;
    } rows[] = {
        {"whole", "12", 12, N}, {"fraction", "3.5", 3.5, N}, {"leading_point", ".5", 0.5, N},
        {"negative", "-3", -3, N}, {"plus", "+7", 7, N}, {"blanks_anywhere", " 1\n \t2\n", 12, N},
        {"carriage_return_stops", "1\r2", 1, N}, {"stops_at_letters", "12abc", 12, N},
        {"second_point_stops", "1.2.3", 1.2, N}, {"second_sign_stops", "1-2", 1, N},
        {"exponent", "25e-1", 2.5, N}, {"bare_exponent", "12e+", 12, N}, {"hex", "&hFF", 255, N},
        {"octal_stops_at_8", "&O78", 7, N}, {"empty", "", 0, Nothing}, {"sign_only", "-", 0, Nothing},
        {"double_sign", "--5", 0, Nothing}, {"malformed_utf8_before_digits", "\xC3" "12", 0, Nothing}, {"overflow", "1e999", 0, Out},
        {"underflow_is_zero", "1e-400", 0, N}, {"negative_underflow_is_zero", "-1e-400", 0, N},
        {"full_width", "\uFF11\uFF12", 12, N}, {"full_width_signs", "\uFF0D\uFF13\uFF0E\uFF15", -3.5, N},
        {"ideographic_space", "1\u30002", 12, N}, {"hundreds_of_digits", nines.c_str(), 0, Out},
    };
    for (const auto& row : rows) {
        const NumberReading reading = ReadNumber(row.typed);
        EXPECT_EQ(std::pair(reading.status, reading.value), std::pair(row.status, row.value)) << row.name;
    }
}

// An operand's five slots (.wav left off): each rule of the word forms, and
// each word that keeps its own clip, once.
TEST(ComposeOperand, EachWordTakesItsFormFromTheNextWordOfItsNumber)
{
    const std::pair<int, std::string> rows[] = {
        {1, "1 nul a nul a"}, {11, "1 nul a shi 1"}, {100, "1-falling bai a nul a"},
        {101, "1-falling bai-low 0 nul 1"}, {110, "1-falling bai-low 1 shi a"}, {111, "1-falling bai-low 1 shi 1"},
        {150, "1-falling bai-low 5-low shi a"}, {500, "5-rising bai a nul a"}, {505, "5-rising bai-low 0 nul 5"},
        {509, "5-rising bai-low 0 nul 9"}, {590, "5-rising bai-low 9-low shi a"}, {900, "9-rising bai a nul a"},
        {959, "9-rising bai-low 5-low shi 9"}, {999, "9-rising bai-low 9-low shi 9"}, {53, "5-low nul a shi 3"},
        {90, "9-low nul a shi a"}, {320, "3 bai-low 2 shi a"}};
    for (const auto& [number, slots] : rows) {
        std::string said;
        for (const std::string& clip : speech::ComposeOperand(number, speech::kSecondFiller))
            said += " " + clip.substr(0, clip.size() - 4);
        EXPECT_EQ(said, " " + slots) << number;
    }
}

}  // namespace
