// The settings page's boxes against the software device's catalogue: reload
// from the current settings, and every pick refilling the boxes below it
// with only what the catalogue allows, the edited record kept consistent.
#include <set>

#include "tests/common/kitsettingsdlg/settings_fixture.h"

namespace {

using settingstest::SettingsTest;

class SettingsCascadeTest : public SettingsTest {
  protected:
    // No box holds two items with the same text.
    void ExpectNoDuplicates() {
        for (int nId : settingstest::kAllBoxes) {
            std::vector<std::wstring> texts = Texts(nId);
            std::set<std::wstring> unique(texts.begin(), texts.end());
            EXPECT_EQ(unique.size(), texts.size()) << "box " << nId;
        }
    }
    // The edited record names a combination of the catalogue, and each box
    // shows the record's value.
    void ExpectConsistent() {
        const KitDeviceSetup& s = Edited();
        const D3DPRESENT_PARAMETERS& pp = s.PresentParams;
        CKitCatalogCombo* pCombo = Catalog()->GetDeviceSettingsCombo(
            s.AdapterOrdinal, s.DeviceType, s.AdapterFormat, pp.BackBufferFormat, pp.Windowed);
        ASSERT_NE(pCombo, nullptr);
        EXPECT_EQ(ChosenData(KIT_SETTINGS_ADAPTER), s.AdapterOrdinal);
        EXPECT_EQ(ChosenData(KIT_SETTINGS_ADAPTER_FORMAT), UINT_PTR(s.AdapterFormat));
        EXPECT_EQ(ChosenData(KIT_SETTINGS_BACK_BUFFER_FORMAT), UINT_PTR(pp.BackBufferFormat));
        EXPECT_EQ(ChosenData(KIT_SETTINGS_MULTISAMPLE_TYPE), UINT_PTR(pp.MultiSampleType));
        EXPECT_EQ(ChosenData(KIT_SETTINGS_PRESENT_INTERVAL), UINT_PTR(pp.PresentationInterval));
        EXPECT_EQ(Ticked(KIT_SETTINGS_WINDOWED), pp.Windowed != 0);
        EXPECT_NE(Ticked(KIT_SETTINGS_FULLSCREEN), pp.Windowed != 0);
        if (!pp.Windowed) {
            EXPECT_EQ(ChosenData(KIT_SETTINGS_RESOLUTION),
                      UINT_PTR(pp.BackBufferHeight << 16 | pp.BackBufferWidth));
            EXPECT_EQ(ChosenData(KIT_SETTINGS_REFRESH_RATE), pp.FullScreen_RefreshRateInHz);
        }
        ExpectNoDuplicates();
    }
    // The back-buffer formats the catalogue has for the edited device, mode and adapter format.
    std::set<std::wstring> CatalogBackBufferFormats(bool bWindowed, D3DFORMAT adapterFormat) {
        std::set<std::wstring> out;
        CKitCatalogDevice* pDevice = Catalog()->FindDevice(Edited().AdapterOrdinal, Edited().DeviceType);
        for (int i = 0; pDevice && i < pDevice->m_Combos.Length(); ++i) {
            CKitCatalogCombo* c = pDevice->m_Combos.GetAt(i);
            if ((c->m_bWindowed != 0) == bWindowed && c->m_AdapterFormat == adapterFormat)
                out.insert(KitFormatName(c->m_BackBufferFormat, true));
        }
        return out;
    }
    std::set<std::wstring> TextSet(int nId) {
        std::vector<std::wstring> t = Texts(nId);
        return std::set<std::wstring>(t.begin(), t.end());
    }
};

TEST_F(SettingsCascadeTest, ReloadFillsEveryBoxFromTheCurrentWindowedSettings) {
    const KitDeviceSetup current = KitCurrentSetup();
    m_Dlg.Activate(true);
    ASSERT_TRUE(m_Dlg.IsActivated());

    EXPECT_EQ(Texts(KIT_SETTINGS_ADAPTER).size(), 2u);
    EXPECT_EQ(ChosenData(KIT_SETTINGS_ADAPTER), 0u);
    EXPECT_EQ(Chosen(KIT_SETTINGS_DEVICE_TYPE), L"D3DDEVTYPE_HAL");
    EXPECT_TRUE(Ticked(KIT_SETTINGS_WINDOWED));
    EXPECT_FALSE(Ticked(KIT_SETTINGS_FULLSCREEN));
    // Windowed: only the desktop's format, size and rate; those boxes are off, the clip box on.
    EXPECT_EQ(Texts(KIT_SETTINGS_ADAPTER_FORMAT), std::vector<std::wstring>{L"D3DFMT_X8R8G8B8"});
    EXPECT_EQ(Texts(KIT_SETTINGS_RESOLUTION), std::vector<std::wstring>{L"1920 by 1080"});
    EXPECT_EQ(Texts(KIT_SETTINGS_REFRESH_RATE), std::vector<std::wstring>{L"75 Hz"});
    for (int nId : {KIT_SETTINGS_ADAPTER_FORMAT_LABEL, KIT_SETTINGS_ADAPTER_FORMAT,
                    KIT_SETTINGS_RESOLUTION_LABEL, KIT_SETTINGS_RESOLUTION, KIT_SETTINGS_RESOLUTION_SHOW_ALL,
                    KIT_SETTINGS_REFRESH_RATE_LABEL, KIT_SETTINGS_REFRESH_RATE})
        EXPECT_FALSE(Active(nId)) << nId;
    EXPECT_TRUE(Active(KIT_SETTINGS_DEVICECLIP));

    EXPECT_EQ(TextSet(KIT_SETTINGS_BACK_BUFFER_FORMAT), CatalogBackBufferFormats(true, D3DFMT_X8R8G8B8));
    EXPECT_EQ(Chosen(KIT_SETTINGS_BACK_BUFFER_FORMAT),
              KitFormatName(current.PresentParams.BackBufferFormat, true));
    EXPECT_EQ(Chosen(KIT_SETTINGS_DEPTH_STENCIL),
              KitFormatName(current.PresentParams.AutoDepthStencilFormat, true));
    EXPECT_EQ(Texts(KIT_SETTINGS_PRESENT_INTERVAL), (std::vector<std::wstring>{L"On", L"Off"}));

    // Nothing the user did not pick has changed.
    const KitDeviceSetup& s = Edited();
    EXPECT_EQ(s.AdapterOrdinal, current.AdapterOrdinal);
    EXPECT_EQ(s.DeviceType, current.DeviceType);
    EXPECT_EQ(s.BehaviorFlags, current.BehaviorFlags);
    EXPECT_EQ(s.PresentParams.BackBufferFormat, current.PresentParams.BackBufferFormat);
    EXPECT_EQ(s.PresentParams.AutoDepthStencilFormat, current.PresentParams.AutoDepthStencilFormat);
    EXPECT_EQ(s.PresentParams.MultiSampleType, current.PresentParams.MultiSampleType);
    EXPECT_EQ(s.PresentParams.PresentationInterval, current.PresentParams.PresentationInterval);
    ExpectConsistent();
}

TEST_F(SettingsCascadeTest, FullScreenOffersTheDesktopsAspectUnlessAllAreAskedFor) {
    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    ASSERT_TRUE(Ticked(KIT_SETTINGS_FULLSCREEN));
    EXPECT_FALSE(Ticked(KIT_SETTINGS_WINDOWED));
    EXPECT_TRUE(Active(KIT_SETTINGS_RESOLUTION));
    EXPECT_TRUE(Active(KIT_SETTINGS_ADAPTER_FORMAT_LABEL));
    EXPECT_FALSE(Active(KIT_SETTINGS_DEVICECLIP));
    EXPECT_EQ(Edited().PresentParams.Windowed, FALSE);

    // Both the 32- and 16-bit desktop formats, each once.
    EXPECT_TRUE(Offers(KIT_SETTINGS_ADAPTER_FORMAT, L"D3DFMT_X8R8G8B8"));
    EXPECT_TRUE(Offers(KIT_SETTINGS_ADAPTER_FORMAT, L"D3DFMT_R5G6B5"));
    // 16:9 desktop: 16:9 modes only (1360 by 768 is within 0.05 of it), not 4:3 or 5:4.
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1080"));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1280 by 720"));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1360 by 768"));
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1024 by 768"));
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1280 by 1024"));
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1200"));
    EXPECT_EQ(TextSet(KIT_SETTINGS_BACK_BUFFER_FORMAT),
              CatalogBackBufferFormats(false, Edited().AdapterFormat));
    ExpectConsistent();

    ClickControl(KIT_SETTINGS_RESOLUTION_SHOW_ALL);
    ASSERT_TRUE(Ticked(KIT_SETTINGS_RESOLUTION_SHOW_ALL));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1024 by 768"));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"640 by 480"));
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1200")) << "larger than the monitor";
    Pick(KIT_SETTINGS_RESOLUTION, L"1024 by 768");
    EXPECT_EQ(Edited().PresentParams.BackBufferWidth, 1024u);
    EXPECT_EQ(Edited().PresentParams.BackBufferHeight, 768u);
    ExpectConsistent();

    ClickControl(KIT_SETTINGS_RESOLUTION_SHOW_ALL);
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1024 by 768"));
}

TEST_F(SettingsCascadeTest, ResolutionAndRateRefillTheirBoxesAndRecord) {
    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);

    // The desktop size offers its own 75 Hz and the usual 60 Hz; other sizes 75 and 60 as well.
    Pick(KIT_SETTINGS_RESOLUTION, L"1920 by 1080");
    EXPECT_EQ(Texts(KIT_SETTINGS_REFRESH_RATE), (std::vector<std::wstring>{L"60 Hz", L"75 Hz"}));
    Pick(KIT_SETTINGS_REFRESH_RATE, L"60 Hz");
    EXPECT_EQ(Edited().PresentParams.FullScreen_RefreshRateInHz, 60u);
    // Another resolution keeps the rate picked when it offers it.
    Pick(KIT_SETTINGS_RESOLUTION, L"1280 by 720");
    EXPECT_EQ(Chosen(KIT_SETTINGS_REFRESH_RATE), L"60 Hz");
    EXPECT_EQ(Edited().PresentParams.BackBufferWidth, 1280u);
    EXPECT_EQ(Edited().PresentParams.BackBufferHeight, 720u);
    ExpectConsistent();
}

TEST_F(SettingsCascadeTest, AdapterFormatRefillsResolutionsAndBackBuffers) {
    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    Pick(KIT_SETTINGS_ADAPTER_FORMAT, L"D3DFMT_R5G6B5");
    EXPECT_EQ(Edited().AdapterFormat, D3DFMT_R5G6B5);
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1080"));
    const std::set<std::wstring> expected = CatalogBackBufferFormats(false, D3DFMT_R5G6B5);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(TextSet(KIT_SETTINGS_BACK_BUFFER_FORMAT), expected);
    EXPECT_FALSE(Offers(KIT_SETTINGS_BACK_BUFFER_FORMAT, L"D3DFMT_X8R8G8B8"));
    ExpectConsistent();

    Pick(KIT_SETTINGS_ADAPTER_FORMAT, L"D3DFMT_X8R8G8B8");
    EXPECT_TRUE(Offers(KIT_SETTINGS_BACK_BUFFER_FORMAT, L"D3DFMT_X8R8G8B8"));
    ExpectConsistent();
}

TEST_F(SettingsCascadeTest, TheOtherAdapterBringsItsOwnDesktopAndModes) {
    m_Dlg.Activate(true);
    std::vector<std::wstring> adapters = Texts(KIT_SETTINGS_ADAPTER);
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_NE(adapters[0], adapters[1]);
    Pick(KIT_SETTINGS_ADAPTER, adapters[1]);
    EXPECT_EQ(Edited().AdapterOrdinal, 1u);
    // Windowed on the 1280 x 1024 desktop at 60 Hz.
    EXPECT_EQ(Texts(KIT_SETTINGS_RESOLUTION), std::vector<std::wstring>{L"1280 by 1024"});
    EXPECT_EQ(Texts(KIT_SETTINGS_REFRESH_RATE), std::vector<std::wstring>{L"60 Hz"});
    ExpectConsistent();

    ClickControl(KIT_SETTINGS_FULLSCREEN);
    // A 5:4 desktop: 1280 by 960 (4:3) differs by more than 0.05 and is hidden.
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1280 by 1024"));
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1280 by 960"));
    EXPECT_FALSE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1080"));
    ExpectConsistent();

    ClickControl(KIT_SETTINGS_WINDOWED);
    EXPECT_TRUE(Ticked(KIT_SETTINGS_WINDOWED));
    EXPECT_FALSE(Active(KIT_SETTINGS_RESOLUTION));
    EXPECT_TRUE(Active(KIT_SETTINGS_DEVICECLIP));
    ExpectConsistent();
}

TEST_F(SettingsCascadeTest, LowerBoxesFollowTheCatalogueAndStoreTheirValues) {
    // The software device multisamples nothing: its combination gains four
    // samples with three quality levels, unusable with its first depth format.
    const KitDeviceSetup current = KitCurrentSetup();
    CKitCatalogCombo* pCombo = Catalog()->GetDeviceSettingsCombo(
        current.AdapterOrdinal, current.DeviceType, current.AdapterFormat,
        current.PresentParams.BackBufferFormat, current.PresentParams.Windowed);
    ASSERT_NE(pCombo, nullptr);
    ASSERT_GT(pCombo->m_DepthFormats.Length(), 1);
    const D3DFORMAT conflicting = pCombo->m_DepthFormats.GetAt(0);
    pCombo->m_SampleTypes.Add(D3DMULTISAMPLE_4_SAMPLES);
    pCombo->m_SampleQualities.Add(3);
    pCombo->m_Conflicts.Add(CKitCatalogConflict{conflicting, D3DMULTISAMPLE_4_SAMPLES});

    m_Dlg.Activate(true);
    const KitDeviceSetup& s = Edited();
    Pick(KIT_SETTINGS_DEPTH_STENCIL, KitFormatName(conflicting, true));
    EXPECT_FALSE(Offers(KIT_SETTINGS_MULTISAMPLE_TYPE, L"D3DMULTISAMPLE_4_SAMPLES"));
    Pick(KIT_SETTINGS_DEPTH_STENCIL, KitFormatName(pCombo->m_DepthFormats.GetAt(1), true));
    ASSERT_TRUE(Offers(KIT_SETTINGS_MULTISAMPLE_TYPE, L"D3DMULTISAMPLE_4_SAMPLES"));
    Pick(KIT_SETTINGS_MULTISAMPLE_TYPE, L"D3DMULTISAMPLE_4_SAMPLES");
    EXPECT_EQ(Texts(KIT_SETTINGS_MULTISAMPLE_QUALITY), (std::vector<std::wstring>{L"0", L"1", L"2"}));
    Pick(KIT_SETTINGS_MULTISAMPLE_QUALITY, L"2");
    EXPECT_EQ(s.PresentParams.MultiSampleType, D3DMULTISAMPLE_4_SAMPLES);
    EXPECT_EQ(s.PresentParams.MultiSampleQuality, 2u);
    // A depth format that conflicts takes the type away; the record follows the box.
    Pick(KIT_SETTINGS_DEPTH_STENCIL, KitFormatName(conflicting, true));
    EXPECT_FALSE(Offers(KIT_SETTINGS_MULTISAMPLE_TYPE, L"D3DMULTISAMPLE_4_SAMPLES"));
    EXPECT_EQ(s.PresentParams.MultiSampleType, D3DMULTISAMPLE_NONE);

    // Depth formats are the combination's; multisample types those without a conflict.
    std::set<std::wstring> depths;
    for (int i = 0; i < pCombo->m_DepthFormats.Length(); ++i)
        depths.insert(KitFormatName(pCombo->m_DepthFormats.GetAt(i), true));
    EXPECT_EQ(TextSet(KIT_SETTINGS_DEPTH_STENCIL), depths);
    for (const std::wstring& depth : Texts(KIT_SETTINGS_DEPTH_STENCIL)) {
        Pick(KIT_SETTINGS_DEPTH_STENCIL, depth);
        const D3DFORMAT fmt = D3DFORMAT(ChosenData(KIT_SETTINGS_DEPTH_STENCIL));
        EXPECT_EQ(s.PresentParams.AutoDepthStencilFormat, fmt);
        std::set<std::wstring> types;
        for (int i = 0; i < pCombo->m_SampleTypes.Length(); ++i) {
            bool bConflict = false;
            for (int j = 0; j < pCombo->m_Conflicts.Length(); ++j)
                bConflict |= pCombo->m_Conflicts.GetAt(j).m_DepthFormat == fmt &&
                             pCombo->m_Conflicts.GetAt(j).m_SampleType == pCombo->m_SampleTypes.GetAt(i);
            if (!bConflict) types.insert(KitSampleTypeName(pCombo->m_SampleTypes.GetAt(i)));
        }
        EXPECT_EQ(TextSet(KIT_SETTINGS_MULTISAMPLE_TYPE), types);
    }

    // Each multisample type offers its quality levels 0 to count - 1.
    for (int i = 0; i < pCombo->m_SampleTypes.Length(); ++i) {
        const std::wstring name = KitSampleTypeName(pCombo->m_SampleTypes.GetAt(i));
        if (!Offers(KIT_SETTINGS_MULTISAMPLE_TYPE, name)) continue;
        Pick(KIT_SETTINGS_MULTISAMPLE_TYPE, name);
        EXPECT_EQ(s.PresentParams.MultiSampleType, pCombo->m_SampleTypes.GetAt(i));
        const DWORD n = pCombo->m_SampleQualities.GetAt(i);
        ASSERT_EQ(Texts(KIT_SETTINGS_MULTISAMPLE_QUALITY).size(), size_t(n)) << "type " << i;
        if (n > 0) {
            const std::wstring last = std::to_wstring(n - 1);
            Pick(KIT_SETTINGS_MULTISAMPLE_QUALITY, last);
            EXPECT_EQ(s.PresentParams.MultiSampleQuality, n - 1);
        }
    }

    // Vertex processing replaces only bits 0xF0; pure adds hardware processing.
    const DWORD dwOtherBits = s.BehaviorFlags & ~DWORD(0xF0);
    Pick(KIT_SETTINGS_VERTEX_PROCESSING, L"Software vertex processing");
    EXPECT_EQ(s.BehaviorFlags, dwOtherBits | D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    if (Offers(KIT_SETTINGS_VERTEX_PROCESSING, L"Pure hardware vertex processing")) {
        Pick(KIT_SETTINGS_VERTEX_PROCESSING, L"Pure hardware vertex processing");
        EXPECT_EQ(s.BehaviorFlags & 0xF0, 0x50u);
    }
    EXPECT_FALSE(Offers(KIT_SETTINGS_VERTEX_PROCESSING, L"Mixed vertex processing"))
        << "not allowed by default";

    Pick(KIT_SETTINGS_PRESENT_INTERVAL, L"Off");
    EXPECT_EQ(s.PresentParams.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    Pick(KIT_SETTINGS_PRESENT_INTERVAL, L"On");
    EXPECT_EQ(s.PresentParams.PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);

    // The clip check box sets and clears its present flag.
    const bool bClip = Ticked(KIT_SETTINGS_DEVICECLIP);
    ClickControl(KIT_SETTINGS_DEVICECLIP);
    EXPECT_EQ((s.PresentParams.Flags & D3DPRESENTFLAG_DEVICECLIP) != 0, !bClip);
    ClickControl(KIT_SETTINGS_DEVICECLIP);
    EXPECT_EQ((s.PresentParams.Flags & D3DPRESENTFLAG_DEVICECLIP) != 0, bClip);

    // Back-buffer format last: the boxes below it are refilled to the record.
    for (const std::wstring& bb : Texts(KIT_SETTINGS_BACK_BUFFER_FORMAT)) {
        Pick(KIT_SETTINGS_BACK_BUFFER_FORMAT, bb);
        ExpectConsistent();
    }
}

}  // namespace

namespace {

TEST_F(SettingsCascadeTest, AnAdapterFormatWithoutAWindowedBackBufferSwitchesToFullScreen) {
    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    ASSERT_TRUE(Active(KIT_SETTINGS_WINDOWED));
    // The device loses every windowed combination: the desktop format has no windowed back buffer.
    CKitCatalogDevice* pDevice = Catalog()->FindDevice(Edited().AdapterOrdinal, Edited().DeviceType);
    ASSERT_NE(pDevice, nullptr);
    for (int i = 0; i < pDevice->m_Combos.Length(); ++i) pDevice->m_Combos.GetAt(i)->m_bWindowed = 0;

    ClickControl(KIT_SETTINGS_WINDOWED);
    EXPECT_FALSE(Active(KIT_SETTINGS_WINDOWED));
    EXPECT_TRUE(Ticked(KIT_SETTINGS_FULLSCREEN));
    EXPECT_FALSE(Ticked(KIT_SETTINGS_WINDOWED));
    EXPECT_EQ(Edited().PresentParams.Windowed, FALSE);
    EXPECT_TRUE(Active(KIT_SETTINGS_RESOLUTION));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1080"));
    EXPECT_FALSE(Texts(KIT_SETTINGS_BACK_BUFFER_FORMAT).empty());
    ExpectConsistent();
}

}  // namespace
