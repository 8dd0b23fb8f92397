// The game's random numbers: PCG32 (the XSH-RR output function on a 64-bit
// linear congruential state; M. E. O'Neill, "PCG: A Family of Simple Fast
// Space-Efficient Statistically Good Algorithms for Random Number
// Generation", pcg-random.org), seeded as its reference pcg32_srandom_r.
// Integer arithmetic only, so one seed gives the same numbers on every
// machine and compiler.
#pragma once

#include <cstdint>

class CGameRandom {
  public:
    // Stream selector of every game generator (the reference demo's 54).
    static constexpr uint64_t kStream = 54u;

    explicit CGameRandom(uint32_t nSeed = 0) { Seed(nSeed); }

    // pcg32_srandom_r(seed, kStream).
    void Seed(uint32_t nSeed);
    // The next 32-bit output (pcg32_random_r).
    uint32_t Next();
    // Uniform in [0, nBound), by rejecting the low outputs that would bias
    // the remainder (pcg32_boundedrand_r); 0 when nBound is 0.
    uint32_t Below(uint32_t nBound);

  private:
    uint64_t m_nState = 0;
    uint64_t m_nIncrement = 1;
};
