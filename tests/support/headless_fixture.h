// Test fixture: a fresh window system on a fresh headless backend (one
// 1920 x 1080 monitor unless the test asks otherwise, no vsync waits), plus a
// recording window procedure for checking message order and parameters.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/win32.h"

namespace tumbral_test {

// One message seen by a recording window procedure.
struct SeenMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Messages seen by RecordingWndProc, in order.
std::vector<SeenMessage>& Seen();
// Messages of one kind from Seen().
std::vector<SeenMessage> SeenOf(UINT message);
// Records the message, then passes it to DefWindowProcW.
LRESULT CALLBACK RecordingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the backend with one configured as given (windows are destroyed first).
    void UseBackend(plat::HeadlessConfig config);
    plat::HeadlessBackend& Backend() { return *m_backend; }

    // Registers a class using RecordingWndProc (name "TestWindow", given class styles).
    void RegisterTestClass(UINT style = 0, LPCWSTR name = L"TestWindow");
    // A WS_OVERLAPPEDWINDOW window of the test class with the given client size, at (100, 100).
    HWND CreateTestWindow(int clientWidth = 640, int clientHeight = 480, bool visible = true,
                          LPCWSTR className = L"TestWindow");
    // Peeks, translates and dispatches until the queue is empty; returns the number dispatched.
    int Pump();
    // Queues an event on the headless backend (window 0: the focused native window).
    void Push(const plat::Event& e) { m_backend->PushEvent(e); }
    void PushKey(UINT vk, bool down);
    void PushMouse(plat::EventType type, int x, int y, plat::MouseButton b = plat::MouseButton::Left,
                   bool down = false, int wheelDelta = 0);

  private:
    plat::HeadlessBackend* m_backend = nullptr;
};

// Reads one pixel of a PNG file as 0xRRGGBB; false when the file cannot be read.
bool ReadPngPixel(const std::string& path, int x, int y, uint32_t& rgb, int* width = nullptr,
                  int* height = nullptr);

}  // namespace tumbral_test
