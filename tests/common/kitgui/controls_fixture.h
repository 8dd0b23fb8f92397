// A dialog on a 640 x 480 software device for the list and value controls'
// tests: window messages in, recorded events and back-buffer pixels out, and
// the framework's clock stepped by hand.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "tests/common/kitgui/gui_fixture.h"
#include "common/kit/state/kit_state.h"

namespace guitest {

struct Event {
    UINT nEvent;
    int nId;
    bool operator==(const Event&) const = default;
};

class ControlsTest : public GuiTest {
  protected:
    static constexpr int kWidth = 640, kHeight = 480;
    static constexpr D3DCOLOR kClear = D3DCOLOR_XRGB(45, 50, 170);

    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(kWidth, kHeight));
        m_Dialog.Init(&m_Manager, true);
        m_Dialog.SetEventHandler(Record, &m_Events);
        ASSERT_NO_FATAL_FAILURE(CreateAndReset());
        SetTime(1.0);
    }
    void TearDown() override {
        m_Dialog.DeleteAllControls();
        m_Manager.DetachDialog(&m_Dialog);
        GuiTest::TearDown();
    }

    static void Record(UINT nEvent, int nId, CKitControl*, void* pContext) {
        static_cast<std::vector<Event>*>(pContext)->push_back({nEvent, nId});
    }
    // Events of one kind recorded since the last Clear.
    int Count(UINT nEvent) const {
        return int(std::count_if(m_Events.begin(), m_Events.end(),
                                 [&](const Event& e) { return e.nEvent == nEvent; }));
    }

    void SetTime(double fTime) {
        KitStateLock lock;
        KitCore().m_fTime = fTime;
    }
    double Now() const { return KitCore().Get(&CKitCoreState::m_fTime); }

    bool Send(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return m_Dialog.ProcessMessage(m_hWnd, uMsg, wParam, lParam);
    }
    bool Down(int x, int y, WPARAM wKeys = 0) {
        return Send(WM_LBUTTONDOWN, MK_LBUTTON | wKeys, Point(x, y));
    }
    bool Up(int x, int y, WPARAM wKeys = 0) { return Send(WM_LBUTTONUP, wKeys, Point(x, y)); }
    bool Move(int x, int y, WPARAM wKeys = 0) { return Send(WM_MOUSEMOVE, wKeys, Point(x, y)); }
    bool Click(int x, int y, WPARAM wKeys = 0) {
        const bool bDown = Down(x, y, wKeys);
        Up(x, y, wKeys);
        return bDown;
    }
    // The wheel over a client point, as the window system posts it (with the
    // screen point) to the window, handed to the dialog.
    bool Wheel(int nDelta, int x, int y) {
        PushMouse(plat::EventType::MouseWheel, x, y, plat::MouseButton::Left, false, nDelta);
        MSG msg = {};
        if (!PeekMessageW(&msg, m_hWnd, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE)) {
            ADD_FAILURE() << "no wheel message";
            return false;
        }
        EXPECT_NE(msg.lParam, Point(x, y)) << "the window sits away from the screen's corner";
        return m_Dialog.ProcessMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    }
    bool Key(UINT vk, LPARAM lParam = 0) { return Send(WM_KEYDOWN, vk, lParam); }

    // One frame: clear, the dialog, and the pixels back.
    void Frame(float fElapsed = 1.0f) {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, kClear, 1.0f, 0);
        m_pDevice->BeginScene();
        EXPECT_EQ(m_Dialog.OnRender(fElapsed), S_OK);
        m_pDevice->EndScene();
        m_Pixels = tumbral_test::ReadBackBuffer(m_pDevice);
        ASSERT_EQ(m_Pixels.size(), size_t(kWidth) * kHeight);
    }
    DWORD At(int x, int y) const { return m_Pixels[size_t(y) * kWidth + size_t(x)] & 0xFFFFFF; }
    // Pixels of a block that differ from another frame's by more than 40 in a channel.
    int Changed(const std::vector<DWORD>& before, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const DWORD a = m_Pixels[size_t(y) * kWidth + size_t(x)],
                            b = before[size_t(y) * kWidth + size_t(x)];
                for (int s = 0; s < 24; s += 8)
                    if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 40) {
                        ++n;
                        break;
                    }
            }
        return n;
    }

    CKitDialog m_Dialog;
    std::vector<Event> m_Events;
    std::vector<DWORD> m_Pixels;
};

}  // namespace guitest
