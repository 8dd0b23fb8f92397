// Puts the framework state's switches, overrides, counters and texts back to
// their start values between tests (the state lives for the whole process).
#pragma once

#include "tests/support/kit_test_app.h"

namespace kittest {

// One reset for every framework test: the lifecycle tests' full reset also
// serves the tests of single framework parts.
inline void ResetCoreState() { KitResetStateForTests(); }

}  // namespace kittest
