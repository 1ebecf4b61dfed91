// The plain functions behind the quiz: the random draw, problem making,
// reading a typed answer, the spoken clip names, and the voice folder.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "quiz/NumberReader.h"
#include "quiz/Problems.h"
#include "speech/Composer.h"
#include "speech/VoiceFolder.h"
#include "support/Doubles.h"
#include "support/Wav.h"

using namespace quiz;
using namespace testing_support;

namespace {

auto RowName = [](const auto& info) { return std::string(info.param.name); };
const float kTop = std::nextafter(1.0f, 0.0f);

TEST(Random, ValuesStayBelowOneAndDrawStaysInRange)
{
    EXPECT_EQ(SingleFromBits(0), 0.0f);
    EXPECT_LT(SingleFromBits(0xFFFFFFFFu), 1.0f);
    EXPECT_GT(SingleFromBits(0xFFFFFFFFu), 0.99999f);
    for (int limit : {9, 99, 999}) {
        SequenceRandom random({0.0f, kTop, 0.5f});
        EXPECT_EQ(Draw(limit, random), 1);
        EXPECT_EQ(Draw(limit, random), limit);
        EXPECT_EQ(Draw(limit, random), limit / 2 + 1);
        EXPECT_EQ(random.consumed, 3u);
    }
}

struct PairRow {
    const char* name;
    Op op;
    std::vector<int> draws;  // within 99
    int first, second;
    std::size_t consumed;
};

class DrawProblemTable : public ::testing::TestWithParam<PairRow> {};

TEST_P(DrawProblemTable, OrdersAndRedrawsBothOperands)
{
    const PairRow& row = GetParam();
    std::vector<float> values;
    for (int n : row.draws)
        values.push_back(ValueFor(n, 99));
    SequenceRandom random(values);
    Operands pair = DrawProblem(99, row.op, random);
    EXPECT_EQ(pair.first, row.first);
    EXPECT_EQ(pair.second, row.second);
    EXPECT_EQ(random.consumed, row.consumed);
}

INSTANTIATE_TEST_SUITE_P(Rules, DrawProblemTable, ::testing::Values(
    PairRow{"addition_keeps_order", Op::Add, {3, 80}, 3, 80, 2},
    PairRow{"multiplication_keeps_order", Op::Multiply, {3, 80}, 3, 80, 2},
    PairRow{"subtraction_puts_larger_first", Op::Subtract, {3, 80}, 80, 3, 2},
    PairRow{"division_puts_larger_first", Op::Divide, {4, 80}, 80, 4, 2},
    PairRow{"division_redraws_both_until_even", Op::Divide, {7, 2, 9, 4, 12, 96}, 96, 12, 6}), RowName);

// Chi-square against expected weights, through the Wilson-Hilferty normal
// approximation; true when a fair generator would do this badly less than
// once in ten million runs.
bool Unfair(const std::vector<double>& counts, const std::vector<double>& weights)
{
    double total = 0, weightSum = 0, chi2 = 0;
    for (std::size_t i = 0; i < counts.size(); ++i)
        total += counts[i], weightSum += weights[i];
    int cells = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (weights[i] == 0) {
            if (counts[i] > 0)
                return true;
            continue;
        }
        double expected = weights[i] / weightSum * total;
        chi2 += (counts[i] - expected) * (counts[i] - expected) / expected, ++cells;
    }
    const double k = cells - 1, z = (std::cbrt(chi2 / k) - (1 - 2 / (9 * k))) / std::sqrt(2 / (9 * k));
    return z > 5.3;
}

TEST(Fairness, AcceptedPairsFollowTheDrawingLoop)
{
    for (Op op : {Op::Add, Op::Subtract, Op::Multiply, Op::Divide}) {
        ClockRandom random;
        random.Seed(static_cast<unsigned>(op));
        std::vector<double> counts(100), weights(100);
        for (int a = 1; a <= 9; ++a)
            for (int b = 1; b <= 9; ++b) {
                const bool ordered = op == Op::Subtract || op == Op::Divide;
                const bool shown = (!ordered || a >= b) && (op != Op::Divide || a % b == 0);
                weights[a * 10 + b] = !shown ? 0 : ordered && a > b ? 2 : 1;
            }
        for (int i = 0; i < 50000; ++i) {
            Operands pair = DrawProblem(9, op, random);
            ++counts[static_cast<std::size_t>(pair.first) * 10 + pair.second];
        }
        EXPECT_FALSE(Unfair(counts, weights)) << "operation " << int(op);
    }
    ClockRandom random;
    random.Seed(999);
    std::vector<double> counts(1000), weights(1000, 1);
    weights[0] = 0;
    for (int i = 0; i < 300000; ++i)
        ++counts.at(static_cast<std::size_t>(Draw(999, random)));
    EXPECT_FALSE(Unfair(counts, weights));
}

struct ReadRow {
    const char* name;
    const char* typed;
    double value;
    ReadStatus status;
};
class ReadTable : public ::testing::TestWithParam<ReadRow> {};

TEST_P(ReadTable, ReadsByTheRule)
{
    const NumberReading reading = ReadNumber(GetParam().typed);
    EXPECT_EQ(reading.status, GetParam().status);
    EXPECT_EQ(reading.value, GetParam().value);
}

constexpr auto N = ReadStatus::Number, Nothing = ReadStatus::NothingReadable, Out = ReadStatus::OutOfRange;
INSTANTIATE_TEST_SUITE_P(Answers, ReadTable, ::testing::Values(
    ReadRow{"whole", "12", 12, N}, ReadRow{"fraction", "3.5", 3.5, N}, ReadRow{"leading_point", ".5", 0.5, N},
    ReadRow{"negative", "-3", -3, N}, ReadRow{"plus", "+7", 7, N}, ReadRow{"blanks_anywhere", " 1 \t2\n", 12, N},
    ReadRow{"carriage_return_stops", "1\r2", 1, N}, ReadRow{"stops_at_letters", "12abc", 12, N},
    ReadRow{"second_point_stops", "1.2.3", 1.2, N}, ReadRow{"second_sign_stops", "1-2", 1, N},
    ReadRow{"exponent", "25e-1", 2.5, N}, ReadRow{"bare_exponent", "12e+", 12, N},
    ReadRow{"hex", "&hFF", 255, N}, ReadRow{"octal_stops_at_8", "&O78", 7, N},
    ReadRow{"empty", "", 0, Nothing}, ReadRow{"sign_only", "-", 0, Nothing}, ReadRow{"double_sign", "--5", 0, Nothing},
    ReadRow{"malformed_utf8", "\xC3", 0, Nothing}, ReadRow{"overflow", "1e999", 0, Out},
    ReadRow{"underflow_is_zero", "1e-400", 0, N}, ReadRow{"negative_underflow_is_zero", "-1e-400", 0, N},
    ReadRow{"full_width", "\uFF11\uFF12", 12, N}, ReadRow{"full_width_signs", "\uFF0D\uFF13\uFF0E\uFF15", -3.5, N},
    ReadRow{"ideographic_space", "1\u30002", 12, N}), RowName);

TEST(ReadNumber, HundredsOfDigitsAreOutOfRange)
{
    EXPECT_EQ(ReadNumber(std::string(400, '9')).status, Out);
    EXPECT_EQ(ReadNumber("&H" + std::string(300, 'F')).status, Out);
    EXPECT_EQ(ReadNumber("0." + std::string(400, '0') + "1").value, 0);
}

struct SpokenRow {
    const char* name;
    int first, second;
    const char* sign;
    speech::SpokenProblem clips;
};
class SpokenTable : public ::testing::TestWithParam<SpokenRow> {};

TEST_P(SpokenTable, TwelveClipsInOrder)
{
    const SpokenRow& row = GetParam();
    EXPECT_EQ(speech::ComposeProblem(row.first, row.second, row.sign), row.clips);
}

INSTANTIATE_TEST_SUITE_P(Problems, SpokenTable, ::testing::Values(
    SpokenRow{"units", 7, 3, "+", {"7.wav", "nul.wav", "nul.wav", "nul.wav", "nul.wav", "+.wav",
                                   "3.wav", "nul.wav", "a.wav", "nul.wav", "a.wav", "=.wav"}},
    SpokenRow{"tens", 25, 10, "-", {"2.wav", "nul.wav", "nul.wav", "shi.wav", "5.wav", "-.wav",
                                    "1.wav", "nul.wav", "a.wav", "shi.wav", "a.wav", "=.wav"}},
    SpokenRow{"hundreds_with_zero", 305, 110, "×", {"3.wav", "bai.wav", "0.wav", "nul.wav", "5.wav", "×.wav",
                                                    "1.wav", "bai.wav", "1.wav", "shi.wav", "a.wav", "=.wav"}},
    SpokenRow{"round_hundreds", 300, 999, "÷", {"3.wav", "bai.wav", "nul.wav", "nul.wav", "nul.wav", "÷.wav",
                                                "9.wav", "bai.wav", "9.wav", "shi.wav", "9.wav", "=.wav"}}), RowName);

TEST(VoiceFolder, WorkingThenUserThenInstalledNeverMixed)
{
    TempDir dir;
    for (const char* folder : {"work", "home/zorbanu/clips", "empty/zorbanu/clips", "share/zorbanu/clips"})
        std::filesystem::create_directories(dir / folder);
    setenv("XDG_DATA_HOME", (dir / "home").c_str(), 1);
    setenv("XDG_DATA_DIRS", ((dir / "empty").string() + ":" + (dir / "share").string()).c_str(), 1);
    EXPECT_EQ(speech::ChooseVoiceFolder(dir / "work"), std::nullopt);
    WriteFile(dir / "share/zorbanu/clips/7.wav", {});
    WriteFile(dir / "empty/zorbanu/clips/notes.txt", {});
    EXPECT_EQ(speech::ChooseVoiceFolder(dir / "work"), dir / "share/zorbanu/clips");
    WriteFile(dir / "home/zorbanu/clips/win.wav", {});
    EXPECT_EQ(speech::ChooseVoiceFolder(dir / "work"), dir / "home/zorbanu/clips");
    WriteFile(dir / "work/÷.wav", {});
    EXPECT_EQ(speech::ChooseVoiceFolder(dir / "work"), dir / "work");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", (dir / "nobody").c_str(), 1);
    EXPECT_EQ(speech::UserVoiceFolder(), dir / "nobody/.local/share/zorbanu/clips");
}

}  // namespace
