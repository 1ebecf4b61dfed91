// The quiz's plain functions: the random draw, problem making, judging and
// the settings commands.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "quiz/Problems.h"
#include "quiz/Random.h"
#include "support/Doubles.h"

using namespace quiz;
using testing_support::SequenceRandom;

namespace {

const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);

struct DrawRow {
    const char* name;
    int limit;
    float r;
    int expected;
};

class DrawTable : public ::testing::TestWithParam<DrawRow> {};

TEST_P(DrawTable, MapsOneValueToOneWholeNumber)
{
    SequenceRandom random({GetParam().r});
    EXPECT_EQ(Draw(GetParam().limit, random), GetParam().expected);
    EXPECT_EQ(random.consumed, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, DrawTable,
    ::testing::Values(DrawRow{"zero_within_ten", 9, 0.0f, 1}, DrawRow{"top_within_ten", 9, kLargestBelowOne, 9},
                      DrawRow{"zero_within_hundred", 99, 0.0f, 1},
                      DrawRow{"top_within_hundred", 99, kLargestBelowOne, 99},
                      DrawRow{"zero_within_thousand", 999, 0.0f, 1},
                      DrawRow{"top_within_thousand", 999, kLargestBelowOne, 999},
                      DrawRow{"half_within_ten", 9, 0.5f, 5}, DrawRow{"step_edge", 9, 1.0f / 9.0f, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProblemRules, DivisionWithinTenYieldsOnlyEvenPairs)
{
    ClockRandom random;
    random.Seed(7);
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 20000; ++i) {
        Operands pair = DrawProblem(9, Op::Divide, random);
        seen.insert({static_cast<int>(pair.first), pair.second});
    }
    for (auto expected : {std::pair{8, 4}, {9, 3}, {7, 7}, {5, 1}})
        EXPECT_TRUE(seen.count(expected)) << expected.first << " / " << expected.second;
    EXPECT_FALSE(seen.count({7, 2}));
    EXPECT_EQ(seen.size(), 23u);  // pairs a >= b in 1..9 with b dividing a
}

TEST(ProblemRules, RejectedPassDrawsBothOperandsAfresh)
{
    // 7 and 2 do not divide; the next pass draws 8 and 4.
    auto value = [](int n) { return (n - 0.5f) / 9.0f; };
    SequenceRandom random({value(7), value(2), value(4), value(8)});
    Operands pair = DrawProblem(9, Op::Divide, random);
    EXPECT_EQ(pair.first, 8);
    EXPECT_EQ(pair.second, 4);
    EXPECT_EQ(random.consumed, 4u);
}

}  // namespace
