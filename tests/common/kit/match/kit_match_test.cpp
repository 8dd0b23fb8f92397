// Settings matching against catalogues built from a fake Direct3D object:
// the ideal record, the search with its filters and score, and the fields of
// the result chosen per rule, including rule values other than 0, 1 and 2.
#include <gtest/gtest.h>

#include "tests/common/devicecatalog/fake_direct3d.h"
#include "tests/common/kit/debug_capture.h"
#include "tests/common/kit/test_backend.h"
#include "common/devicecatalog/device_catalog.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/match/kit_match.h"
#include "common/kit/match/kit_match_bits.h"
#include "common/kit/match/kit_match_result.h"
#include "common/kit/state/kit_state.h"

namespace {

using cattest::FakeAdapter;
using cattest::FakeDeviceType;

const KitRule kOther = static_cast<KitRule>(7);  // neither ANY nor KEEP: nearest, but not "exactly 2"
const HWND kWindowed = reinterpret_cast<HWND>(0x100);
const HWND kFullScreen = reinterpret_cast<HWND>(0x200);

class KitMatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CKitCoreState& s = KitCore();
        m_savedD3D = s.Get(&CKitCoreState::m_pD3DObject);
        s.Set(&CKitCoreState::m_pD3DObject, &m_d3d);
        s.Set(&CKitCoreState::m_hWndWindowed, kWindowed);
        s.Set(&CKitCoreState::m_hWndFullScreen, kFullScreen);
        s.Set(&CKitCoreState::m_pfnAcceptDevice, nullptr);
    }
    void TearDown() override {
        CKitCoreState& s = KitCore();
        KitPrepareDeviceCatalog()->ClearAdapters();
        s.Set(&CKitCoreState::m_pD3DObject, m_savedD3D);
        s.Set(&CKitCoreState::m_hWndWindowed, nullptr);
        s.Set(&CKitCoreState::m_hWndFullScreen, nullptr);
    }

    // Rebuilds the framework's catalogue from the fake as it is now.
    void Populate() { ASSERT_GT(KitPrepareDeviceCatalog(true)->GetAdapters()->Length(), 0); }
    CKitCatalogCombo* Combo(D3DFORMAT af, D3DFORMAT bb, BOOL windowed, D3DDEVTYPE type = D3DDEVTYPE_HAL) {
        return KitPrepareDeviceCatalog()->GetDeviceSettingsCombo(0, type, af, bb, windowed);
    }
    static KitDeviceSetup FullScreenRequest(UINT width, UINT height) {
        KitDeviceSetup r{};
        r.PresentParams.BackBufferWidth = width;
        r.PresentParams.BackBufferHeight = height;
        return r;
    }

    cattest::FakeDirect3D m_d3d;

  private:
    IDirect3D9* m_savedD3D = nullptr;
};

TEST_F(KitMatchTest, WithoutRulesTheIdealIsTheDefaultAndTheResultA640x480Window) {
    Populate();
    KitDeviceSetup ideal = KitComposeIdealSettings(nullptr, nullptr);
    EXPECT_EQ(ideal.AdapterOrdinal, 0u);
    EXPECT_EQ(ideal.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(ideal.AdapterFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(ideal.BehaviorFlags, DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING));
    const D3DPRESENT_PARAMETERS& ipp = ideal.PresentParams;
    EXPECT_EQ(ipp.Windowed, 1);
    EXPECT_EQ(ipp.BackBufferWidth, 640u);
    EXPECT_EQ(ipp.BackBufferHeight, 480u);
    EXPECT_EQ(ipp.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(ipp.BackBufferCount, 2u);
    EXPECT_EQ(ipp.MultiSampleType, D3DMULTISAMPLE_NONE);
    EXPECT_EQ(ipp.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(ipp.AutoDepthStencilFormat, D3DFMT_D32);
    EXPECT_EQ(ipp.EnableAutoDepthStencil, 0);
    EXPECT_EQ(ipp.Flags, DWORD(D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL));
    EXPECT_EQ(ipp.FullScreen_RefreshRateInHz, 0u);
    EXPECT_EQ(ipp.PresentationInterval, UINT(D3DPRESENT_INTERVAL_DEFAULT));
    EXPECT_EQ(ipp.hDeviceWindow, nullptr);

    KitDeviceSetup out{};
    ASSERT_EQ(KitFindValidDeviceSettings(&out, nullptr, nullptr), S_OK);
    EXPECT_EQ(out.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(out.AdapterFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(out.PresentParams.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(out.PresentParams.Windowed, 1);
    EXPECT_EQ(out.PresentParams.BackBufferWidth, 640u);
    EXPECT_EQ(out.PresentParams.BackBufferHeight, 480u);
    EXPECT_EQ(out.PresentParams.FullScreen_RefreshRateInHz, 0u);
    EXPECT_EQ(out.PresentParams.AutoDepthStencilFormat, D3DFMT_D32);
    EXPECT_EQ(out.PresentParams.EnableAutoDepthStencil, 1);
    EXPECT_EQ(out.PresentParams.hDeviceWindow, kWindowed);

    // A 16-bit desktop: D16 for a window; full screen prefers X8R8G8B8 at the desktop size.
    m_d3d.adapters[0].desktop = {1024, 768, 60, D3DFMT_R5G6B5};
    EXPECT_EQ(KitComposeIdealSettings(nullptr, nullptr).PresentParams.AutoDepthStencilFormat, D3DFMT_D16);
    KitSettingsRules rules{};
    rules.ruleWindowed = KITRULE_KEEP;
    KitDeviceSetup request{};
    ideal = KitComposeIdealSettings(&request, &rules);
    EXPECT_EQ(ideal.AdapterFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(ideal.PresentParams.BackBufferWidth, 1024u);
    EXPECT_EQ(ideal.PresentParams.BackBufferHeight, 768u);
}

TEST_F(KitMatchTest, WindowedCombinationsOutsideTheDesktopFormatAreNeverChosen) {
    m_d3d.adapters[0].modes.push_back({640, 480, 60, D3DFMT_R5G6B5});
    Populate();
    ASSERT_NE(Combo(D3DFMT_R5G6B5, D3DFMT_R5G6B5, TRUE), nullptr);

    KitDeviceSetup request{};
    request.AdapterFormat = D3DFMT_R5G6B5;
    request.PresentParams.Windowed = 1;
    KitSettingsRules rules{};
    rules.ruleWindowed = KITRULE_KEEP;
    rules.ruleAdapterFormat = KITRULE_KEEP;
    KitDeviceSetup out{};
    out.AdapterOrdinal = 77;
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NOCOMPATIBLEDEVICES);
    EXPECT_EQ(out.AdapterOrdinal, 77u);  // untouched on failure

    request.PresentParams.Windowed = 0;
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.AdapterFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(out.PresentParams.Windowed, 0);
    EXPECT_EQ(out.PresentParams.hDeviceWindow, kFullScreen);
}

TEST_F(KitMatchTest, ScoreFavoursHalAndNearColourDepths) {
    FakeDeviceType sw;
    sw.type = D3DDEVTYPE_SW;
    m_d3d.adapters[0].devices.push_back(sw);
    Populate();
    KitDeviceSetup request{};
    request.DeviceType = D3DDEVTYPE_REF;
    KitSettingsRules rules{};
    rules.ruleDeviceType = KITRULE_NEAREST;
    KitDeviceSetup ideal = KitComposeIdealSettings(&request, &rules);
    D3DDISPLAYMODE desktop = m_d3d.adapters[0].desktop;

    CKitCatalogCombo* pHal = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE, D3DDEVTYPE_HAL);
    CKitCatalogCombo* pSw = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE, D3DDEVTYPE_SW);
    ASSERT_NE(pHal, nullptr);
    ASSERT_NE(pSw, nullptr);
    EXPECT_NEAR(KitScoreCombo(pHal, &ideal, &desktop) - KitScoreCombo(pSw, &ideal, &desktop), 0.1f, 1e-3f);

    // Back buffers against an X8R8G8B8 ideal: equal 1, other 8-bit 0.9, 5-bit 0.3, 2-bit 0.
    ideal = KitComposeIdealSettings(nullptr, nullptr);
    CKitCatalogCombo probe;
    probe.m_pAdapter = pHal->m_pAdapter;
    probe.m_pDevice = pHal->m_pDevice;
    probe.m_bWindowed = 1;
    probe.m_AdapterFormat = D3DFMT_X8R8G8B8;
    auto score = [&](D3DFORMAT bb) {
        probe.m_BackBufferFormat = bb;
        return KitScoreCombo(&probe, &ideal, &desktop);
    };
    float base = score(D3DFMT_R3G3B2);
    EXPECT_NEAR(score(D3DFMT_X1R5G5B5) - base, 0.3f, 1e-3f);
    EXPECT_NEAR(score(D3DFMT_A8R8G8B8) - base, 0.9f, 1e-3f);
    EXPECT_NEAR(score(D3DFMT_X8R8G8B8) - base, 1.1f, 1e-3f);  // equal, and equal to the adapter format
    // The adapter dominates: another ordinal loses 1000.
    probe.m_nOrdinal = 1;
    EXPECT_NEAR(score(D3DFMT_R3G3B2) - base, -1000.0f, 1e-2f);
}

TEST_F(KitMatchTest, MultisamplingFollowsTheRuleUnlessTheSwapEffectForbidsIt) {
    m_d3d.adapters[0].samples = {
        {D3DMULTISAMPLE_NONE, 1}, {D3DMULTISAMPLE_2_SAMPLES, 4}, {D3DMULTISAMPLE_6_SAMPLES, 2}};
    Populate();
    CKitCatalogCombo* pCombo = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE);
    KitDeviceSetup request{};
    request.PresentParams.MultiSampleType = D3DMULTISAMPLE_4_SAMPLES;
    request.PresentParams.MultiSampleQuality = 5;
    request.PresentParams.SwapEffect = D3DSWAPEFFECT_FLIP;
    KitSettingsRules rules{};
    for (KitRule rule : {KITRULE_KEEP, KITRULE_NEAREST, kOther}) {
        rules.ruleMultisample = rule;
        KitDeviceSetup out = KitSettingsFromCombo(pCombo, &request, &rules);
        EXPECT_EQ(out.PresentParams.MultiSampleType, D3DMULTISAMPLE_NONE) << rule;
        EXPECT_EQ(out.PresentParams.MultiSampleQuality, 0u) << rule;
    }

    request.PresentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    rules.ruleMultisample = KITRULE_NEAREST;  // 2 and 6 are equally near 4: the earlier wins
    KitDeviceSetup out = KitSettingsFromCombo(pCombo, &request, &rules);
    EXPECT_EQ(out.PresentParams.MultiSampleType, D3DMULTISAMPLE_2_SAMPLES);
    EXPECT_EQ(out.PresentParams.MultiSampleQuality, 3u);  // min(count - 1, requested)
    request.PresentParams.MultiSampleQuality = 1;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.MultiSampleQuality, 1u);
    rules.ruleMultisample = kOther;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.MultiSampleType,
              D3DMULTISAMPLE_NONE);
    rules.ruleMultisample = KITRULE_KEEP;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.MultiSampleType,
              D3DMULTISAMPLE_4_SAMPLES);

    // Quality levels run from 0 to count - 1: keeping quality 4 of 2 samples (count 4) is impossible.
    request.PresentParams.MultiSampleType = D3DMULTISAMPLE_2_SAMPLES;
    request.PresentParams.MultiSampleQuality = 3;
    EXPECT_TRUE(KitComboKeepsRequired(pCombo, &request, &rules));
    request.PresentParams.MultiSampleQuality = 4;
    EXPECT_FALSE(KitComboKeepsRequired(pCombo, &request, &rules));
}

TEST_F(KitMatchTest, BackBufferCountSwapEffectFlagsAndInterval) {
    Populate();
    CKitCatalogCombo* pCombo = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE);
    KitDeviceSetup request{};
    KitSettingsRules rules{};
    auto count = [&](KitRule rule, UINT requested) {
        rules.ruleBackBufferCount = rule;
        request.PresentParams.BackBufferCount = requested;
        return KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.BackBufferCount;
    };
    EXPECT_EQ(count(KITRULE_NEAREST, 0), 1u);
    EXPECT_EQ(count(KITRULE_NEAREST, 7), 3u);
    EXPECT_EQ(count(kOther, 7), 3u);
    EXPECT_EQ(count(KITRULE_ANY, 7), 2u);
    EXPECT_EQ(count(KITRULE_KEEP, 7), 7u);

    rules.ruleSwapEffect = kOther;
    request.PresentParams.SwapEffect = static_cast<D3DSWAPEFFECT>(9);
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.SwapEffect, D3DSWAPEFFECT_DISCARD);
    request.PresentParams.SwapEffect = D3DSWAPEFFECT_COPY;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.SwapEffect, D3DSWAPEFFECT_COPY);

    rules.rulePresentFlags = KITRULE_NEAREST;
    request.PresentParams.Flags = 0x1;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.Flags,
              DWORD(0x1 | D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL));
    rules.rulePresentFlags = KITRULE_KEEP;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.Flags, 0x1u);

    rules.rulePresentInterval = kOther;
    request.PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_THREE;  // not offered in a window
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.PresentationInterval,
              UINT(D3DPRESENT_INTERVAL_DEFAULT));
    request.PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).PresentParams.PresentationInterval,
              UINT(D3DPRESENT_INTERVAL_IMMEDIATE));
}

TEST_F(KitMatchTest, DepthFormatIsRankedByTheDepthAndStencilRules) {
    m_d3d.adapters[0].depthFormats = {D3DFMT_D16,   D3DFMT_D15S1,   D3DFMT_D24X8,
                                      D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
    m_d3d.adapters[0].modes.push_back({640, 480, 60, D3DFMT_R5G6B5});
    Populate();
    CKitCatalogCombo* pFive = Combo(D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE);
    CKitCatalogCombo* pEight = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE);
    ASSERT_NE(pFive, nullptr);
    ASSERT_NE(pEight, nullptr);
    ASSERT_EQ(pFive->m_DepthFormats.Length(), 6);
    KitDeviceSetup request{};
    KitSettingsRules rules{};
    // Both ANY: target 20 bits for a 5-bit back buffer; D16 and D24X8 tie at 4 and D16 comes first.
    EXPECT_EQ(KitSettingsFromCombo(pFive, &request, &rules).PresentParams.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(KitSettingsFromCombo(pEight, &request, &rules).PresentParams.AutoDepthStencilFormat,
              D3DFMT_D32);

    request.PresentParams.AutoDepthStencilFormat = D3DFMT_D24S8;
    rules.ruleDepthBits = KITRULE_NEAREST;
    rules.ruleStencilBits = kOther;
    EXPECT_EQ(KitSettingsFromCombo(pFive, &request, &rules).PresentParams.AutoDepthStencilFormat,
              D3DFMT_D24S8);
    rules.ruleStencilBits = KITRULE_ANY;  // the least stencil among 24-bit formats
    EXPECT_EQ(KitSettingsFromCombo(pFive, &request, &rules).PresentParams.AutoDepthStencilFormat,
              D3DFMT_D24X8);
    request.PresentParams.AutoDepthStencilFormat = D3DFMT_D15S1;
    rules.ruleDepthBits = KITRULE_ANY;
    rules.ruleStencilBits = KITRULE_KEEP;  // 1 stencil bit: only D15S1 avoids the penalty
    KitDeviceSetup out = KitSettingsFromCombo(pEight, &request, &rules);
    EXPECT_EQ(out.PresentParams.AutoDepthStencilFormat, D3DFMT_D15S1);
    EXPECT_EQ(out.PresentParams.EnableAutoDepthStencil, 1);

    // Kept depth or stencil bits filter combinations that list no such format.
    m_d3d.adapters[0].depthFormats = {D3DFMT_D16};
    Populate();
    rules = KitSettingsRules{};
    rules.ruleStencilBits = KITRULE_KEEP;
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NOCOMPATIBLEDEVICES);
    rules.ruleStencilBits = KITRULE_NEAREST;
    rules.ruleDepthBits = KITRULE_KEEP;
    request.PresentParams.AutoDepthStencilFormat = D3DFMT_D16_LOCKABLE;  // same depth bits as D16
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.PresentParams.AutoDepthStencilFormat, D3DFMT_D16);

    // No depth format at all: none, and no discard flag under ANY.
    m_d3d.adapters[0].depthFormats.clear();
    Populate();
    out = KitSettingsFromCombo(Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), nullptr, nullptr);
    EXPECT_EQ(out.PresentParams.AutoDepthStencilFormat, D3DFMT_UNKNOWN);
    EXPECT_EQ(out.PresentParams.EnableAutoDepthStencil, 0);
    EXPECT_EQ(out.PresentParams.Flags, 0u);
}

TEST_F(KitMatchTest, FullScreenResolutionAndRefreshRateComeFromTheAdaptersModes) {
    FakeAdapter& a = m_d3d.adapters[0];
    a.desktop = {800, 600, 60, D3DFMT_X8R8G8B8};
    a.modes = {{1024, 768, 60, D3DFMT_X8R8G8B8},
               {800, 600, 60, D3DFMT_X8R8G8B8},
               {800, 600, 85, D3DFMT_X8R8G8B8},
               {800, 600, 75, D3DFMT_X8R8G8B8}};
    Populate();
    KitDeviceSetup request = FullScreenRequest(1000, 700);
    KitSettingsRules rules{};
    rules.ruleWindowed = KITRULE_KEEP;
    rules.ruleResolution = KITRULE_NEAREST;
    KitDeviceSetup out{};
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.PresentParams.Windowed, 0);
    EXPECT_EQ(out.PresentParams.BackBufferWidth, 1024u);  // distance 92 against 300
    EXPECT_EQ(out.PresentParams.BackBufferHeight, 768u);
    EXPECT_EQ(out.PresentParams.FullScreen_RefreshRateInHz, 60u);

    rules.ruleResolution = kOther;  // not exactly "nearest": the desktop size is wanted
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.PresentParams.BackBufferWidth, 800u);

    // A kept size no mode has rejects full-screen and windowed combinations alike.
    rules.ruleWindowed = KITRULE_ANY;
    rules.ruleResolution = KITRULE_KEEP;
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NOCOMPATIBLEDEVICES);

    request = FullScreenRequest(800, 600);
    request.PresentParams.FullScreen_RefreshRateInHz = 72;
    rules.ruleWindowed = KITRULE_KEEP;
    rules.ruleRefreshRate = KITRULE_NEAREST;
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.PresentParams.FullScreen_RefreshRateInHz, 75u);
    rules.ruleRefreshRate = kOther;  // the desktop's rate
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.PresentParams.FullScreen_RefreshRateInHz, 60u);
    rules.ruleRefreshRate = KITRULE_KEEP;
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NOCOMPATIBLEDEVICES);
    request.PresentParams.FullScreen_RefreshRateInHz = 85;
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.PresentParams.FullScreen_RefreshRateInHz, 85u);

    D3DDISPLAYMODE wanted{5000, 5000, 0, D3DFMT_X8R8G8B8}, got{};
    CKitCatalogCombo* pWindowed = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE);
    EXPECT_EQ(KitNearestFullScreenResolution(pWindowed, wanted, &got), S_OK);
    EXPECT_EQ(got.Width, 5000u);
    CKitCatalogCombo probe;  // full screen in a format the adapter has no mode of
    probe.m_pAdapter = pWindowed->m_pAdapter;
    probe.m_AdapterFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(KitNearestFullScreenResolution(&probe, wanted, &got), E_FAIL);
    EXPECT_EQ(got.Width, 5000u);
}

TEST_F(KitMatchTest, VertexProcessingFallsBackWithoutHardwareTransform) {
    m_d3d.adapters[0].devices[0].devCaps = 0;
    Populate();
    CKitCatalogCombo* pCombo = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE);
    KitDeviceSetup request{};
    request.BehaviorFlags =
        D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE | D3DCREATE_MULTITHREADED;
    KitSettingsRules rules{};
    rules.ruleVertexProcessing = kOther;
    // A pure device needs hardware processing, so it is dropped with it; other bits stay.
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).BehaviorFlags,
              DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED));
    rules.ruleVertexProcessing = KITRULE_ANY;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).BehaviorFlags,
              DWORD(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    rules.ruleVertexProcessing = KITRULE_KEEP;
    KitDeviceSetup out{};
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NOCOMPATIBLEDEVICES);

    m_d3d.adapters[0].devices[0].devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    Populate();
    pCombo = Combo(D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE);
    rules.ruleVertexProcessing = KITRULE_NEAREST;
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).BehaviorFlags, request.BehaviorFlags);
    request.BehaviorFlags = D3DCREATE_MULTITHREADED;  // no processing asked: hardware is added
    EXPECT_EQ(KitSettingsFromCombo(pCombo, &request, &rules).BehaviorFlags,
              DWORD(D3DCREATE_MULTITHREADED | D3DCREATE_HARDWARE_VERTEXPROCESSING));
}

TEST_F(KitMatchTest, AdapterRuleKeepsOrApproachesTheRequestedOrdinal) {
    m_d3d.adapters = {FakeAdapter{}, FakeAdapter{}};
    Populate();
    KitDeviceSetup request{};
    request.AdapterOrdinal = 1;
    KitSettingsRules rules{};
    rules.ruleAdapter = KITRULE_NEAREST;
    KitDeviceSetup out{};
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.AdapterOrdinal, 1u);  // equal scores otherwise: adapter 0 would win as the earlier

    request.AdapterOrdinal = 5;
    for (KitRule rule : {KITRULE_NEAREST, kOther, static_cast<KitRule>(-1)}) {
        rules.ruleAdapter = rule;
        ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK) << rule;
        EXPECT_EQ(out.AdapterOrdinal, 0u);
    }
    rules.ruleAdapter = KITRULE_KEEP;
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NOCOMPATIBLEDEVICES);
}

TEST_F(KitMatchTest, BadInputIsRefusedWithResultCodes) {
    Populate();
    kittest::TestBackendScope backend;
    kittest::DebugCapture capture;
    backend->messageBoxAnswers = {IDNO, IDNO};
    KitSettingsRules rules{};
    rules.ruleWindowed = KITRULE_KEEP;
    KitDeviceSetup request{};
    EXPECT_EQ(KitFindValidDeviceSettings(nullptr, &request, &rules), E_INVALIDARG);
    EXPECT_NE(capture.Text().find("KitFindValidDeviceSettings"), std::string::npos);
    EXPECT_EQ(backend->messageBoxes.size(), 1u);

    // No request: fine when every rule is ANY, refused otherwise.
    KitDeviceSetup out{};
    out.AdapterOrdinal = 9;
    EXPECT_EQ(KitFindValidDeviceSettings(&out, nullptr, &rules), E_INVALIDARG);
    EXPECT_EQ(out.AdapterOrdinal, 9u);
    KitSettingsRules any{};
    EXPECT_EQ(KitFindValidDeviceSettings(&out, nullptr, &any), S_OK);

    KitCore().Set(&CKitCoreState::m_pD3DObject, nullptr);
    EXPECT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), KITERR_NODIRECT3D);
}

TEST(KitMatchFormatBits, TablesByFormat) {
    struct Row {
        D3DFORMAT format;
        UINT color, depth, stencil;
    };
    const Row rows[] = {
        {D3DFMT_R8G8B8, 8, 0, 0},        {D3DFMT_A8B8G8R8, 8, 0, 0},       {D3DFMT_X8B8G8R8, 0, 0, 0},
        {D3DFMT_R5G6B5, 5, 0, 0},        {D3DFMT_A1R5G5B5, 5, 0, 0},       {D3DFMT_X4R4G4B4, 4, 0, 0},
        {D3DFMT_A8R3G3B2, 2, 0, 0},      {D3DFMT_A2B10G10R10, 10, 0, 0},   {D3DFMT_A16B16G16R16, 16, 0, 0},
        {D3DFMT_D16_LOCKABLE, 0, 16, 0}, {D3DFMT_D32F_LOCKABLE, 0, 32, 0}, {D3DFMT_D15S1, 0, 15, 1},
        {D3DFMT_D24FS8, 0, 24, 8},       {D3DFMT_D24X4S4, 0, 24, 4},       {D3DFMT_D24X8, 0, 24, 0},
        {D3DFMT_D32_LOCKABLE, 0, 0, 0},  {D3DFMT_UNKNOWN, 0, 0, 0},        {D3DFMT_DXT1, 0, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(KitColorBitsOf(r.format), r.color) << r.format;
        EXPECT_EQ(KitDepthBitsOf(r.format), r.depth) << r.format;
        EXPECT_EQ(KitStencilBitsOf(r.format), r.stencil) << r.format;
    }
}

}  // namespace
