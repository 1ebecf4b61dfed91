// Fairness of the random draw and of the problems made from it. Each test
// draws a large, seeded sample and runs a chi-square goodness-of-fit test
// against the exact distribution the draw rules imply; the seeds are fixed,
// so every run sees the same sample and the result never flickers.
//
// A test fails when the fit's p-value is below 1e-6, i.e. when a correct
// generator would produce a worse fit less than once in a million runs. The
// p-value is the chi-square upper tail Q(dof / 2, statistic / 2), computed
// below with the regularised upper incomplete gamma function (series below
// the mean, continued fraction above it). No normal or Wilson-Hilferty
// approximation is involved; the tail itself is checked against closed forms.
//
// The model treats each value NextSingle returns as uniform on [0, 1). The
// real values lie on a 2^-24 grid, and Draw then gives each of 1..limit
// either floor or ceil of 2^24 / limit of the grid points (checked by
// enumerating them for 9, 99 and 999), a relative unevenness below 1e-4 that
// no sample here is large enough to see.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quiz/Problems.h"
#include "quiz/QuizState.h"
#include "quiz/Random.h"

using namespace quiz;

namespace {

constexpr double kRejectBelow = 1e-6;   // p-value under which a fit fails
constexpr double kSmallestCell = 5.0;   // expected count a cell must reach

// ---------------------------------------------------------------------------
// The chi-square machinery.

// Q(s, x) = Gamma(s, x) / Gamma(s), for s > 0 and x >= 0.
double UpperGammaQ(double s, double x)
{
    if (x <= 0.0)
        return 1.0;
    const double logFront = s * std::log(x) - x - std::lgamma(s);
    if (x < s + 1.0) {
        // P(s, x) = x^s e^-x / Gamma(s) * sum_k x^k / (s (s+1) ... (s+k)).
        double term = 1.0 / s;
        double sum = term;
        for (int k = 1; k < 1000000; ++k) {
            term *= x / (s + k);
            sum += term;
            if (term < sum * 1e-17)
                break;
        }
        return std::max(0.0, 1.0 - sum * std::exp(logFront));
    }
    // Continued fraction for Q, evaluated with Lentz's method.
    constexpr double kTiny = 1e-300;
    double b = x + 1.0 - s;
    double c = 1.0 / kTiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < 1000000; ++i) {
        const double a = -i * (i - s);
        b += 2.0;
        d = a * d + b;
        if (std::fabs(d) < kTiny)
            d = kTiny;
        c = b + a / c;
        if (std::fabs(c) < kTiny)
            c = kTiny;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < 1e-16)
            break;
    }
    return std::exp(logFront) * h;
}

// Probability that a chi-square variable with dof degrees of freedom is at
// least statistic.
double ChiSquareTail(double statistic, int dof)
{
    return UpperGammaQ(0.5 * dof, 0.5 * statistic);
}

struct Fit {
    double statistic = 0.0;
    int dof = 0;
    double pValue = 1.0;
    int cells = 0;           // after merging the small ones
    long long outside = 0;   // samples where the expected share is zero

    bool Rejected() const { return pValue < kRejectBelow; }
};

// shares: the expected probability of each cell (summing to 1); counts: how
// many samples fell in each. Cells are merged with their neighbours, in the
// given order, until each expects at least kSmallestCell samples; a leftover
// tail joins the last full group. The grouping depends only on the shares,
// never on the counts. A sample in a cell whose share is zero cannot come
// from the expected law at all, so it fails the fit outright.
Fit ChiSquareFit(const std::vector<double>& shares, const std::vector<long long>& counts)
{
    Fit fit;
    long long total = 0;
    for (long long count : counts)
        total += count;

    std::vector<std::pair<double, long long>> groups;  // expected, observed
    double groupExpected = 0.0;
    long long groupObserved = 0;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        if (shares[i] <= 0.0) {
            fit.outside += counts[i];
            continue;
        }
        groupExpected += shares[i] * static_cast<double>(total);
        groupObserved += counts[i];
        if (groupExpected >= kSmallestCell) {
            groups.emplace_back(groupExpected, groupObserved);
            groupExpected = 0.0;
            groupObserved = 0;
        }
    }
    if (groupExpected > 0.0) {
        if (groups.empty()) {
            groups.emplace_back(groupExpected, groupObserved);
        } else {
            groups.back().first += groupExpected;
            groups.back().second += groupObserved;
        }
    }

    fit.cells = static_cast<int>(groups.size());
    fit.dof = fit.cells - 1;
    if (fit.outside > 0) {
        fit.statistic = std::numeric_limits<double>::infinity();
        fit.pValue = 0.0;
        return fit;
    }
    for (const auto& [expected, observed] : groups) {
        const double gap = static_cast<double>(observed) - expected;
        fit.statistic += gap * gap / expected;
    }
    fit.pValue = fit.dof > 0 ? ChiSquareTail(fit.statistic, fit.dof) : 1.0;
    return fit;
}

std::string Describe(const Fit& fit)
{
    std::ostringstream text;
    text << "chi2=" << std::fixed << std::setprecision(1) << fit.statistic << " dof=" << fit.dof
         << " p=" << std::scientific << std::setprecision(3) << fit.pValue << " cells=" << fit.cells;
    if (fit.outside > 0)
        text << " impossible_samples=" << fit.outside;
    return text.str();
}

void Report(const std::string& name, const Fit& fit)
{
    std::cout << "[ fairness ] " << name << ": " << Describe(fit) << std::endl;
    ::testing::Test::RecordProperty("chi_square", std::to_string(fit.statistic));
    ::testing::Test::RecordProperty("degrees_of_freedom", fit.dof);
    std::ostringstream p;
    p << std::scientific << std::setprecision(3) << fit.pValue;
    ::testing::Test::RecordProperty("p_value", p.str());
}

// ---------------------------------------------------------------------------
// Random sources for the tests, all seeded.

ClockRandom SeededClock(std::uint32_t seed)
{
    ClockRandom random;
    random.Seed(seed);
    return random;
}

// Passes every value through a distortion: the basis of the faulty draws
// that show the tests can tell a bad generator from a good one.
template <typename Distortion>
class DistortedRandom final : public RandomSource {
public:
    DistortedRandom(std::uint32_t seed, Distortion distortion) : distortion_(distortion) { inner_.Seed(seed); }
    void SeedRandom() override {}
    float NextSingle() override { return distortion_(inner_.NextSingle()); }

private:
    ClockRandom inner_;
    Distortion distortion_;
};

// Hands out the previous value again every period-th call: each value on its
// own stays uniform, but consecutive values are no longer independent.
class EchoingRandom final : public RandomSource {
public:
    EchoingRandom(std::uint32_t seed, int period) : period_(period) { inner_.Seed(seed); }
    void SeedRandom() override {}
    float NextSingle() override
    {
        if (++calls_ % period_ != 0)
            last_ = inner_.NextSingle();
        return last_;
    }

private:
    ClockRandom inner_;
    int period_;
    long long calls_ = 0;
    float last_ = 0.0f;
};

// ---------------------------------------------------------------------------
// The draw: Draw(limit) should hit each of 1..limit equally often.

// drawOnce() stands for Draw(limit, ...), so the faulty draws below can take
// its place.
template <typename DrawOnce>
Fit DrawFit(int limit, int samples, DrawOnce drawOnce)
{
    std::vector<double> shares(limit + 2, 1.0 / limit);
    shares[0] = 0.0;           // a draw of 0 or less
    shares[limit + 1] = 0.0;   // a draw above the limit
    std::vector<long long> counts(limit + 2, 0);
    for (int i = 0; i < samples; ++i)
        ++counts[std::clamp(drawOnce(), 0, limit + 1)];
    return ChiSquareFit(shares, counts);
}

struct DrawRow {
    const char* name;
    int limit;
    int samples;
    std::uint32_t seed;
};

class DrawIsUniform : public ::testing::TestWithParam<DrawRow> {};

TEST_P(DrawIsUniform, EveryValueEquallyLikely)
{
    const DrawRow& row = GetParam();
    ASSERT_GE(static_cast<double>(row.samples) / row.limit, 50.0) << "too few samples per value";
    ClockRandom random = SeededClock(row.seed);
    Fit fit = DrawFit(row.limit, row.samples, [&] { return Draw(row.limit, random); });
    Report(row.name, fit);
    EXPECT_EQ(fit.outside, 0) << "draws outside 1.." << row.limit;
    EXPECT_EQ(fit.dof, row.limit - 1);
    EXPECT_FALSE(fit.Rejected()) << Describe(fit);
}

INSTANTIATE_TEST_SUITE_P(EveryRange, DrawIsUniform,
                         ::testing::Values(DrawRow{"within_ten", 9, 1000000, 11},
                                           DrawRow{"within_hundred", 99, 1000000, 12},
                                           DrawRow{"within_thousand", 999, 2000000, 13}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The problems: the exact law of the pair DrawProblem hands out.

// Chance, up to a common factor, that one pass of DrawPair yields (a, b) and
// the pair is kept. The two draws are independent and uniform over 1..n; for
// subtraction and division the larger goes first, so a pair a > b arises
// from two orders of draws and a pair a == b from one; division keeps the
// pair only when b divides a. Since every pass starts afresh, the pair
// DrawProblem returns follows these weights, normalised over all pairs.
double PassWeight(Op op, int a, int b)
{
    switch (op) {
    case Op::Add:
    case Op::Multiply:
        return 1.0;
    case Op::Subtract:
        return a > b ? 2.0 : a == b ? 1.0 : 0.0;
    case Op::Divide:
        if (a < b || a % b != 0)
            return 0.0;
        return a > b ? 2.0 : 1.0;
    }
    return 0.0;
}

// How samples are grouped into cells.
enum class View {
    Pairs,     // each (a, b) its own cell
    First,     // a alone
    Second,    // b alone
    Blocks,    // (a, b) in square blocks of width x width values
    Quotient,  // a / b, whole part
};

struct Cells {
    View view;
    int n;
    int width = 1;

    int Blocks() const { return (n + width - 1) / width; }

    // One extra cell at the end takes anything out of range; its share is
    // zero, so a sample there fails the fit.
    int Count() const
    {
        switch (view) {
        case View::Pairs:
            return n * n + 1;
        case View::Blocks:
            return Blocks() * Blocks() + 1;
        case View::First:
        case View::Second:
        case View::Quotient:
            return n + 1;
        }
        return 1;
    }

    int Of(int a, int b) const
    {
        switch (view) {
        case View::Pairs:
            return (a - 1) * n + (b - 1);
        case View::First:
            return a - 1;
        case View::Second:
            return b - 1;
        case View::Blocks:
            return (a - 1) / width * Blocks() + (b - 1) / width;
        case View::Quotient:
            return std::min(a / b, n) - 1;
        }
        return Count() - 1;
    }

    int Of(const Operands& pair) const
    {
        const double first = pair.first;
        const int b = pair.second;
        if (first != std::floor(first) || first < 1 || first > n || b < 1 || b > n)
            return Count() - 1;
        return Of(static_cast<int>(first), b);
    }
};

// Exact expected share of each cell: the per-pair law summed over the pairs
// the cell holds, so unequal blocks and triangular corners come out right.
std::vector<double> ExpectedShares(Op op, const Cells& cells)
{
    std::vector<double> shares(cells.Count(), 0.0);
    double total = 0.0;
    for (int a = 1; a <= cells.n; ++a) {
        for (int b = 1; b <= cells.n; ++b) {
            const double weight = PassWeight(op, a, b);
            if (weight > 0.0) {
                shares[cells.Of(a, b)] += weight;
                total += weight;
            }
        }
    }
    for (double& share : shares)
        share /= total;
    return shares;
}

// Counts the samples per cell. A pair the rules never produce (out of range,
// or not dividing evenly for division) goes to the extra cell, whatever the
// view, so it fails the fit even when the view alone would not show it.
template <typename Sampler>
std::vector<long long> Tally(Op op, const Cells& cells, int samples, Sampler next)
{
    std::vector<long long> counts(cells.Count(), 0);
    for (int i = 0; i < samples; ++i) {
        const Operands pair = next();
        int cell = cells.Of(pair);
        if (cell != cells.Count() - 1 && PassWeight(op, static_cast<int>(pair.first), pair.second) <= 0.0)
            cell = cells.Count() - 1;
        ++counts[cell];
    }
    return counts;
}

template <typename Sampler>
Fit ProblemFit(Op op, const Cells& cells, int samples, Sampler next)
{
    return ChiSquareFit(ExpectedShares(op, cells), Tally(op, cells, samples, next));
}

struct LawRow {
    const char* name;
    Op op;
    int rangeMax;
    View view;
    int width;
    int samples;
    std::uint32_t seed;
};

class ProblemsAreFair : public ::testing::TestWithParam<LawRow> {};

TEST_P(ProblemsAreFair, PairsFollowTheDrawRules)
{
    const LawRow& row = GetParam();
    const Cells cells{row.view, row.rangeMax, row.width};
    ClockRandom random = SeededClock(row.seed);
    Fit fit = ProblemFit(row.op, cells, row.samples,
                         [&] { return DrawProblem(row.rangeMax, row.op, random); });
    Report(row.name, fit);
    EXPECT_EQ(fit.outside, 0) << "pairs the rules never allow";
    EXPECT_GE(fit.dof, 8);
    EXPECT_FALSE(fit.Rejected()) << Describe(fit);
}

// Within ten and a hundred every pair is its own cell (at least ~50 expected
// per cell within a hundred; within a thousand, ~14 for the rarest division
// pairs).
INSTANTIATE_TEST_SUITE_P(
    WithinTen, ProblemsAreFair,
    ::testing::Values(LawRow{"add_pairs", Op::Add, 9, View::Pairs, 1, 100000, 101},
                      LawRow{"subtract_pairs", Op::Subtract, 9, View::Pairs, 1, 100000, 102},
                      LawRow{"multiply_pairs", Op::Multiply, 9, View::Pairs, 1, 100000, 103},
                      LawRow{"divide_pairs", Op::Divide, 9, View::Pairs, 1, 100000, 104}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    WithinHundred, ProblemsAreFair,
    ::testing::Values(LawRow{"add_pairs", Op::Add, 99, View::Pairs, 1, 500000, 201},
                      LawRow{"subtract_pairs", Op::Subtract, 99, View::Pairs, 1, 500000, 202},
                      LawRow{"multiply_pairs", Op::Multiply, 99, View::Pairs, 1, 500000, 203},
                      LawRow{"divide_pairs", Op::Divide, 99, View::Pairs, 1, 200000, 204}),
    [](const auto& info) { return std::string(info.param.name); });

// Within a thousand there are a million pairs: each operand is tested value
// by value, and the pair in blocks of 20 x 20 (the last row and column of
// blocks are 19 wide). The dividing pairs, about seven thousand, are few
// enough to test one by one; the quotient and the divisor are tested on
// their own as well.
INSTANTIATE_TEST_SUITE_P(
    WithinThousand, ProblemsAreFair,
    ::testing::Values(LawRow{"add_first", Op::Add, 999, View::First, 1, 300000, 301},
                      LawRow{"add_second", Op::Add, 999, View::Second, 1, 300000, 302},
                      LawRow{"add_blocks", Op::Add, 999, View::Blocks, 20, 300000, 303},
                      LawRow{"subtract_first", Op::Subtract, 999, View::First, 1, 300000, 311},
                      LawRow{"subtract_second", Op::Subtract, 999, View::Second, 1, 300000, 312},
                      LawRow{"subtract_blocks", Op::Subtract, 999, View::Blocks, 20, 300000, 313},
                      LawRow{"multiply_first", Op::Multiply, 999, View::First, 1, 300000, 321},
                      LawRow{"multiply_second", Op::Multiply, 999, View::Second, 1, 300000, 322},
                      LawRow{"multiply_blocks", Op::Multiply, 999, View::Blocks, 20, 300000, 323},
                      LawRow{"divide_pairs", Op::Divide, 999, View::Pairs, 1, 200000, 331},
                      LawRow{"divide_quotients", Op::Divide, 999, View::Quotient, 1, 100000, 332},
                      LawRow{"divide_divisors", Op::Divide, 999, View::Second, 1, 100000, 333}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The law the tests compare against, checked by hand on small ranges.

TEST(ExpectedLaw, SubtractionWithinThreeByHand)
{
    // Nine equally likely passes: (1,1) (2,2) (3,3) once each, every a > b twice.
    const Cells pairs{View::Pairs, 3};
    std::vector<double> shares = ExpectedShares(Op::Subtract, pairs);
    EXPECT_DOUBLE_EQ(shares[pairs.Of(1, 1)], 1.0 / 9.0);
    EXPECT_DOUBLE_EQ(shares[pairs.Of(3, 1)], 2.0 / 9.0);
    EXPECT_DOUBLE_EQ(shares[pairs.Of(1, 3)], 0.0);
}

TEST(ExpectedLaw, DivisionWithinFourByHand)
{
    // Kept passes out of 16: (1,1) (2,2) (3,3) (4,4) once; (2,1) (3,1) (4,1)
    // (4,2) twice each: 12 in all.
    const Cells pairs{View::Pairs, 4};
    std::vector<double> shares = ExpectedShares(Op::Divide, pairs);
    EXPECT_DOUBLE_EQ(shares[pairs.Of(4, 4)], 1.0 / 12.0);
    EXPECT_DOUBLE_EQ(shares[pairs.Of(4, 2)], 2.0 / 12.0);
    EXPECT_DOUBLE_EQ(shares[pairs.Of(4, 3)], 0.0);
    const Cells quotients{View::Quotient, 4};
    std::vector<double> byQuotient = ExpectedShares(Op::Divide, quotients);
    EXPECT_DOUBLE_EQ(byQuotient[0], 4.0 / 12.0);  // a / b == 1
    EXPECT_DOUBLE_EQ(byQuotient[1], 4.0 / 12.0);  // (2,1) and (4,2)
    EXPECT_DOUBLE_EQ(byQuotient[2], 2.0 / 12.0);
    EXPECT_DOUBLE_EQ(byQuotient[3], 2.0 / 12.0);
}

TEST(ExpectedLaw, UnequalBlocksGetTheirExactShare)
{
    // Within 999, blocks of 20: the last block holds the 19 values 981..999.
    const Cells blocks{View::Blocks, 999, 20};
    ASSERT_EQ(blocks.Blocks(), 50);
    std::vector<double> shares = ExpectedShares(Op::Add, blocks);
    EXPECT_NEAR(shares[blocks.Of(1, 1)], 20.0 * 20.0 / (999.0 * 999.0), 1e-15);
    EXPECT_NEAR(shares[blocks.Of(999, 1)], 19.0 * 20.0 / (999.0 * 999.0), 1e-15);
    EXPECT_NEAR(shares[blocks.Of(999, 999)], 19.0 * 19.0 / (999.0 * 999.0), 1e-15);
}

// ---------------------------------------------------------------------------
// The chi-square tail against closed forms.

// For even dof = 2m: Q(m, y) = e^-y * sum_{i < m} y^i / i!.
double EvenDofTail(double statistic, int dof)
{
    const double y = 0.5 * statistic;
    double sum = 0.0;
    for (int i = 0; i < dof / 2; ++i)
        sum += std::exp(-y + i * std::log(y) - std::lgamma(i + 1.0));
    return sum;
}

TEST(ChiSquareTail, MatchesClosedForms)
{
    for (double x : {0.1, 1.0, 3.84, 10.0, 23.93, 40.0})
        EXPECT_NEAR(ChiSquareTail(x, 1), std::erfc(std::sqrt(0.5 * x)), 1e-12 + 1e-10 * std::erfc(std::sqrt(0.5 * x)))
            << "dof 1, x " << x;
    for (double x : {0.5, 2.0, 10.0, 27.63, 60.0})
        EXPECT_NEAR(ChiSquareTail(x, 2), std::exp(-0.5 * x), 1e-10 * std::exp(-0.5 * x)) << "dof 2, x " << x;
    for (int dof : {8, 80, 2500, 9800}) {
        const double spread = std::sqrt(2.0 * dof);
        for (double z : {-3.0, -1.0, 0.0, 1.0, 3.0, 4.75, 6.0}) {
            const double x = dof + z * spread;
            if (x <= 0.0)
                continue;
            const double exact = EvenDofTail(x, dof);
            EXPECT_NEAR(ChiSquareTail(x, dof), exact, 1e-8 * exact + 1e-14) << "dof " << dof << ", x " << x;
        }
    }
}

TEST(ChiSquareTail, OneInAMillionForOneDegreeIsNearTwentyFour)
{
    // The two-sided normal tail beyond 4.8916 is 1e-6, so chi-square with one
    // degree of freedom passes 1e-6 at 4.8916^2 = 23.928.
    EXPECT_GT(ChiSquareTail(23.90, 1), kRejectBelow);
    EXPECT_LT(ChiSquareTail(23.96, 1), kRejectBelow);
}

TEST(ChiSquareFit, MergesSmallCellsAndFlagsImpossibleOnes)
{
    // 100 samples. Cells expecting 2, 2 and 96 gather into one group, which
    // leaves nothing to test.
    Fit single = ChiSquareFit({0.02, 0.02, 0.96}, {2, 2, 96});
    EXPECT_EQ(single.cells, 1);
    EXPECT_EQ(single.dof, 0);

    // 3 and 3 make one group of 6; 44 and 50 stand alone.
    Fit merged = ChiSquareFit({0.03, 0.03, 0.44, 0.5}, {1, 5, 44, 50});
    EXPECT_EQ(merged.cells, 3);
    EXPECT_EQ(merged.dof, 2);
    EXPECT_DOUBLE_EQ(merged.statistic, 0.0);

    // A trailing cell expecting 2 joins the group before it, which then
    // expects 52 and sees 46 + 4.
    Fit tail = ChiSquareFit({0.48, 0.5, 0.02}, {50, 46, 4});
    EXPECT_EQ(tail.cells, 2);
    EXPECT_NEAR(tail.statistic, 2.0 * 2.0 / 48.0 + 2.0 * 2.0 / 52.0, 1e-12);
    EXPECT_NEAR(tail.pValue, std::erfc(std::sqrt(0.5 * tail.statistic)), 1e-12);

    Fit impossible = ChiSquareFit({0.5, 0.0, 0.5}, {50, 1, 49});
    EXPECT_EQ(impossible.outside, 1);
    EXPECT_TRUE(impossible.Rejected());
}

// ---------------------------------------------------------------------------
// Power: the same fit, at the same or smaller sample sizes, must reject
// generators with faults of the kind a slip in the draw or in the problem
// rules would make.

TEST(FaultyDrawIsRejected, ValuesNeverReachingTheTopTenth)
{
    auto belowNineTenths = [](float r) { return 0.9f * r; };
    DistortedRandom random(13, belowNineTenths);
    Fit fit = DrawFit(999, 200000, [&] { return Draw(999, random); });
    Report("values_below_nine_tenths", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);
}

TEST(FaultyDrawIsRejected, SlightlySkewedValues)
{
    // r^1.03 moves about one draw in a hundred from the upper values to the
    // lower ones: 1 comes up 6.6% too often, 9 comes up 2.7% too rarely.
    auto skewed = [](float r) { return std::pow(r, 1.03f); };
    DistortedRandom random(11, skewed);
    Fit fit = DrawFit(9, 100000, [&] { return Draw(9, random); });
    Report("values_skewed_by_one_percent", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);
}

TEST(FaultyDrawIsRejected, RoundingAndClampingInsteadOfTruncating)
{
    // Rounding limit * r to the nearest whole number and clamping it into
    // 1..limit gives 1 one and a half shares and the top value half a share.
    ClockRandom random = SeededClock(12);
    auto rounded = [&] {
        const float product = 99.0f * random.NextSingle();
        return std::clamp(static_cast<int>(std::lround(product)), 1, 99);
    };
    Fit fit = DrawFit(99, 200000, rounded);
    Report("rounding_and_clamping_within_hundred", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);
}

TEST(FaultyProblemsAreRejected, SecondOperandSometimesEchoesTheFirst)
{
    // Each operand alone stays uniform; only the pair shows the fault.
    const Cells pairs{View::Pairs, 9};
    EchoingRandom echoing(101, 25);
    Fit fit = ProblemFit(Op::Add, pairs, 100000, [&] { return DrawProblem(9, Op::Add, echoing); });
    Report("echoing_source_add_pairs", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);

    EchoingRandom again(101, 25);
    Fit firstOnly = ProblemFit(Op::Add, Cells{View::First, 9}, 100000, [&] { return DrawProblem(9, Op::Add, again); });
    Report("echoing_source_add_first_only", firstOnly);
    EXPECT_FALSE(firstOnly.Rejected()) << "the fault is in the pairing, not in either operand";
}

TEST(FaultyProblemsAreRejected, SubtractionDrawingTheSecondBelowTheFirst)
{
    // Drawing a, then b in 1..a, makes small first operands far too common.
    ClockRandom random = SeededClock(313);
    auto next = [&] {
        Operands pair;
        pair.first = Draw(999, random);
        pair.second = static_cast<std::int16_t>(Draw(static_cast<int>(pair.first), random));
        return pair;
    };
    Fit fit = ProblemFit(Op::Subtract, Cells{View::Blocks, 999, 20}, 300000, next);
    Report("subtract_second_below_first_blocks", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);
}

TEST(FaultyProblemsAreRejected, DivisionUniformOverEvenPairs)
{
    // Every dividing pair equally likely: equal operands come twice as often
    // as the real rules give them.
    std::vector<Operands> even;
    for (int a = 1; a <= 99; ++a)
        for (int b = 1; b <= a; ++b)
            if (a % b == 0)
                even.push_back(Operands{static_cast<double>(a), static_cast<std::int16_t>(b)});
    ClockRandom random = SeededClock(204);
    auto next = [&] { return even[Draw(static_cast<int>(even.size()), random) - 1]; };
    Fit fit = ProblemFit(Op::Divide, Cells{View::Pairs, 99}, 200000, next);
    Report("divide_uniform_over_even_pairs", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);
}

TEST(FaultyProblemsAreRejected, DivisionRedrawingOnlyTheDivisor)
{
    // Keeping the first operand and redrawing only the second until it
    // divides makes every quotient far less even than the real rules.
    ClockRandom random = SeededClock(332);
    auto next = [&] {
        Operands pair;
        pair.first = Draw(999, random);
        do {
            pair.second = static_cast<std::int16_t>(Draw(999, random));
        } while (static_cast<int>(pair.first) % pair.second != 0);
        return pair;
    };
    Fit fit = ProblemFit(Op::Divide, Cells{View::Quotient, 999}, 100000, next);
    Report("divide_redrawing_only_divisor_quotients", fit);
    EXPECT_TRUE(fit.Rejected()) << Describe(fit);
}

}  // namespace
