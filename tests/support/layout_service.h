// A font engine's device context and the built-in text-layout service's entry
// points, looked up through LoadLibraryW and GetProcAddress, for the tests and
// the benchmark of the service. Header only and free of the test framework.
#pragma once

#include <memory>

#include "platform/d3dx9/font_dc.h"
#include "platform/d3dx9/font_engine.h"
#include "platform/usp10.h"
#include "platform/win32.h"
#include "tests/support/font_engine_setup.h"

namespace tumbral_test {

struct LayoutService {
    std::unique_ptr<plat::FontEngine> engine;
    HDC dc = nullptr;
    HMODULE module = nullptr;
    PFN_ScriptStringAnalyse analyse = nullptr;
    PFN_ScriptStringCPtoX cpToX = nullptr;
    PFN_ScriptStringXtoCP xToCp = nullptr;
    PFN_ScriptStringFree free = nullptr;
    PFN_ScriptString_pLogAttr logAttr = nullptr;
    PFN_ScriptString_pcOutChars outChars = nullptr;
    PFN_ScriptApplyDigitSubstitution digits = nullptr;

    // Arial at 14 pixels; what cannot be found stays null.
    LayoutService() {
        engine = MakeFontEngine(L"Arial", 14);
        if (!engine) return;
        dc = plat::RegisterFontDC(engine.get());
        module = LoadLibraryW(L"usp10.dll");
        if (!module) return;
        Take(analyse, "ScriptStringAnalyse");
        Take(cpToX, "ScriptStringCPtoX");
        Take(xToCp, "ScriptStringXtoCP");
        Take(free, "ScriptStringFree");
        Take(logAttr, "ScriptString_pLogAttr");
        Take(outChars, "ScriptString_pcOutChars");
        Take(digits, "ScriptApplyDigitSubstitution");
    }
    ~LayoutService() {
        if (dc) plat::UnregisterFontDC(dc);
        if (module) FreeLibrary(module);
    }
    LayoutService(const LayoutService&) = delete;
    LayoutService& operator=(const LayoutService&) = delete;

    bool Ready() const { return analyse && cpToX && xToCp && free && logAttr && outChars && digits; }

  private:
    template <typename Fn>
    void Take(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
    }
};

}  // namespace tumbral_test
