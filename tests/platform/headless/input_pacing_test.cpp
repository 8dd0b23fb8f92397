// Script input reaches the program as it reads its messages: a long script
// due at one frame never lies in the message queue all at once, so memory
// stays near the script's own size however much it types.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "platform/manual_clock.h"
#include "tests/support/headless_fixture.h"
#include "tests/support/memory_limit.h"

using tumbral_test::HeadlessTest;

namespace {

LRESULT CALLBACK CountingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    static_cast<void>(hwnd);
    return message == WM_CHAR ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
}

class InputPacingTest : public HeadlessTest {
  protected:
    HWND CreateCountingWindow() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = CountingWndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CountingWindow";
        RegisterClassExW(&wc);
        return CreateTestWindow(200, 100, true, L"CountingWindow");
    }
    // A program's loop: messages while there are any, else a frame; gives the
    // characters typed once the script has finished and a frame brings no more.
    static size_t TypeThrough(HWND hwnd, plat::HeadlessBackend& backend) {
        std::vector<uint32_t> pixels(4, 0);
        const plat::FrameView view{pixels.data(), 2, 2, 2};
        size_t chars = 0;
        bool idleFrame = false;  // a frame was presented and no message came since
        MSG msg;
        for (;;) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                if (msg.message == WM_CHAR) ++chars;
                idleFrame = false;
            } else if (idleFrame && backend.ScriptFinished()) {
                return chars;
            } else {
                plat::PresentToWindow(hwnd, view, false);
                idleFrame = true;
            }
        }
    }
};

// 96 lines of 4,000 letters, all due at once: 1.15 million input events,
// which held in the message queue together would take some 400 MB.
TEST_F(InputPacingTest, LongTypingDueAtOnceIsQueuedAsItIsRead) {
    if (tumbral_test::kAddressSanitized)
        GTEST_SKIP() << "address-space limits cannot be used under the sanitizer";
    constexpr size_t kLines = 96, kLetters = 4000;
    std::string text;
    for (size_t i = 0; i < kLines; ++i) text += "type " + std::string(kLetters, 'q') + "\n";
    plat::Script script;
    std::string error;
    ASSERT_TRUE(plat::ParseScript(text, "long.txt", script, error)) << error;
    HWND hwnd = CreateCountingWindow();
    ASSERT_NE(hwnd, nullptr);
    plat::HeadlessBackend& backend = Backend();
    const tumbral_test::ChildResult r = tumbral_test::RunInChild(
        uint64_t(64) << 20, [&] { backend.RunScript(script); },
        [&]() -> HRESULT {
            try {
                return TypeThrough(hwnd, backend) == kLines * kLetters ? S_OK : E_FAIL;
            } catch (const std::bad_alloc&) {
                return E_OUTOFMEMORY;
            }
        });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_LT(r.peakGrowth, uint64_t(16) << 20);
}

// A burst goes out at once; the rest waits for a frame, a wait, or (for a
// program that does neither, such as a paused one) a pause on the clock.
TEST_F(InputPacingTest, InputBeyondABurstWaitsForAFrameOrAPause) {
    plat::ManualClock clock;
    HWND hwnd = CreateCountingWindow();
    Pump();
    constexpr size_t kLetters = 4000;  // 12,000 events a line
    plat::Script script;
    std::string error;
    const std::string line = "type " + std::string(kLetters, 'q') + "\n";
    ASSERT_TRUE(plat::ParseScript(line + line + line, "burst.txt", script, error)) << error;
    Backend().RunScript(std::move(script));
    auto typed = [] {
        size_t chars = 0;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (msg.message == WM_CHAR) ++chars;
        }
        return chars;
    };
    // Three events a letter; a letter's character comes with its key going down.
    EXPECT_EQ(typed(), (plat::HeadlessBackend::kInputBurst + 2) / 3);
    EXPECT_EQ(typed(), 0u);
    clock.Advance(plat::HeadlessBackend::kInputBurstPause - std::chrono::milliseconds(1));
    EXPECT_EQ(typed(), 0u);
    clock.AdvanceMs(1);
    EXPECT_GT(typed(), 0u);
    std::vector<uint32_t> pixels(4, 0);
    for (int frame = 0; frame < 3; ++frame)
        plat::PresentToWindow(hwnd, plat::FrameView{pixels.data(), 2, 2, 2}, false);
    typed();
    EXPECT_TRUE(Backend().ScriptFinished());
}

}  // namespace
