// The twelve clip names that speak a problem.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "speech/Composer.h"

using speech::ComposeOperand;
using speech::ComposeProblem;
using speech::SpokenOperand;

namespace {

struct OperandRow {
    const char* name;
    int n;
    SpokenOperand first;  // as first operand; the second uses "a.wav" for F
};

class OperandTable : public ::testing::TestWithParam<OperandRow> {};

TEST_P(OperandTable, FiveSlots)
{
    const OperandRow& row = GetParam();
    EXPECT_EQ(ComposeOperand(row.n, "nul.wav"), row.first);
    SpokenOperand second = row.first;
    for (int slot : {2, 4})
        if (second[slot] == "nul.wav")
            second[slot] = "a.wav";
    EXPECT_EQ(ComposeOperand(row.n, "a.wav"), second);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedReadings, OperandTable,
    ::testing::Values(
        OperandRow{"seven", 7, {"7.wav", "nul.wav", "nul.wav", "nul.wav", "nul.wav"}},
        OperandRow{"ten", 10, {"1.wav", "nul.wav", "nul.wav", "shi.wav", "nul.wav"}},
        OperandRow{"twenty_five", 25, {"2.wav", "nul.wav", "nul.wav", "shi.wav", "5.wav"}},
        OperandRow{"hundred", 100, {"1.wav", "bai.wav", "nul.wav", "nul.wav", "nul.wav"}},
        OperandRow{"hundred_five", 105, {"1.wav", "bai.wav", "0.wav", "nul.wav", "5.wav"}},
        OperandRow{"hundred_ten", 110, {"1.wav", "bai.wav", "1.wav", "shi.wav", "nul.wav"}},
        OperandRow{"three_oh_five", 305, {"3.wav", "bai.wav", "0.wav", "nul.wav", "5.wav"}},
        OperandRow{"three_fifty", 350, {"3.wav", "bai.wav", "5.wav", "shi.wav", "nul.wav"}},
        OperandRow{"three_hundred", 300, {"3.wav", "bai.wav", "nul.wav", "nul.wav", "nul.wav"}},
        OperandRow{"nine_nine_nine", 999, {"9.wav", "bai.wav", "9.wav", "shi.wav", "9.wav"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ComposeProblem, TwentyFivePlusSeven)
{
    speech::SpokenProblem expected{"2.wav", "nul.wav", "nul.wav", "shi.wav", "5.wav", "+.wav",
                                   "7.wav", "nul.wav", "a.wav",   "nul.wav", "a.wav", "=.wav"};
    EXPECT_EQ(ComposeProblem(25, 7, "+"), expected);
}

TEST(ComposeProblem, SignClipFollowsTheCaption)
{
    EXPECT_EQ(ComposeProblem(8, 4, "\u00F7")[5], "\u00F7.wav");
    EXPECT_EQ(ComposeProblem(8, 4, "\u00D7")[5], "\u00D7.wav");
    EXPECT_EQ(ComposeProblem(8, 4, "-")[5], "-.wav");
}

// Reads an operand back from its five clips, the way a listener would.
int Listen(const SpokenOperand& slots)
{
    std::map<std::string, int> digit;
    for (int d = 0; d <= 9; ++d)
        digit[std::to_string(d) + ".wav"] = d;
    int value = 0;
    int pending = digit.at(slots[0]);
    if (slots[1] == "bai.wav") {
        value += pending * 100;
        pending = 0;
        if (digit.count(slots[2]))
            pending = digit.at(slots[2]);
    }
    if (slots[3] == "shi.wav") {
        value += pending * 10;
        pending = 0;
    }
    if (digit.count(slots[4]))
        pending = digit.at(slots[4]);
    return value + pending;
}

TEST(ComposeOperand, EveryOperandReadsBackAsItself)
{
    for (int n = 1; n <= 999; ++n) {
        for (const char* filler : {"nul.wav", "a.wav"}) {
            SpokenOperand slots = ComposeOperand(n, filler);
            ASSERT_EQ(Listen(slots), n) << n;
            const bool hasHundred = slots[1] == "bai.wav";
            ASSERT_EQ(hasHundred, n >= 100) << n;
            ASSERT_NE(slots[0], "0.wav") << n;
        }
    }
}

}  // namespace
