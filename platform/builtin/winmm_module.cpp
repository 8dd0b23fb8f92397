// The built-in "winmm.dll": timer resolution and the millisecond clock.
// The system clock here already has a fine resolution, so a requested period
// is only checked, not applied.
#include "platform/win32/kernel_modules.h"

namespace {

constexpr UINT kMaxPeriodMs = 1000000;

MMRESULT WINAPI timeBeginPeriod(UINT uPeriod) {
    return uPeriod >= 1 && uPeriod <= kMaxPeriodMs ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeEndPeriod(UINT uPeriod) { return timeBeginPeriod(uPeriod); }

DWORD WINAPI timeGetTime() { return GetTickCount(); }

const bool g_registered =
    plat::RegisterBuiltinModule("winmm.dll", {{"timeBeginPeriod", plat::Export(&timeBeginPeriod)},
                                              {"timeEndPeriod", plat::Export(&timeEndPeriod)},
                                              {"timeGetTime", plat::Export(&timeGetTime)}});

}  // namespace
