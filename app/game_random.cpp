// PCG32: a 64-bit linear congruential step, output by a xorshift and a
// rotation chosen by the state's top bits.
#include "app/game_random.h"

namespace {

constexpr uint64_t kMultiplier = 6364136223846793005u;

}  // namespace

void CGameRandom::Seed(uint32_t nSeed) {
    m_nState = 0;
    m_nIncrement = (kStream << 1u) | 1u;
    Next();
    m_nState += nSeed;
    Next();
}

uint32_t CGameRandom::Next() {
    const uint64_t nOld = m_nState;
    m_nState = nOld * kMultiplier + m_nIncrement;
    const uint32_t nXorShifted = static_cast<uint32_t>(((nOld >> 18u) ^ nOld) >> 27u);
    const uint32_t nRot = static_cast<uint32_t>(nOld >> 59u);
    return (nXorShifted >> nRot) | (nXorShifted << ((32u - nRot) & 31u));
}

uint32_t CGameRandom::Below(uint32_t nBound) {
    if (nBound == 0) return 0;
    // 2^32 mod nBound: outputs below it are rejected.
    const uint32_t nThreshold = (0u - nBound) % nBound;
    for (;;) {
        const uint32_t r = Next();
        if (r >= nThreshold) return r % nBound;
    }
}
