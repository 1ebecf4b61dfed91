#include "Random.h"

#include <chrono>
#include <cmath>

namespace quiz {

void ClockRandom::SeedRandom()
{
    auto now = std::chrono::system_clock::now().time_since_epoch();
    auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    engine_.seed(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

float SingleFromBits(std::uint32_t bits)
{
    constexpr float kScale = 1.0f / 16777216.0f;  // 2^-24
    return static_cast<float>(bits >> 8) * kScale;
}

float ClockRandom::NextSingle()
{
    return SingleFromBits(engine_());
}

int Draw(int limit, RandomSource& random)
{
    // Product and sum are each rounded to single precision; the library is
    // built with -ffp-contract=off so they are never fused.
    float product = static_cast<float>(limit) * random.NextSingle();
    float sum = product + 1.0f;
    return static_cast<int>(std::floor(sum));
}

}  // namespace quiz
