// A font engine's device context and the built-in text-layout service's entry
// points, looked up through LoadLibraryW and GetProcAddress, for tests of the service.
#pragma once

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>

#include "platform/d3dx9/font_dc.h"
#include "platform/d3dx9/font_engine.h"
#include "platform/usp10.h"
#include "platform/win32.h"

namespace tumbral_test {

class LayoutServiceFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        D3DXFONT_DESCW desc{};
        desc.Height = 14;
        desc.Weight = FW_NORMAL;
        desc.MipLevels = 1;
        std::wcsncpy(desc.FaceName, L"Arial", LF_FACESIZE - 1);
        ASSERT_EQ(plat::FontEngine::Create(desc, &m_Engine), S_OK);
        m_hDC = plat::RegisterFontDC(m_Engine.get());

        m_hModule = LoadLibraryW(L"usp10.dll");
        ASSERT_NE(m_hModule, nullptr);
        Take(m_Analyse, "ScriptStringAnalyse");
        Take(m_CPtoX, "ScriptStringCPtoX");
        Take(m_XtoCP, "ScriptStringXtoCP");
        Take(m_Free, "ScriptStringFree");
        Take(m_LogAttr, "ScriptString_pLogAttr");
        Take(m_OutChars, "ScriptString_pcOutChars");
        Take(m_Digits, "ScriptApplyDigitSubstitution");
    }
    void TearDown() override {
        plat::UnregisterFontDC(m_hDC);
        if (m_hModule) FreeLibrary(m_hModule);
    }
    template <typename Fn>
    void Take(Fn& fn, const char* name) {
        fn = reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(m_hModule, name)));
        ASSERT_NE(fn, nullptr) << name;
    }

    std::unique_ptr<plat::FontEngine> m_Engine;
    HDC m_hDC = nullptr;
    HMODULE m_hModule = nullptr;
    PFN_ScriptStringAnalyse m_Analyse = nullptr;
    PFN_ScriptStringCPtoX m_CPtoX = nullptr;
    PFN_ScriptStringXtoCP m_XtoCP = nullptr;
    PFN_ScriptStringFree m_Free = nullptr;
    PFN_ScriptString_pLogAttr m_LogAttr = nullptr;
    PFN_ScriptString_pcOutChars m_OutChars = nullptr;
    PFN_ScriptApplyDigitSubstitution m_Digits = nullptr;
};

}  // namespace tumbral_test
