#pragma once
// The random draw every problem uses. Draw(limit) maps one single-precision
// value r in [0, 1) to Int(limit * r + 1), worked in single precision, so
// each call consumes exactly one value and returns 1..limit.
//
// RandomSource is the seam that lets tests replay chosen values; the program
// uses ClockRandom, seeded from the time of day.

#include <cstdint>
#include <random>

namespace quiz {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void SeedRandom() = 0;
    // Returns a value in [0, 1); never 1.
    virtual float NextSingle() = 0;
};

// Maps 32 random bits to a value in [0, 1): the top 24 bits scaled by 2^-24,
// so every value is exactly representable and below 1
// (std::generate_canonical<float> may round up to 1.0 in libstdc++).
float SingleFromBits(std::uint32_t bits);

// Mersenne twister seeded from the clock, one SingleFromBits per value.
class ClockRandom final : public RandomSource {
public:
    void SeedRandom() override;
    float NextSingle() override;

private:
    std::mt19937 engine_;
};

int Draw(int limit, RandomSource& random);

}  // namespace quiz
