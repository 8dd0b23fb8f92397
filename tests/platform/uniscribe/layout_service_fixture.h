// The built-in text-layout service with a font engine's device context, for
// tests of the service.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/layout_service.h"

namespace tumbral_test {

class LayoutServiceFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(m_Service.engine, nullptr);
        ASSERT_NE(m_Service.module, nullptr);
        ASSERT_TRUE(m_Service.Ready()) << "an entry point of usp10.dll is missing";
    }

    LayoutService m_Service;
    const HDC& m_hDC = m_Service.dc;
    const PFN_ScriptStringAnalyse& m_Analyse = m_Service.analyse;
    const PFN_ScriptStringCPtoX& m_CPtoX = m_Service.cpToX;
    const PFN_ScriptStringXtoCP& m_XtoCP = m_Service.xToCp;
    const PFN_ScriptStringFree& m_Free = m_Service.free;
    const PFN_ScriptString_pLogAttr& m_LogAttr = m_Service.logAttr;
    const PFN_ScriptString_pcOutChars& m_OutChars = m_Service.outChars;
    const PFN_ScriptApplyDigitSubstitution& m_Digits = m_Service.digits;
};

}  // namespace tumbral_test
