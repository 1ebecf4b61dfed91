// The quiz's plain functions: the random draw, problem making, judging and
// the settings commands.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "quiz/Commands.h"
#include "quiz/Judge.h"
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

TEST(ClockRandom, StaysBelowOneAndCoversTheRange)
{
    ClockRandom random;
    random.Seed(12345);
    std::set<int> seen;
    for (int i = 0; i < 200000; ++i) {
        float r = random.NextSingle();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        seen.insert(Draw(9, random));
    }
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

// Draws many problems for every operation and range with a fixed seed.
class ProblemRules : public ::testing::TestWithParam<std::tuple<Op, int>> {
protected:
    std::vector<Operands> DrawMany(int count)
    {
        ClockRandom random;
        random.Seed(2026);
        std::vector<Operands> pairs;
        for (int i = 0; i < count; ++i)
            pairs.push_back(DrawProblem(std::get<1>(GetParam()), std::get<0>(GetParam()), random));
        return pairs;
    }
};

TEST_P(ProblemRules, OperandsInRangeAndSuitTheOperation)
{
    auto [op, range] = GetParam();
    bool sawEqual = false;
    for (const Operands& pair : DrawMany(20000)) {
        ASSERT_GE(pair.first, 1);
        ASSERT_LE(pair.first, range);
        ASSERT_GE(pair.second, 1);
        ASSERT_LE(pair.second, range);
        ASSERT_EQ(pair.first, std::floor(pair.first));
        if (op == Op::Subtract || op == Op::Divide) {
            ASSERT_GE(pair.first, pair.second);
        }
        if (op == Op::Divide) {
            ASSERT_EQ(std::fmod(pair.first, pair.second), 0.0);
        }
        sawEqual = sawEqual || pair.first == pair.second;
    }
    EXPECT_TRUE(sawEqual) << "equal operands are allowed and must turn up";
}

INSTANTIATE_TEST_SUITE_P(EveryOperationAndRange, ProblemRules,
                         ::testing::Combine(::testing::Values(Op::Add, Op::Subtract, Op::Multiply, Op::Divide),
                                            ::testing::Values(9, 99, 999)));

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

TEST(Judge, ExpectedResultPerOperation)
{
    EXPECT_EQ(ExpectedResult(7, 2, Op::Add), 9);
    EXPECT_EQ(ExpectedResult(3, 8, Op::Subtract), -5);
    EXPECT_EQ(ExpectedResult(999, 999, Op::Multiply), 998001);
    EXPECT_EQ(ExpectedResult(7, 2, Op::Divide), 3.5);
    EXPECT_EQ(ExpectedResult(1, 3, Op::Divide), 1.0 / 3.0);
}

TEST(Judge, ComparesExactlyAndOutOfRangeIsNeverRight)
{
    EXPECT_TRUE(IsRightAnswer({12, ReadStatus::Number}, 12));
    EXPECT_FALSE(IsRightAnswer({12.5, ReadStatus::Number}, 12));
    EXPECT_TRUE(IsRightAnswer({0, ReadStatus::NothingReadable}, 0));
    EXPECT_FALSE(IsRightAnswer({0, ReadStatus::OutOfRange}, 0));
}

TEST(MenuCommands, EachItemChangesExactlyOneSetting)
{
    const std::pair<std::optional<int>, std::optional<Op>> expected[] = {
        {9, {}}, {99, {}}, {999, {}}, {{}, Op::Add}, {{}, Op::Subtract}, {{}, Op::Multiply}, {{}, Op::Divide}};
    for (std::size_t i = 0; i < kMenuCommands.size(); ++i) {
        EXPECT_EQ(kMenuCommands[i].name, "mnu" + std::to_string(i + 1));
        EXPECT_EQ(kMenuCommands[i].rangeMax, expected[i].first);
        EXPECT_EQ(kMenuCommands[i].op, expected[i].second);
    }
    EXPECT_EQ(SignOf(Op::Multiply), "\u00D7");
    EXPECT_EQ(SignOf(Op::Divide), "\u00F7");
    EXPECT_EQ(SignOf(Op::Subtract), "-");
}

}  // namespace
