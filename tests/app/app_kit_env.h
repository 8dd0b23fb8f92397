// Test environment for the application on the real framework: its device
// callbacks registered, its dialogs set up, a framework window and device
// in a private working directory with a plain box.x, and the cube unbuilt.
#pragma once

#include <gtest/gtest.h>

#include "app/app_callbacks.h"
#include "app/app_globals.h"
#include "app/app_restore_dialog.h"
#include "app/app_settings_dialog.h"
#include "tests/app/cube_test_env.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"
#include "tests/support/headless_fixture.h"
#include "tests/support/kit_test_app.h"

class AppOnKitTest : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(m_WorkDir.Enter("app_on_kit_test"));
        WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), SixColours(), 10.0f));
        kittest::KitResetStateForTests();
        KitRegisterDeviceCreated(AppDeviceCreated, nullptr);
        KitRegisterDeviceReset(AppDeviceReset, nullptr);
        KitRegisterDeviceLost(AppDeviceLost, nullptr);
        KitRegisterDeviceDestroyed(AppDeviceDestroyed, nullptr);
        // The dialogs are set up once per process, as the application's start does.
        static bool s_bDialogsSetUp = false;
        if (!s_bDialogsSetUp) {
            AppInitSettingsDialog();
            AppInitRestoreDialog();
            s_bDialogsSetUp = true;
        }
        ASSERT_EQ(KitStartup(false, true, false, true), S_OK);
        ASSERT_EQ(KitCreateWindow(L"Tumbral"), S_OK);
        ASSERT_EQ(KitBuildDevice(0, true, 640, 480, AppAcceptDevice, AppAdjustDeviceSetup, nullptr), S_OK);
        g_bCubeBuilt = false;
    }
    void TearDown() override {
        g_SettingsDlg.Activate(false);
        KitTerminate(0);
        EXPECT_NE(KitProcessExitCode(), 5) << "a device reference was left behind";
        kittest::KitResetStateForTests();
        m_WorkDir.Leave();
        HeadlessTest::TearDown();
    }

    tumbral_test::TempWorkDir m_WorkDir;
};
