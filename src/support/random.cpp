// The linear congruential generator: state × 22695477 + 1, result bits 16 to 30.
#include "support/random.h"

uint32_t randomState = 1;

namespace {
constexpr uint32_t randomMultiplier = 22695477u;
constexpr uint32_t randomIncrement = 1u;
}  // namespace

int32_t NextRandom()
{
    randomState = randomState * randomMultiplier + randomIncrement;
    return static_cast<int32_t>((randomState >> 16) & 0x7FFFu);
}

void SeedRandom(uint32_t seed)
{
    randomState = seed;
    NextRandom();
}
