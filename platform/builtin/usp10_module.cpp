// The built-in "usp10.dll": the string-analysis entry points of the text-layout
// service, answered by StringAnalysis over the font engine behind an
// ID3DXFont::GetDC handle. Digit substitution keeps European digits.
#include <new>

#include "platform/builtin/usp10_module.h"
#include "platform/d3dx9/font_dc.h"
#include "platform/uniscribe/string_analysis.h"
#include "platform/win32/kernel_modules.h"

namespace {

using plat::StringAnalysis;

const StringAnalysis* AnalysisOf(SCRIPT_STRING_ANALYSIS ssa) {
    return static_cast<const StringAnalysis*>(ssa);
}

HRESULT WINAPI ScriptApplyDigitSubstitution(const SCRIPT_DIGITSUBSTITUTE*, SCRIPT_CONTROL* psc,
                                            SCRIPT_STATE* pss) {
    if (!psc || !pss) return E_INVALIDARG;
    *psc = SCRIPT_CONTROL{};
    *pss = SCRIPT_STATE{};
    return S_OK;
}

HRESULT WINAPI ScriptStringAnalyse(HDC hdc, const void* pString, int cString, int, int, DWORD, int,
                                   SCRIPT_CONTROL*, SCRIPT_STATE*, const int*, SCRIPT_TABDEF*, const BYTE*,
                                   SCRIPT_STRING_ANALYSIS* pssa) {
    if (!pssa) return E_INVALIDARG;
    *pssa = nullptr;
    if (!pString || cString <= 0) return E_INVALIDARG;
    // Shaping needs the font: without one the caller has to come back with a device context.
    plat::FontEngine* engine = plat::FontEngineFromDC(hdc);
    if (!engine) return E_PENDING;
    try {
        *pssa = new StringAnalysis(*engine, static_cast<const WCHAR*>(pString), cString);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT WINAPI ScriptStringCPtoX(SCRIPT_STRING_ANALYSIS ssa, int icp, BOOL fTrailing, int* pX) {
    if (!ssa || !pX) return E_INVALIDARG;
    return AnalysisOf(ssa)->CaretToX(icp, fTrailing != FALSE, pX);
}

HRESULT WINAPI ScriptStringXtoCP(SCRIPT_STRING_ANALYSIS ssa, int iX, int* piCh, int* piTrailing) {
    if (!ssa || !piCh || !piTrailing) return E_INVALIDARG;
    AnalysisOf(ssa)->XToCaret(iX, piCh, piTrailing);
    return S_OK;
}

HRESULT WINAPI ScriptStringFree(SCRIPT_STRING_ANALYSIS* pssa) {
    if (!pssa) return E_INVALIDARG;
    delete static_cast<StringAnalysis*>(*pssa);
    *pssa = nullptr;
    return S_OK;
}

const SCRIPT_LOGATTR* WINAPI ScriptString_pLogAttr(SCRIPT_STRING_ANALYSIS ssa) {
    return ssa ? AnalysisOf(ssa)->LogAttrs() : nullptr;
}

const int* WINAPI ScriptString_pcOutChars(SCRIPT_STRING_ANALYSIS ssa) {
    return ssa ? AnalysisOf(ssa)->OutChars() : nullptr;
}

const bool g_registered = plat::RegisterUsp10Module();

}  // namespace

bool plat::RegisterUsp10Module() {
    return RegisterBuiltinModule("usp10.dll",
                                 {{"ScriptApplyDigitSubstitution", Export(&ScriptApplyDigitSubstitution)},
                                  {"ScriptStringAnalyse", Export(&ScriptStringAnalyse)},
                                  {"ScriptStringCPtoX", Export(&ScriptStringCPtoX)},
                                  {"ScriptStringXtoCP", Export(&ScriptStringXtoCP)},
                                  {"ScriptStringFree", Export(&ScriptStringFree)},
                                  {"ScriptString_pLogAttr", Export(&ScriptString_pLogAttr)},
                                  {"ScriptString_pcOutChars", Export(&ScriptString_pcOutChars)}});
}
