// Fixtures for the GUI toolkit's tests: a fresh framework state on the
// headless backend, and optionally a software device that the framework
// knows as its current device (the manager's reset takes its state block
// from it). Closing checks that no device reference was left behind.
#pragma once

#include <gtest/gtest.h>

#include "tests/common/kit/state_reset.h"
#include "common/kitgui/dialog.h"
#include "common/kitgui/dialog_resource_manager.h"
#include "tests/support/device_fixture.h"
#include "tests/support/headless_fixture.h"

namespace guitest {

class GuiTest : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        kittest::ResetCoreState();
        CKitDialog::DropFocus();
    }
    void TearDown() override {
        CloseGuiDevice();
        CKitDialog::DropFocus();
        CKitDialog::SetPressedControl(nullptr);
        CKitDialog::StampRefresh(0.0);
        kittest::ResetCoreState();
        HeadlessTest::TearDown();
    }

    // A window and a width x height device, made the framework's current device.
    void OpenGuiDevice(UINT width, UINT height) {
        RegisterTestClass();
        m_hWnd = CreateTestWindow(int(width), int(height));
        D3DPRESENT_PARAMETERS pp = tumbral_test::WindowedParams(m_hWnd, width, height);
        ASSERT_NO_FATAL_FAILURE(tumbral_test::OpenDevice(pp, m_pD3D, m_pDevice));
        KitStateLock lock;
        KitCore().m_pD3D9Device = m_pDevice;
        KitCore().m_hWndFocus = KitCore().m_hWndWindowed = m_hWnd;
    }

    // The manager lets go of the device first; then no reference may remain.
    void CloseGuiDevice() {
        if (!m_pDevice) return;
        m_Manager.OnDeviceLost();
        m_Manager.OnDeviceDestroyed();
        {
            KitStateLock lock;
            KitCore().m_pD3D9Device = nullptr;
        }
        tumbral_test::CloseDevice(m_pDevice, m_pD3D);
    }

    // The manager through its device hooks, as the application calls them.
    void CreateAndReset() {
        ASSERT_EQ(m_Manager.OnCreateDevice(m_pDevice), S_OK);
        ASSERT_EQ(m_Manager.OnResetDevice(), S_OK);
    }

    CKitDialogResourceManager m_Manager;
    HWND m_hWnd = nullptr;
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};

// Window-message helpers.
inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace guitest
