// Memory tests in a child process: a call run under an address-space limit
// (so that running out of memory is exercised without exhausting the
// machine), and how far a call raises the address space at its peak.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win32types.h"

namespace tumbral_test {

// Address-space limits cannot be used under the address sanitizer, whose
// shadow memory needs an unlimited address space.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitized = true;
#else
inline constexpr bool kAddressSanitized = false;
#endif

// The address space this process uses now, in bytes (0 when unknown).
uint64_t AddressSpaceInUse();

struct ChildResult {
    bool exited = false;      // the child returned from the call (not ended by a signal or a hang)
    HRESULT hr = E_FAIL;      // what the call returned
    uint64_t peakGrowth = 0;  // the most the address space grew above its size before the call
};

// Forks; the child runs `prepare` (unlimited), takes up the free memory its
// heap holds, then limits its address space to what it uses plus `headroom`
// bytes (no limit when 0) and runs `call`.
// A child that does not answer within a minute is killed.
ChildResult RunInChild(uint64_t headroom, const std::function<void()>& prepare,
                       const std::function<HRESULT()>& call);

inline ChildResult RunInChild(uint64_t headroom, const std::function<HRESULT()>& call) {
    return RunInChild(
        headroom, [] {}, call);
}

}  // namespace tumbral_test
