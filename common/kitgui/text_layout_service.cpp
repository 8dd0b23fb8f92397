// Loading and unloading the text-layout library, and its stand-bys.
#include "common/kitgui/text_layout_service.h"

#include <cwchar>

namespace {

HRESULT WINAPI StandbyApplyDigitSubstitution(const SCRIPT_DIGITSUBSTITUTE*, SCRIPT_CONTROL*, SCRIPT_STATE*) {
    return E_NOTIMPL;
}
HRESULT WINAPI StandbyStringAnalyse(HDC, const void*, int, int, int, DWORD, int, SCRIPT_CONTROL*,
                                    SCRIPT_STATE*, const int*, SCRIPT_TABDEF*, const BYTE*,
                                    SCRIPT_STRING_ANALYSIS*) {
    return E_NOTIMPL;
}
HRESULT WINAPI StandbyStringCPtoX(SCRIPT_STRING_ANALYSIS, int, BOOL, int*) { return E_NOTIMPL; }
HRESULT WINAPI StandbyStringXtoCP(SCRIPT_STRING_ANALYSIS, int, int*, int*) { return E_NOTIMPL; }
HRESULT WINAPI StandbyStringFree(SCRIPT_STRING_ANALYSIS*) { return E_NOTIMPL; }
const SCRIPT_LOGATTR* WINAPI StandbyStringLogAttr(SCRIPT_STRING_ANALYSIS) { return nullptr; }
const int* WINAPI StandbyStringOutChars(SCRIPT_STRING_ANALYSIS) { return nullptr; }

constexpr KitTextLayoutService kStandbys = {
    StandbyApplyDigitSubstitution,
    StandbyStringAnalyse,
    StandbyStringCPtoX,
    StandbyStringXtoCP,
    StandbyStringFree,
    StandbyStringLogAttr,
    StandbyStringOutChars,
};

KitTextLayoutService g_Service = kStandbys;
HMODULE g_hLibrary = nullptr;

// The entry point, or the stand-by when the library lacks it.
template <typename Fn>
void Take(const char* strName, Fn* pfn, Fn pfnStandby) {
    FARPROC proc = GetProcAddress(g_hLibrary, strName);
    *pfn = proc ? reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(proc)) : pfnStandby;
}

}  // namespace

const KitTextLayoutService& KitTextLayout() { return g_Service; }

void KitLoadTextLayout() {
    if (g_hLibrary) return;
    WCHAR wszPath[MAX_PATH + 1];
    const UINT nDir = GetSystemDirectoryW(wszPath, MAX_PATH + 1);
    static const WCHAR kName[] = L"\\usp10.dll";
    const size_t nName = std::wcslen(kName);
    if (nDir == 0 || nDir + nName > MAX_PATH) return;
    std::wmemcpy(wszPath + nDir, kName, nName + 1);
    g_hLibrary = LoadLibraryW(wszPath);
    if (!g_hLibrary) return;

    Take("ScriptApplyDigitSubstitution", &g_Service.pfnApplyDigitSubstitution,
         kStandbys.pfnApplyDigitSubstitution);
    Take("ScriptStringAnalyse", &g_Service.pfnStringAnalyse, kStandbys.pfnStringAnalyse);
    Take("ScriptStringCPtoX", &g_Service.pfnStringCPtoX, kStandbys.pfnStringCPtoX);
    Take("ScriptStringXtoCP", &g_Service.pfnStringXtoCP, kStandbys.pfnStringXtoCP);
    Take("ScriptStringFree", &g_Service.pfnStringFree, kStandbys.pfnStringFree);
    Take("ScriptString_pLogAttr", &g_Service.pfnStringLogAttr, kStandbys.pfnStringLogAttr);
    Take("ScriptString_pcOutChars", &g_Service.pfnStringOutChars, kStandbys.pfnStringOutChars);
}

void KitUnloadTextLayout() {
    if (!g_hLibrary) return;
    FreeLibrary(g_hLibrary);
    g_hLibrary = nullptr;
    g_Service = kStandbys;
}
