// The application's hosting of the settings page, with its real callbacks on
// the framework: inactive, the frame and the clicks are the puzzle's; active,
// the page draws the whole frame and takes every message, and F2 closes it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app_callbacks.h"
#include "app/app_globals.h"
#include "app/app_settings_dialog.h"
#include "tests/app/app_kit_env.h"
#include "common/kit/state/kit_getters.h"

namespace {

class AppSettingsHostTest : public AppOnKitTest {
  protected:
    void Frame() {
        IDirect3DDevice9* pDevice = KitCurrentDevice();
        AppFrameRender(pDevice, 1.0, 10.0f, nullptr);
        m_nCorner = tumbral_test::ReadBackBufferPixel(pDevice, 638, 478);
    }
    LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
        bool bNoFurtherProcessing = false;
        return AppMsgProc(KitActiveWindow(), uMsg, wParam, lParam, &bNoFurtherProcessing, nullptr);
    }
    int Marked() const {
        int n = 0;
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) n += g_PuzzleCube.GetCubie(i).bSelected ? 1 : 0;
        return n;
    }
    static bool Near(DWORD a, DWORD b) {
        for (int s = 0; s < 24; s += 8)
            if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 12) return false;
        return true;
    }

    DWORD m_nCorner = 0;
};

TEST_F(AppSettingsHostTest, WhileActiveThePageIsTheWholeFrameAndTakesEveryMessage) {
    // Inactive: the puzzle is built and drawn, and a click at the centre marks a cubie.
    ASSERT_FALSE(g_SettingsDlg.IsActivated());
    Frame();
    EXPECT_TRUE(g_bCubeBuilt);
    EXPECT_TRUE(Near(m_nCorner, 0x2D32AA)) << std::hex << m_nCorner;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
    ASSERT_EQ(Marked(), 1) << "a click picks while the page is closed";

    // Active: the page's gradient, no cube build, and clicks do not pick.
    g_SettingsDlg.Activate(true);
    g_bCubeBuilt = false;
    Frame();
    EXPECT_FALSE(g_bCubeBuilt) << "the scene is not drawn";
    EXPECT_TRUE(Near(m_nCorner, 0x0A49B3)) << std::hex << m_nCorner;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(320, 240));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(320, 240));
    EXPECT_EQ(Marked(), 1);
    // R, the restore button's hot key, goes to the page too.
    Send(WM_KEYDOWN, 'R', 1);
    Send(WM_KEYUP, 'R', LPARAM(0xC0000001u));
    EXPECT_FALSE(g_bCubeBuilt);
    EXPECT_EQ(Marked(), 1);

    // F2 closes it; the next frame is the puzzle's again.
    Send(WM_KEYDOWN, VK_F2, 1);
    EXPECT_FALSE(g_SettingsDlg.IsActivated());
    Frame();
    EXPECT_TRUE(g_bCubeBuilt);
    EXPECT_TRUE(Near(m_nCorner, 0x2D32AA)) << std::hex << m_nCorner;
}

}  // namespace
