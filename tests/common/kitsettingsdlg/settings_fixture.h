// The settings page hosted as an application hosts it, on a framework with a
// real window and device on two headless monitors (1920 x 1080 at 75 Hz and
// 1280 x 1024 at 60 Hz, each with 32- and 16-bit modes). Input arrives as
// window messages sent to the device window; boxes are read back as texts.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/devicecatalog/device_catalog.h"
#include "common/devicecatalog/enum_names.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"
#include "common/kitgui/control_check_box.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_radio_button.h"
#include "common/kitsettingsdlg/settings_dialog.h"
#include "tests/common/kit/lifecycle_fixture.h"

namespace settingstest {

class SettingsTest : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        plat::HeadlessConfig config;
        config.monitors = {plat::DisplayMode{1920, 1080, 75, 32}, plat::DisplayMode{1280, 1024, 60, 32}};
        config.noWait = true;
        UseBackend(config);
        kittest::KitResetStateForTests();
        CKitDialog::DropFocus();
        s_pHost = this;
        KitRegisterDeviceCreated(Created, nullptr);
        KitRegisterDeviceReset(Reset, nullptr);
        KitRegisterDeviceLost(Lost, nullptr);
        KitRegisterDeviceDestroyed(Destroyed, nullptr);
        KitRegisterMsgProc(MsgProc, nullptr);
        KitRegisterFrameRender(Render, nullptr);
        m_Dlg.Setup(&m_Manager);
        ASSERT_EQ(KitStartup(false, true, false, true), S_OK);
        ASSERT_EQ(KitCreateWindow(L"Settings"), S_OK);
        ASSERT_EQ(KitBuildDevice(0, true, 640, 480), S_OK);
    }
    void TearDown() override {
        // The host lets go of the device through its callbacks; no reference may remain.
        KitTerminate(0);
        EXPECT_NE(KitProcessExitCode(), 5) << "a device reference was left behind";
        CKitDialog::DropFocus();
        CKitDialog::SetPressedControl(nullptr);
        kittest::KitResetStateForTests();
        s_pHost = nullptr;
        HeadlessTest::TearDown();
    }

    // The host's callbacks: the manager and the page get every device event;
    // the page draws alone and takes messages while active.
    static HRESULT Created(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC*, void*) {
        HRESULT hr = s_pHost->m_Manager.OnCreateDevice(pd3dDevice);
        return FAILED(hr) ? hr : s_pHost->m_Dlg.OnCreateDevice(pd3dDevice);
    }
    static HRESULT Reset(IDirect3DDevice9*, const D3DSURFACE_DESC*, void*) {
        HRESULT hr = s_pHost->m_Manager.OnResetDevice();
        return FAILED(hr) ? hr : s_pHost->m_Dlg.OnResetDevice();
    }
    static void Lost(void*) {
        s_pHost->m_Manager.OnDeviceLost();
        s_pHost->m_Dlg.OnDeviceLost();
    }
    static void Destroyed(void*) {
        s_pHost->m_Manager.OnDeviceDestroyed();
        s_pHost->m_Dlg.OnDeviceDestroyed();
    }
    static LRESULT MsgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool* pbNoFurther, void*) {
        *pbNoFurther = s_pHost->m_Manager.MsgProc(hWnd, uMsg, wParam, lParam);
        if (*pbNoFurther) return 0;
        if (s_pHost->m_Dlg.IsActivated()) s_pHost->m_Dlg.MsgProc(hWnd, uMsg, wParam, lParam);
        return 0;
    }
    static void Render(IDirect3DDevice9*, double, float fElapsed, void*) {
        if (s_pHost->m_Dlg.IsActivated()) s_pHost->m_Dlg.OnRender(fElapsed);
    }

    CKitDialog* Panel() { return m_Dlg.GetPanel(); }
    CKitComboBox* Box(int nId) { return Panel()->FindComboBox(nId); }
    static const KitDeviceSetup& Edited() { return *CD3DSettingsDlg::EditedSetup(); }
    static CKitDeviceCatalog* Catalog() { return KitPrepareDeviceCatalog(); }

    std::vector<std::wstring> Texts(int nId) {
        std::vector<std::wstring> out;
        CKitComboBox* p = Box(nId);
        for (int i = 0; p && i < p->GetChoiceCount(); ++i) out.push_back(p->GetChoiceItem(i)->wszLabel);
        return out;
    }
    bool Offers(int nId, const std::wstring& text) {
        for (const std::wstring& t : Texts(nId))
            if (t == text) return true;
        return false;
    }
    std::wstring Chosen(int nId) {
        KitChoiceItem* p = Box(nId) ? Box(nId)->GetChosenItem() : nullptr;
        return p ? p->wszLabel : L"";
    }
    UINT_PTR ChosenData(int nId) { return reinterpret_cast<UINT_PTR>(Box(nId)->GetChosenData()); }
    bool Ticked(int nId) {
        CKitCheckBox* p = Panel()->FindCheckBox(nId);
        if (!p) p = Panel()->FindRadioButton(nId);
        return p && p->IsTicked();
    }
    bool Active(int nId) { return Panel()->IsControlActive(nId); }

    LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
        return SendMessageW(KitActiveWindow(), uMsg, wParam, lParam);
    }
    // A click at the middle of a control (the panel sits at the window's corner).
    void ClickControl(int nId) {
        CKitControl* p = Panel()->FindControl(nId);
        ASSERT_NE(p, nullptr);
        const LPARAM at = MAKELPARAM(p->m_nX + 8, p->m_nY + p->m_nHeight / 2);
        Send(WM_MOUSEMOVE, 0, at);
        Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(WM_LBUTTONUP, 0, at);
    }
    void Key(UINT vk) {
        Send(WM_KEYDOWN, vk, 1);
        Send(WM_KEYUP, vk, LPARAM(0xC0000001u));
    }
    // Picks an item as a user does: focus on the box, then arrow keys until it is chosen.
    void Pick(int nId, const std::wstring& text) {
        CKitComboBox* p = Box(nId);
        ASSERT_NE(p, nullptr);
        const int iTarget = p->FindChoice(text.c_str());
        ASSERT_GE(iTarget, 0) << "no item " << std::string(text.begin(), text.end()) << " in box " << nId;
        Panel()->FocusControl(p);
        for (int n = 0; n < 64 && p->GetChosenIndex() != iTarget; ++n)
            Key(p->GetChosenIndex() < iTarget ? VK_DOWN : VK_UP);
        ASSERT_EQ(p->GetChosenIndex(), iTarget);
    }
    // Runs frames of the main loop until the window closes after nFrames.
    void RunFrames(int nFrames) {
        m_nFramesLeft = nFrames;
        KitRegisterFrameMove(
            [](IDirect3DDevice9*, double, float, void*) {
                if (--s_pHost->m_nFramesLeft == 0) PostMessageW(KitActiveWindow(), WM_CLOSE, 0, 0);
            },
            nullptr);
        KitMainLoop();
    }

    CKitDialogResourceManager m_Manager;
    CD3DSettingsDlg m_Dlg;
    int m_nFramesLeft = 0;
    static inline SettingsTest* s_pHost = nullptr;
};

// Every box of the page, for the no-duplicate check.
inline const int kAllBoxes[] = {
    KIT_SETTINGS_ADAPTER,           KIT_SETTINGS_DEVICE_TYPE,      KIT_SETTINGS_ADAPTER_FORMAT,
    KIT_SETTINGS_RESOLUTION,        KIT_SETTINGS_REFRESH_RATE,     KIT_SETTINGS_BACK_BUFFER_FORMAT,
    KIT_SETTINGS_DEPTH_STENCIL,     KIT_SETTINGS_MULTISAMPLE_TYPE, KIT_SETTINGS_MULTISAMPLE_QUALITY,
    KIT_SETTINGS_VERTEX_PROCESSING, KIT_SETTINGS_PRESENT_INTERVAL};

}  // namespace settingstest
