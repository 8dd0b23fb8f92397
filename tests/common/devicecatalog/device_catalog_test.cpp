// The device catalogue against a fake Direct3D object: modes and their
// limits, labels, which device types and combinations are kept, what each
// combination offers, lookups and the framework's catalogue.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/devicecatalog/fake_direct3d.h"
#include "common/devicecatalog/device_catalog.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_state.h"

namespace {

using cattest::FakeAdapter;
using cattest::FakeDeviceType;
using cattest::FakeDirect3D;

class DeviceCatalogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CKitCoreState& s = KitCore();
        m_savedD3D = s.Get(&CKitCoreState::m_pD3DObject);
        m_savedFocus = s.Get(&CKitCoreState::m_hWndFocus);
        s.Set(&CKitCoreState::m_pD3DObject, nullptr);
    }
    void TearDown() override {
        CKitCoreState& s = KitCore();
        if (CKitDeviceCatalog* pCatalog = s.Get(&CKitCoreState::m_pCatalog)) pCatalog->ClearAdapters();
        s.Set(&CKitCoreState::m_pD3DObject, m_savedD3D);
        s.Set(&CKitCoreState::m_hWndFocus, m_savedFocus);
        s.Set(&CKitCoreState::m_pfnAcceptDevice, nullptr);
        s.Set(&CKitCoreState::m_pAcceptDeviceContext, nullptr);
    }

    static std::wstring Label(CKitDeviceCatalog& c, int i) { return c.GetAdapters()->GetAt(i)->m_szLabel; }

    FakeDirect3D m_d3d;
    CKitDeviceCatalog m_catalog;

  private:
    IDirect3D9* m_savedD3D = nullptr;
    HWND m_savedFocus = nullptr;
};

TEST_F(DeviceCatalogTest, ModesAreFilteredBySizeAndSortedWithTheirFormatsListed) {
    FakeAdapter& a = m_d3d.adapters[0];
    a.modes = {{800, 600, 75, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_X8R8G8B8},
               {640, 480, 60, D3DFMT_X8R8G8B8}, {639, 480, 60, D3DFMT_X8R8G8B8},
               {640, 479, 60, D3DFMT_X8R8G8B8}, {320, 240, 60, D3DFMT_R5G6B5}};
    a.desktop = {800, 600, 60, D3DFMT_X8R8G8B8};
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);

    CKitCatalogAdapter* pAdapter = m_catalog.FindAdapter(0);
    ASSERT_NE(pAdapter, nullptr);
    ASSERT_EQ(pAdapter->m_Modes.Length(), 3);
    const UINT expected[3][2] = {{640, 60}, {800, 60}, {800, 75}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pAdapter->m_Modes.GetAt(i).Width, expected[i][0]);
        EXPECT_EQ(pAdapter->m_Modes.GetAt(i).RefreshRate, expected[i][1]);
    }
    // The 320 x 240 mode contributes nothing, not even its format.
    CKitCatalogDevice* pDevice = m_catalog.FindDevice(0, D3DDEVTYPE_HAL);
    ASSERT_NE(pDevice, nullptr);
    for (int i = 0; i < pDevice->m_Combos.Length(); ++i)
        EXPECT_EQ(pDevice->m_Combos.GetAt(i)->m_AdapterFormat, D3DFMT_X8R8G8B8);

    // Limits take effect at the next population.
    m_catalog.SetResolutionRange(700, 500, 800, 600);
    m_catalog.SetRefreshRange(61, 100);
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    pAdapter = m_catalog.FindAdapter(0);
    ASSERT_EQ(pAdapter->m_Modes.Length(), 1);
    EXPECT_EQ(pAdapter->m_Modes.GetAt(0).RefreshRate, 75u);
}

TEST_F(DeviceCatalogTest, AdapterWithOnlySmallModesGetsWindowedCombosOfItsDesktopFormat) {
    FakeAdapter& a = m_d3d.adapters[0];
    a.modes = {{320, 240, 60, D3DFMT_X8R8G8B8}, {512, 384, 60, D3DFMT_R5G6B5}};
    a.desktop = {512, 384, 60, D3DFMT_R5G6B5};
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);

    CKitCatalogAdapter* pAdapter = m_catalog.FindAdapter(0);
    ASSERT_NE(pAdapter, nullptr);
    EXPECT_EQ(pAdapter->m_Modes.Length(), 0);
    CKitCatalogDevice* pDevice = pAdapter->m_Devices.GetAt(0);
    ASSERT_GT(pDevice->m_Combos.Length(), 0);
    for (int i = 0; i < pDevice->m_Combos.Length(); ++i) {
        EXPECT_EQ(pDevice->m_Combos.GetAt(i)->m_bWindowed, 1);
        EXPECT_EQ(pDevice->m_Combos.GetAt(i)->m_AdapterFormat, D3DFMT_R5G6B5);
    }
}

TEST_F(DeviceCatalogTest, LabelsAreMadeUniqueWhenDescriptionsDifferOnlyInCase) {
    m_d3d.adapters = {FakeAdapter{}, FakeAdapter{}, FakeAdapter{}};
    m_d3d.adapters[0].description = "Card";
    m_d3d.adapters[1].description = "card";
    m_d3d.adapters[2].description = "Other";
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    ASSERT_EQ(m_catalog.GetAdapters()->Length(), 3);
    EXPECT_EQ(Label(m_catalog, 0), L"Card (#0)");
    EXPECT_EQ(Label(m_catalog, 1), L"card (#1)");
    EXPECT_EQ(Label(m_catalog, 2), L"Other (#2)");

    m_d3d.adapters[1].description = "Card 2";
    m_d3d.adapters[2].description = std::string(512, 'x');  // fills the field: no terminator
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    EXPECT_EQ(Label(m_catalog, 0), L"Card");
    EXPECT_EQ(Label(m_catalog, 1), L"Card 2");
    EXPECT_EQ(Label(m_catalog, 2), std::wstring(100, L'x'));
}

TEST_F(DeviceCatalogTest, DeviceTypesNeedCapsAndACreationThatIsNotRefusedAsUnavailable) {
    HWND hFocus = reinterpret_cast<HWND>(0x1234);
    KitCore().Set(&CKitCoreState::m_hWndFocus, hFocus);
    m_d3d.adapters = {FakeAdapter{}, FakeAdapter{}};
    m_d3d.adapters[0].desktop.Format = D3DFMT_R5G6B5;
    m_d3d.adapters[0].modes.push_back({640, 480, 60, D3DFMT_R5G6B5});
    FakeDeviceType hal, sw, ref;
    hal.createResult = E_FAIL;  // any failure but "not available" keeps the type
    sw.type = D3DDEVTYPE_SW;
    sw.createResult = D3DERR_NOTAVAILABLE;
    ref.type = D3DDEVTYPE_REF;
    ref.createResult = D3DERR_INVALIDCALL;
    m_d3d.adapters[1].devices = {ref, sw, hal};
    m_d3d.adapters[0].devices = {hal, FakeDeviceType{D3DDEVTYPE_REF, 0, 0, D3DERR_NOTAVAILABLE, S_OK}};
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);

    EXPECT_NE(m_catalog.FindDevice(0, D3DDEVTYPE_HAL), nullptr);
    EXPECT_EQ(m_catalog.FindDevice(0, D3DDEVTYPE_REF), nullptr);  // caps refused
    CKitCatalogAdapter* pSecond = m_catalog.FindAdapter(1);
    ASSERT_NE(pSecond, nullptr);
    ASSERT_EQ(pSecond->m_Devices.Length(), 2);  // tried HAL, SW, REF; SW is unavailable
    EXPECT_EQ(pSecond->m_Devices.GetAt(0)->m_DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(pSecond->m_Devices.GetAt(1)->m_DeviceType, D3DDEVTYPE_REF);

    // Every test creation: 1 x 1, windowed, copy, the primary adapter's format, the focus window.
    ASSERT_EQ(m_d3d.creates.size(), 4u);
    for (const cattest::CreateCall& c : m_d3d.creates) {
        EXPECT_EQ(c.focus, hFocus);
        EXPECT_EQ(c.flags, DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING));
        EXPECT_EQ(c.pp.BackBufferWidth, 1u);
        EXPECT_EQ(c.pp.BackBufferHeight, 1u);
        EXPECT_EQ(c.pp.BackBufferFormat, D3DFMT_R5G6B5);
        EXPECT_EQ(c.pp.SwapEffect, D3DSWAPEFFECT_COPY);
        EXPECT_EQ(c.pp.Windowed, 1);
        EXPECT_EQ(c.pp.hDeviceWindow, hFocus);
    }
}

TEST_F(DeviceCatalogTest, CombinationsCarryCappedQualitiesConflictsAndIntervals) {
    FakeAdapter& a = m_d3d.adapters[0];
    a.samples = {{D3DMULTISAMPLE_NONE, 1}, {D3DMULTISAMPLE_4_SAMPLES, 0x20000}};
    a.depthSampleConflicts = {{D3DFMT_D24S8, D3DMULTISAMPLE_4_SAMPLES}};
    a.devices[0].presentIntervals =
        D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_TWO | D3DPRESENT_INTERVAL_FOUR;
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);

    CKitCatalogCombo* pFull =
        m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE);
    CKitCatalogCombo* pWindowed =
        m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE);
    ASSERT_NE(pFull, nullptr);
    ASSERT_NE(pWindowed, nullptr);
    EXPECT_EQ(pFull->m_pAdapter, m_catalog.FindAdapter(0));
    EXPECT_EQ(pFull->m_pDevice, m_catalog.FindDevice(0, D3DDEVTYPE_HAL));

    ASSERT_EQ(pFull->m_SampleTypes.Length(), 2);
    EXPECT_EQ(pFull->m_SampleQualities.GetAt(0), 1u);
    EXPECT_EQ(pFull->m_SampleQualities.GetAt(1), 0x10000u);
    ASSERT_EQ(pFull->m_DepthFormats.Length(), 3);
    ASSERT_EQ(pFull->m_Conflicts.Length(), 1);
    EXPECT_EQ(pFull->m_Conflicts.GetAt(0).m_DepthFormat, D3DFMT_D24S8);
    EXPECT_EQ(pFull->m_Conflicts.GetAt(0).m_SampleType, D3DMULTISAMPLE_4_SAMPLES);

    // Immediate is not in the caps; windowed never offers two or four frames.
    const UINT full[] = {D3DPRESENT_INTERVAL_DEFAULT, D3DPRESENT_INTERVAL_ONE, D3DPRESENT_INTERVAL_TWO,
                         D3DPRESENT_INTERVAL_FOUR};
    ASSERT_EQ(pFull->m_PresentIntervals.Length(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(pFull->m_PresentIntervals.GetAt(i), full[i]);
    ASSERT_EQ(pWindowed->m_PresentIntervals.Length(), 2);
    EXPECT_EQ(pWindowed->m_PresentIntervals.GetAt(0), UINT(D3DPRESENT_INTERVAL_DEFAULT));

    a.devices[0].presentIntervals = 0;
    m_catalog.SetQualityCap(0x20000);  // clamped to 0xFFFF
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    pFull = m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE);
    EXPECT_EQ(pFull->m_SampleQualities.GetAt(1), 0x10000u);
    ASSERT_EQ(pFull->m_PresentIntervals.Length(), 1);
    EXPECT_EQ(pFull->m_PresentIntervals.GetAt(0), UINT(D3DPRESENT_INTERVAL_DEFAULT));
    m_catalog.SetQualityCap(2);
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    pFull = m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE);
    EXPECT_EQ(pFull->m_SampleQualities.GetAt(1), 3u);
}

struct AcceptLog {
    int calls = 0;
    DWORD devCaps = 0;
};

bool AcceptNoSixteenBit(D3DCAPS9* pCaps, D3DFORMAT, D3DFORMAT backBuffer, bool, void* pContext) {
    auto* log = static_cast<AcceptLog*>(pContext);
    ++log->calls;
    log->devCaps = pCaps->DevCaps;
    return backBuffer != D3DFMT_R5G6B5 && backBuffer != D3DFMT_X1R5G5B5 && backBuffer != D3DFMT_A1R5G5B5;
}

TEST_F(DeviceCatalogTest, PlatformChecksAndTheAcceptanceCallbackFilterCombinations) {
    FakeAdapter& a = m_d3d.adapters[0];
    a.noBlending = {D3DFMT_A8R8G8B8};
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    CKitCatalogDevice* pDevice = m_catalog.FindDevice(0, D3DDEVTYPE_HAL);
    // Windowed: five back-buffer formats less A8R8G8B8 (no blending); full screen: X8R8G8B8 only.
    EXPECT_EQ(pDevice->m_Combos.Length(), 4 + 1);
    EXPECT_EQ(m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, TRUE),
              nullptr);
    EXPECT_NE(m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, TRUE),
              nullptr);

    AcceptLog log;
    ASSERT_EQ(m_catalog.Populate(&m_d3d, AcceptNoSixteenBit, &log), S_OK);
    EXPECT_EQ(log.calls, 5);
    EXPECT_EQ(log.devCaps, DWORD(D3DDEVCAPS_HWTRANSFORMANDLIGHT));
    EXPECT_EQ(m_catalog.FindDevice(0, D3DDEVTYPE_HAL)->m_Combos.Length(), 2);
    EXPECT_EQ(m_catalog.GetDeviceSettingsCombo(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, TRUE),
              nullptr);

    // A combination without any multisample type is dropped, and with it the device and the adapter.
    a.samples.clear();
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    EXPECT_EQ(m_catalog.GetAdapters()->Length(), 0);
}

TEST_F(DeviceCatalogTest, LookupsAndPopulationWithoutDirect3D) {
    m_d3d.adapters = {FakeAdapter{}, FakeAdapter{}};
    ASSERT_EQ(m_catalog.Populate(&m_d3d, nullptr, nullptr), S_OK);
    EXPECT_EQ(m_catalog.FindAdapter(2), nullptr);
    EXPECT_EQ(m_catalog.FindDevice(1, D3DDEVTYPE_REF), nullptr);
    EXPECT_EQ(m_catalog.GetDeviceSettingsCombo(1, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE),
              nullptr);

    // No object given and none in the framework: refused, contents kept.
    EXPECT_EQ(m_catalog.Populate(nullptr, nullptr, nullptr), KITERR_NODIRECT3D);
    EXPECT_EQ(m_catalog.GetAdapters()->Length(), 2);
    // The framework's object stands in for a null one.
    m_d3d.adapters.pop_back();
    KitCore().Set(&CKitCoreState::m_pD3DObject, &m_d3d);
    EXPECT_EQ(m_catalog.Populate(nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(m_catalog.GetAdapters()->Length(), 1);

    m_catalog.ClearAdapters();
    EXPECT_EQ(m_catalog.GetAdapters()->Length(), 0);
}

TEST_F(DeviceCatalogTest, ModeOrderComparesUnsigned) {
    D3DDISPLAYMODE small{640, 480, 60, D3DFMT_X8R8G8B8};
    D3DDISPLAYMODE huge{0xFFFFFFFFu, 480, 60, D3DFMT_X8R8G8B8};
    EXPECT_LT(KitCompareModes(small, huge), 0);
    EXPECT_GT(KitCompareModes(huge, small), 0);
    D3DDISPLAYMODE otherFormat = small;
    otherFormat.Format = D3DFMT_R5G6B5;
    otherFormat.RefreshRate = 30;
    EXPECT_LT(KitCompareModes(small, otherFormat), 0);  // format before refresh rate
    EXPECT_EQ(KitCompareModes(small, small), 0);
}

TEST_F(DeviceCatalogTest, FrameworkCatalogPopulatesOnFirstUseAndWhenForced) {
    CKitCoreState& s = KitCore();
    s.Set(&CKitCoreState::m_pCatalog, nullptr);
    s.Set(&CKitCoreState::m_pD3DObject, &m_d3d);
    AcceptLog log;
    s.Set(&CKitCoreState::m_pfnAcceptDevice, &AcceptNoSixteenBit);
    s.Set(&CKitCoreState::m_pAcceptDeviceContext, &log);

    CKitDeviceCatalog* pCatalog = KitPrepareDeviceCatalog();
    ASSERT_NE(pCatalog, nullptr);
    EXPECT_EQ(s.Get(&CKitCoreState::m_pCatalog), pCatalog);
    EXPECT_EQ(pCatalog->GetAdapters()->Length(), 1);
    EXPECT_GT(log.calls, 0);

    m_d3d.adapters.push_back(FakeAdapter{});
    EXPECT_EQ(KitPrepareDeviceCatalog()->GetAdapters()->Length(), 1);  // unforced: as it was
    EXPECT_EQ(KitPrepareDeviceCatalog(true)->GetAdapters()->Length(), 2);

    D3DFORMAT format = D3DFMT_UNKNOWN;
    EXPECT_EQ(KitLookUpAdapterFormat(1, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, FALSE, &format), S_OK);
    EXPECT_EQ(format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(KitLookUpAdapterFormat(1, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, TRUE, &format),
              E_FAIL);  // refused by the callback
    EXPECT_EQ(format, D3DFMT_R5G6B5);
    EXPECT_EQ(KitLookUpAdapterFormat(1, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, TRUE, &format), E_FAIL);
    EXPECT_EQ(format, D3DFMT_X8R8G8B8);
}

}  // namespace
