// Run-time loading of d3d9.dll and its entry points.
#include "common/kit/startup/kit_d3d9_library.h"

namespace {

typedef IDirect3D9*(WINAPI* LPDIRECT3DCREATE9)(UINT SDKVersion);
typedef int(WINAPI* LPD3DPERF_BEGINEVENT)(D3DCOLOR col, LPCWSTR wszName);
typedef int(WINAPI* LPD3DPERF_ENDEVENT)();
typedef void(WINAPI* LPD3DPERF_SETMARKER)(D3DCOLOR col, LPCWSTR wszName);
typedef void(WINAPI* LPD3DPERF_SETREGION)(D3DCOLOR col, LPCWSTR wszName);
typedef BOOL(WINAPI* LPD3DPERF_QUERYREPEATFRAME)();
typedef void(WINAPI* LPD3DPERF_SETOPTIONS)(DWORD dwOptions);
typedef DWORD(WINAPI* LPD3DPERF_GETSTATUS)();

struct D3D9Library {
    HMODULE hModule = nullptr;
    LPDIRECT3DCREATE9 pDirect3DCreate9 = nullptr;
    LPD3DPERF_BEGINEVENT pBeginEvent = nullptr;
    LPD3DPERF_ENDEVENT pEndEvent = nullptr;
    LPD3DPERF_SETMARKER pSetMarker = nullptr;
    LPD3DPERF_SETREGION pSetRegion = nullptr;
    LPD3DPERF_QUERYREPEATFRAME pQueryRepeatFrame = nullptr;
    LPD3DPERF_SETOPTIONS pSetOptions = nullptr;
    LPD3DPERF_GETSTATUS pGetStatus = nullptr;
};

D3D9Library g_D3D9;

template <typename FN>
FN Resolve(const char* strName) {
    return reinterpret_cast<FN>(GetProcAddress(g_D3D9.hModule, strName));
}

}  // namespace

bool KitLoadD3D9() {
    if (g_D3D9.hModule != nullptr) return true;

    WCHAR strPath[MAX_PATH];
    UINT nLen = GetSystemDirectoryW(strPath, MAX_PATH);
    if (nLen == 0 || nLen >= MAX_PATH) return false;
    if (FAILED(StringCchCatW(strPath, MAX_PATH, L"\\d3d9.dll"))) return false;
    g_D3D9.hModule = LoadLibraryW(strPath);
    if (g_D3D9.hModule == nullptr) return false;

    g_D3D9.pDirect3DCreate9 = Resolve<LPDIRECT3DCREATE9>("Direct3DCreate9");
    g_D3D9.pBeginEvent = Resolve<LPD3DPERF_BEGINEVENT>("D3DPERF_BeginEvent");
    g_D3D9.pEndEvent = Resolve<LPD3DPERF_ENDEVENT>("D3DPERF_EndEvent");
    g_D3D9.pSetMarker = Resolve<LPD3DPERF_SETMARKER>("D3DPERF_SetMarker");
    g_D3D9.pSetRegion = Resolve<LPD3DPERF_SETREGION>("D3DPERF_SetRegion");
    g_D3D9.pQueryRepeatFrame = Resolve<LPD3DPERF_QUERYREPEATFRAME>("D3DPERF_QueryRepeatFrame");
    g_D3D9.pSetOptions = Resolve<LPD3DPERF_SETOPTIONS>("D3DPERF_SetOptions");
    g_D3D9.pGetStatus = Resolve<LPD3DPERF_GETSTATUS>("D3DPERF_GetStatus");
    return true;
}

IDirect3D9* KitCreateD3D9(UINT SDKVersion) {
    if (KitLoadD3D9() && g_D3D9.pDirect3DCreate9 != nullptr) return g_D3D9.pDirect3DCreate9(SDKVersion);
    return nullptr;
}

int KitPerfBeginEvent(D3DCOLOR col, const WCHAR* wszName) {
    if (KitLoadD3D9() && g_D3D9.pBeginEvent != nullptr) return g_D3D9.pBeginEvent(col, wszName);
    return -1;
}

int KitPerfEndEvent() {
    if (KitLoadD3D9() && g_D3D9.pEndEvent != nullptr) return g_D3D9.pEndEvent();
    return -1;
}
