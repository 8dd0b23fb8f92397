// A backend with nothing behind it: no monitors, windows, input, clipboard,
// message boxes or game pads. Test backends derive from it and override only
// the calls they script.
#pragma once

#include <string>
#include <vector>

#include "platform/backend.h"

namespace tumbral_test {

class InertBackend : public plat::Backend {
  public:
    const char* Name() const override { return "inert"; }
    std::vector<plat::MonitorDesc> Monitors() override { return {}; }
    bool SetDisplayMode(int, const plat::DisplayMode&) override { return false; }
    void RestoreDisplayMode(int) override {}
    plat::NativeWindowId CreateNativeWindow(const plat::NativeWindowDesc&) override { return 0; }
    void DestroyNativeWindow(plat::NativeWindowId) override {}
    void SetNativeWindowTitle(plat::NativeWindowId, const std::wstring&) override {}
    void SetNativeWindowRect(plat::NativeWindowId, const RECT&) override {}
    void SetNativeWindowShow(plat::NativeWindowId, plat::ShowState) override {}
    void SetNativeWindowStyle(plat::NativeWindowId, bool, bool, bool) override {}
    void SetNativeWindowFullscreen(plat::NativeWindowId, int) override {}
    void FocusNativeWindow(plat::NativeWindowId) override {}
    RECT DecorationInsets() const override { return {0, 0, 0, 0}; }
    void Present(plat::NativeWindowId, const plat::FrameView&, bool) override {}
    bool PollEvent(plat::Event&) override { return false; }
    void WaitEvent(int) override {}
    POINT CursorPos() override { return {0, 0}; }
    void SetCursorPos(int, int) override {}
    void ShowCursor(bool) override {}
    void ClipCursor(const RECT*) override {}
    void CaptureMouse(bool) override {}
    bool SetClipboardText(const std::string&) override { return false; }
    bool GetClipboardText(std::string&) override { return false; }
    int ShowMessageBox(const plat::MessageBoxRequest&) override { return -1; }
    UINT DoubleClickTimeMs() const override { return 500; }
    UINT CaretBlinkTimeMs() const override { return 500; }
    bool Gamepad(int, plat::GamepadState& out) override {
        out = plat::GamepadState{};
        return false;
    }
    void SetGamepadVibration(int, WORD, WORD) override {}
};

}  // namespace tumbral_test
