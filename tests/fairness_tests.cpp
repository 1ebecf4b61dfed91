// Chi-square checks that problems are fair: Draw is uniform, and the pairs
// that DrawProblem accepts follow exactly the distribution its drawing loop
// implies. Seeds are fixed, so a run never flakes; a case fails only when a
// correct generator would do worse less than once in a million runs.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "quiz/Problems.h"
#include "quiz/Random.h"

using namespace quiz;

namespace {

constexpr double kAlpha = 1e-6;

// Regularised upper incomplete gamma Q(s, x): the chi-square upper tail
// for dof = 2s. Series below s + 1, continued fraction above.
double UpperGamma(double s, double x)
{
    const double logPrefix = s * std::log(x) - x - std::lgamma(s);
    if (x < s + 1) {
        double term = 1 / s, sum = term;
        for (int n = 1; n < 10000 && term > sum * 1e-15; ++n)
            sum += term *= x / (s + n);
        return 1 - sum * std::exp(logPrefix);
    }
    double b = x + 1 - s, c = 1e300, d = 1 / b, h = d;
    for (int i = 1; i < 10000; ++i) {
        double an = -i * (i - s);
        b += 2;
        d = 1 / (an * d + b);
        c = b + an / c;
        h *= d * c;
        if (std::abs(d * c - 1) < 1e-15)
            break;
    }
    return std::exp(logPrefix) * h;
}

// p-value of observed counts against expected weights; neighbouring cells
// are merged until each expects at least 5.
double PValue(const std::vector<double>& observed, const std::vector<double>& weights)
{
    double total = 0, weightSum = 0;
    for (std::size_t i = 0; i < observed.size(); ++i)
        total += observed[i], weightSum += weights[i];
    double chi2 = 0, o = 0, e = 0;
    int cells = 0;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        o += observed[i];
        e += weights[i] / weightSum * total;
        if (e >= 5 || i + 1 == observed.size()) {
            if (e > 0)
                chi2 += (o - e) * (o - e) / e, ++cells;
            o = e = 0;
        }
    }
    return UpperGamma((cells - 1) / 2.0, chi2 / 2);
}

// How often the drawing loop yields (a, b): one way for a == b, two (either
// order) for a > b when the operation orders its operands, none for pairs
// it never shows.
double Weight(int a, int b, Op op)
{
    switch (op) {
    case Op::Add:
    case Op::Multiply:
        return 1;
    case Op::Subtract:
        return a > b ? 2 : a == b ? 1 : 0;
    case Op::Divide:
        return a % b != 0 ? 0 : a > b ? 2 : a == b ? 1 : 0;
    }
    return 0;
}

TEST(Fairness, ChiSquareTailMatchesKnownValues)
{
    EXPECT_NEAR(UpperGamma(0.5, 23.928 / 2), 1e-6, 1e-8);  // dof 1 at its 1e-6 point
    EXPECT_NEAR(UpperGamma(1, 2), std::exp(-2.0), 1e-12);    // dof 2: exp(-x/2)
    // Even dof 2k has the closed form exp(-x) * sum_{i<k} x^i / i!.
    double sum = 0, term = 1;
    for (int i = 0; i < 50; ++i)
        sum += term, term *= 50.0 / (i + 1);
    EXPECT_NEAR(UpperGamma(50, 50), std::exp(-50.0) * sum, 1e-12);
}

class DrawUniform : public ::testing::TestWithParam<int> {};

TEST_P(DrawUniform, EveryValueEquallyOften)
{
    const int limit = GetParam();
    ClockRandom random;
    random.Seed(limit);
    std::vector<double> counts(limit);
    for (int i = 0; i < 200 * limit; ++i)
        ++counts.at(Draw(limit, random) - 1);
    EXPECT_GT(PValue(counts, std::vector<double>(limit, 1)), kAlpha);
}

INSTANTIATE_TEST_SUITE_P(Ranges, DrawUniform, ::testing::Values(9, 99, 999));

// Counts accepted pairs as cells chosen by `cell`, against the exact weights.
class AcceptedPairs : public ::testing::TestWithParam<std::tuple<Op, int>> {
protected:
    double Check(int samples, int cellCount, const std::function<int(int, int)>& cell)
    {
        auto [op, range] = GetParam();
        std::vector<double> weights(cellCount), counts(cellCount);
        for (int a = 1; a <= range; ++a)
            for (int b = 1; b <= range; ++b)
                weights[cell(a, b)] += Weight(a, b, op);
        ClockRandom random;
        random.Seed(static_cast<unsigned>(range) * 10 + static_cast<unsigned>(op));
        for (int i = 0; i < samples; ++i) {
            Operands pair = DrawProblem(range, op, random);
            int a = static_cast<int>(pair.first), b = pair.second;
            EXPECT_TRUE(a >= 1 && a <= range && b >= 1 && b <= range && Weight(a, b, op) > 0)
                << a << ", " << b << " can never be shown";
            ++counts[cell(a, b)];
        }
        return PValue(counts, weights);
    }
};

TEST_P(AcceptedPairs, FollowTheDrawingLoop)
{
    const int range = std::get<1>(GetParam());
    if (range < 999) {
        EXPECT_GT(Check(60000, (range + 1) * (range + 1), [&](int a, int b) { return a * (range + 1) + b; }),
                  kAlpha);
    } else {  // too many pairs to count one by one: each operand's distribution
        EXPECT_GT(Check(100000, 1000, [](int a, int) { return a; }), kAlpha);
        EXPECT_GT(Check(100000, 1000, [](int, int b) { return b; }), kAlpha);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperationAndRange, AcceptedPairs,
                         ::testing::Combine(::testing::Values(Op::Add, Op::Subtract, Op::Multiply, Op::Divide),
                                            ::testing::Values(9, 99, 999)));

// The check has power: a slightly skewed source is caught.
class SkewedRandom final : public RandomSource {
public:
    void SeedRandom() override {}
    float NextSingle() override { return std::pow(inner_.NextSingle(), 1.05f); }

private:
    ClockRandom inner_;
};

TEST(Fairness, ASkewedSourceIsCaught)
{
    SkewedRandom random;
    std::vector<double> counts(9);
    for (int i = 0; i < 200000; ++i)
        ++counts.at(Draw(9, random) - 1);
    EXPECT_LT(PValue(counts, std::vector<double>(9, 1)), kAlpha);
}

}  // namespace
