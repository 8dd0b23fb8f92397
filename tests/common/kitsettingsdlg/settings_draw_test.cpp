// The settings page in pixels on the 640 x 480 software back buffer: the
// gradient over the whole buffer, the title in the large bold font, labels
// right-aligned against their boxes, an open combo box over the boxes below.
#include <cstdlib>

#include "tests/common/kitsettingsdlg/settings_fixture.h"
#include "tests/support/device_fixture.h"

namespace {

using settingstest::SettingsTest;

class SettingsDrawTest : public SettingsTest {
  protected:
    static constexpr int kWidth = 640, kHeight = 480;

    void Frame() {
        // Long frames: every fade has finished.
        EXPECT_EQ(m_Dlg.OnRender(10.0f), S_OK);
        m_Pixels = tumbral_test::ReadBackBuffer(KitCurrentDevice());
        ASSERT_EQ(m_Pixels.size(), size_t(kWidth) * kHeight);
    }
    DWORD At(int x, int y) const { return m_Pixels[size_t(y) * kWidth + size_t(x)] & 0xFFFFFF; }
    static bool Near(DWORD a, DWORD b, int tolerance = 12) {
        for (int s = 0; s < 24; s += 8)
            if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tolerance) return false;
        return true;
    }
    static bool Bright(DWORD c) {
        return (c & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && ((c >> 16) & 0xFF) > 200;
    }
    // Bounding box of the bright (text) pixels inside a rectangle; empty when none.
    RECT TextBounds(int left, int top, int right, int bottom) const {
        RECT rc{right, bottom, left, top};
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (Bright(At(x, y))) {
                    rc.left = std::min<LONG>(rc.left, x);
                    rc.top = std::min<LONG>(rc.top, y);
                    rc.right = std::max<LONG>(rc.right, x + 1);
                    rc.bottom = std::max<LONG>(rc.bottom, y + 1);
                }
        return rc;
    }
    int Differences(const std::vector<DWORD>& other, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (!Near(At(x, y), other[size_t(y) * kWidth + size_t(x)] & 0xFFFFFF, 40)) ++n;
        return n;
    }

    std::vector<DWORD> m_Pixels;
};

TEST_F(SettingsDrawTest, GradientTitleAndRightAlignedLabels) {
    ASSERT_EQ(KitGetBackBufferSurfaceDesc()->Width, UINT(kWidth));
    m_Dlg.Activate(true);
    ASSERT_NO_FATAL_FAILURE(Frame());

    // The page's corner colours cover the buffer (not the clear colour 0x003F3F).
    EXPECT_TRUE(Near(At(1, 1), 0x628ACE)) << std::hex << At(1, 1);
    EXPECT_TRUE(Near(At(kWidth - 2, 1), 0x3669C0)) << std::hex << At(kWidth - 2, 1);
    EXPECT_TRUE(Near(At(1, kHeight - 2), 0x3669C0)) << std::hex << At(1, kHeight - 2);
    EXPECT_TRUE(Near(At(kWidth - 2, kHeight - 2), 0x0A49B3)) << std::hex << At(kWidth - 2, kHeight - 2);

    // The title: left-aligned at the top of its rectangle, much taller than a label.
    const RECT title = TextBounds(10, 5, 410, 50);
    const RECT label = TextBounds(10, 50, 190, 73);
    ASSERT_LT(title.left, title.right) << "title drawn";
    ASSERT_LT(label.left, label.right) << "label drawn";
    EXPECT_LT(title.left, 16);
    EXPECT_LT(title.top, 20) << "top-aligned";
    EXPECT_GT(title.bottom - title.top, (label.bottom - label.top) * 3 / 2);
    // "Display Adapter" ends against its box at x = 190 and starts well to the right of 10.
    EXPECT_GT(label.right, 180);
    EXPECT_GT(label.left, 40);
}

TEST_F(SettingsDrawTest, AnOpenComboBoxCoversTheBoxesBelowIt) {
    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    const std::vector<std::wstring> formats = Texts(KIT_SETTINGS_BACK_BUFFER_FORMAT);
    if (formats.size() < 2) GTEST_SKIP() << "one back-buffer format only";

    // Box 13 (y 265..288) lies under the resolution box's list (y 228..334).
    const int left = 204, top = 267, right = 396, bottom = 286;
    Pick(KIT_SETTINGS_BACK_BUFFER_FORMAT, formats[0]);
    ASSERT_NO_FATAL_FAILURE(Frame());
    const std::vector<DWORD> closedA = m_Pixels;
    Pick(KIT_SETTINGS_BACK_BUFFER_FORMAT, formats[1]);
    ASSERT_NO_FATAL_FAILURE(Frame());
    ASSERT_GT(Differences(closedA, left, top, right, bottom), 10) << "box 13 shows its text";

    ClickControl(KIT_SETTINGS_RESOLUTION);
    ASSERT_TRUE(Box(KIT_SETTINGS_RESOLUTION)->IsDroppedDown());
    ASSERT_NO_FATAL_FAILURE(Frame());
    const std::vector<DWORD> openB = m_Pixels;
    EXPECT_GT(Differences(closedA, left, top, right, bottom), 10) << "the list is drawn there";

    Pick(KIT_SETTINGS_BACK_BUFFER_FORMAT, formats[0]);
    ClickControl(KIT_SETTINGS_RESOLUTION);
    ASSERT_TRUE(Box(KIT_SETTINGS_RESOLUTION)->IsDroppedDown());
    ASSERT_NO_FATAL_FAILURE(Frame());
    EXPECT_EQ(Differences(openB, left, top, right, bottom), 0) << "box 13's text shows through the open list";
}

}  // namespace
