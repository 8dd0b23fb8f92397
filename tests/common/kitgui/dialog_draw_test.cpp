// Dialog drawing on the software device, in real pixels: the background
// gradient, the button's face in its states, its label's glyphs, the state
// block that puts device state back, and the refresh stamp.
#include <gtest/gtest.h>

#include "tests/common/kitgui/gui_fixture.h"
#include "common/kit/state/kit_state.h"
#include "common/kitgui/control_button.h"

namespace {

constexpr D3DCOLOR kClear = D3DCOLOR_XRGB(45, 50, 170);

struct Rgb {
    int r, g, b;
};

class DialogDraw : public guitest::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(640, 480));
        m_Dialog.Init(&m_Manager, true);
        ASSERT_NO_FATAL_FAILURE(CreateAndReset());
    }
    void TearDown() override {
        m_Dialog.DeleteAllControls();
        m_Manager.DetachDialog(&m_Dialog);
        GuiTest::TearDown();
    }

    // One frame: clear, the dialog, and the pixels back.
    void Frame(float fElapsed = 1.0f) {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        m_pDevice->BeginScene();
        EXPECT_EQ(m_Dialog.OnRender(fElapsed), S_OK);
        m_pDevice->EndScene();
        m_Pixels = tumbral_test::ReadBackBuffer(m_pDevice);
        ASSERT_EQ(m_Pixels.size(), 640u * 480u);
    }
    DWORD At(int x, int y) const { return m_Pixels[size_t(y) * 640 + size_t(x)]; }
    // Mean colour of a block of pixels.
    Rgb Mean(int left, int top, int right, int bottom) const {
        long r = 0, g = 0, b = 0, n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x, ++n) {
                r += (At(x, y) >> 16) & 0xFF;
                g += (At(x, y) >> 8) & 0xFF;
                b += At(x, y) & 0xFF;
            }
        return {int(r / n), int(g / n), int(b / n)};
    }
    // Pixels of a block that differ from another frame's by more than 40 in a channel.
    int Changed(const std::vector<DWORD>& before, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const DWORD a = At(x, y), b = before[size_t(y) * 640 + size_t(x)];
                for (int s = 0; s < 24; s += 8)
                    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 40) {
                        ++n;
                        break;
                    }
            }
        return n;
    }
    bool Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
        return m_Dialog.ProcessMessage(m_hWnd, uMsg, wParam, lParam);
    }

    CKitDialog m_Dialog;
    std::vector<DWORD> m_Pixels;
};

TEST_F(DialogDraw, TheBackgroundIsDrawnOnlyWithANonZeroCornerAlpha) {
    m_Dialog.MoveTo(100, 100);
    m_Dialog.SetDialogSize(200, 100);
    m_Dialog.SetCornerColors(0x00FF0000, 0x00FF0000, 0x00FF0000, 0x00FF0000);
    Frame();
    EXPECT_EQ(At(102, 102), 0x2D32AAu);
    EXPECT_EQ(At(200, 150), 0x2D32AAu);

    m_Dialog.SetCornerColors(0xFFFF0000, 0x00FF0000, 0x00FF0000, 0x00FF0000);
    Frame();
    EXPECT_GT((At(102, 102) >> 16) & 0xFF, 200u) << std::hex << At(102, 102);
    EXPECT_EQ(At(99, 99), 0x2D32AAu);  // outside
    EXPECT_LT((At(298, 198) >> 16) & 0xFF, 60u) << "the bottom-right corner is nearly transparent";
}

TEST_F(DialogDraw, DrawingPutsTheDeviceStateBack) {
    m_Dialog.CreateButton(1, L"OK", 10, 10, 80, 35);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Frame();
    DWORD value = 0;
    m_pDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE));
    m_pDevice->GetRenderState(D3DRS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, DWORD(TRUE));
    m_pDevice->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_NONE));
    IDirect3DBaseTexture9* pTexture = nullptr;
    m_pDevice->GetTexture(0, &pTexture);
    EXPECT_EQ(pTexture, nullptr);
}

TEST_F(DialogDraw, TheRestoreButtonsFaceChangesWhenHoveredAndPressed) {
    CKitButton* pButton = nullptr;
    ASSERT_EQ(m_Dialog.CreateButton(4, L"还原", 30, 100, 80, 35, 'R', false, &pButton), S_OK);
    pButton->MoveTo(640 - 100, 480 / 10);  // where the application puts it: (540, 48)

    Frame();
    Frame();
    // A patch of the face left of the label.
    const Rgb normal = Mean(546, 58, 554, 74);
    const Rgb outside = Mean(530, 58, 538, 74);
    EXPECT_EQ(outside.b, 170) << "nothing is drawn left of the button";
    EXPECT_LT(normal.b, 150) << "the dark face covers the blue";
    const std::vector<DWORD> normalFrame = m_Pixels;

    Send(WM_MOUSEMOVE, 0, guitest::Point(580, 65));
    EXPECT_TRUE(pButton->m_bHovered);
    Frame();
    Frame();
    const Rgb hovered = Mean(546, 58, 554, 74);
    EXPECT_GT(hovered.r, normal.r + 60) << "the light fill layer shows when hovered";
    EXPECT_GT(hovered.g, normal.g + 60);

    Send(WM_LBUTTONDOWN, MK_LBUTTON, guitest::Point(580, 65));
    EXPECT_TRUE(pButton->IsHeld());
    Frame(0.0f);  // the pressed look comes at once
    const Rgb pressed = Mean(546, 58, 554, 74);
    EXPECT_LT(pressed.r, hovered.r - 40);
    EXPECT_GT(Changed(normalFrame, 530, 40, 630, 90), 100) << "pressed: the face moves by (1, 2) and darkens";
    Send(WM_LBUTTONUP, 0, guitest::Point(580, 65));
    Send(WM_MOUSEMOVE, 0, guitest::Point(10, 10));
    Frame(10.0f);
    EXPECT_EQ(Changed(normalFrame, 530, 40, 630, 90), 0) << "back to the normal look";
}

TEST_F(DialogDraw, TheLabelIsDrawnWithRealGlyphs) {
    CKitButton* pButton = nullptr;
    ASSERT_EQ(m_Dialog.CreateButton(4, L"", 540, 48, 80, 35, 0, false, &pButton), S_OK);
    Frame();
    const std::vector<DWORD> blank = m_Pixels;
    pButton->SetLabel(L"还");
    Frame();
    const std::vector<DWORD> first = m_Pixels;
    const int inkFirst = Changed(blank, 540, 48, 620, 83);
    pButton->SetLabel(L"原");
    Frame();
    const int inkSecond = Changed(blank, 540, 48, 620, 83);
    EXPECT_GT(inkFirst, 15);
    EXPECT_GT(inkSecond, 15);
    // Two different characters: a missing-glyph box would look the same twice.
    EXPECT_GT(Changed(first, 540, 48, 620, 83), 10);
}

TEST_F(DialogDraw, PaintRectFillsItsRectangleInControlCoordinatesAndMeasureTextSizesText) {
    m_Dialog.MoveTo(100, 50);
    m_Dialog.ShowTitleBar(true);  // the client area starts 18 pixels lower
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
    m_pDevice->BeginScene();
    const RECT rc = {10, 10, 30, 20};
    EXPECT_EQ(m_Dialog.PaintRect(&rc, 0xFFFF0000), S_OK);
    m_pDevice->EndScene();
    m_Pixels = tumbral_test::ReadBackBuffer(m_pDevice);
    ASSERT_EQ(m_Pixels.size(), 640u * 480u);
    EXPECT_EQ(At(110, 78), 0xFF0000u);
    EXPECT_EQ(At(129, 87), 0xFF0000u);
    EXPECT_EQ(At(130, 87), 0x2D32AAu);
    EXPECT_EQ(At(110, 88), 0x2D32AAu);
    EXPECT_EQ(At(109, 78), 0x2D32AAu);

    CKitSkinElement* pText = m_Dialog.ElementDefault(KIT_KIND_STATIC, 0);
    ASSERT_NE(pText, nullptr);
    RECT extent = {0, 0, 0, 0};
    EXPECT_EQ(m_Dialog.MeasureText(L"还原", pText, &extent), S_OK);
    EXPECT_GT(extent.right - extent.left, 20);
    EXPECT_GT(extent.bottom - extent.top, 10);
    CKitSkinElement unassigned = *pText;
    unassigned.nFont = 5;
    EXPECT_EQ(m_Dialog.MeasureText(L"x", &unassigned, &extent), E_FAIL);
}

TEST_F(DialogDraw, ARefreshStampResetsTheControlsOnceOnTheNextFrame) {
    {
        KitStateLock lock;
        KitCore().m_fTime = 5.0;
    }
    m_Dialog.SetKeyboardNav(true);
    CKitButton* pButton = nullptr;
    ASSERT_EQ(m_Dialog.CreateButton(1, L"b", 10, 10, 80, 35, 0, false, &pButton), S_OK);
    Frame();
    m_Dialog.FocusControl(pButton);
    Frame();
    EXPECT_EQ(CKitDialog::FocusedControl(), pButton);

    CKitDialog::StampRefresh(4.0);
    Frame(0.0f);
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
    EXPECT_EQ(pButton->GetSkinElement(0)->TintColor.Current.a, 0.0f) << "the looks fade in again";

    m_Dialog.FocusControl(pButton);
    Frame();
    EXPECT_EQ(CKitDialog::FocusedControl(), pButton) << "one stamp, one reset";
}

}  // namespace
