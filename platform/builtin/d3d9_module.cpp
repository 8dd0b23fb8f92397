// The built-in "d3d9.dll": the Direct3D object's factory and the performance
// markers. No profiling tool is ever attached: events only keep their nesting
// count, markers and regions do nothing, nothing repeats, the status is 0.
#include <atomic>

#include "platform/d3d9.h"
#include "platform/win32/kernel_modules.h"

namespace {
std::atomic<int> g_eventDepth{0};
}

// The number of earlier events still open.
int WINAPI D3DPERF_BeginEvent(D3DCOLOR, LPCWSTR) { return g_eventDepth++; }

// The number of events still open after this one ends; -1 when none was open.
int WINAPI D3DPERF_EndEvent() {
    int depth = g_eventDepth.load();
    while (depth > 0 && !g_eventDepth.compare_exchange_weak(depth, depth - 1)) {
    }
    return depth > 0 ? depth - 1 : -1;
}

void WINAPI D3DPERF_SetMarker(D3DCOLOR, LPCWSTR) {}
void WINAPI D3DPERF_SetRegion(D3DCOLOR, LPCWSTR) {}
BOOL WINAPI D3DPERF_QueryRepeatFrame() { return FALSE; }
void WINAPI D3DPERF_SetOptions(DWORD) {}
DWORD WINAPI D3DPERF_GetStatus() { return 0; }

namespace {

const bool g_registered = plat::RegisterBuiltinModule(
    "d3d9.dll", {{"Direct3DCreate9", plat::Export(&Direct3DCreate9)},
                 {"D3DPERF_BeginEvent", plat::Export(&D3DPERF_BeginEvent)},
                 {"D3DPERF_EndEvent", plat::Export(&D3DPERF_EndEvent)},
                 {"D3DPERF_SetMarker", plat::Export(&D3DPERF_SetMarker)},
                 {"D3DPERF_SetRegion", plat::Export(&D3DPERF_SetRegion)},
                 {"D3DPERF_QueryRepeatFrame", plat::Export(&D3DPERF_QueryRepeatFrame)},
                 {"D3DPERF_SetOptions", plat::Export(&D3DPERF_SetOptions)},
                 {"D3DPERF_GetStatus", plat::Export(&D3DPERF_GetStatus)}});

}  // namespace
