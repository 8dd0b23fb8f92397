// A scripted backend for framework tests: one virtual monitor, no pixels,
// message boxes recorded and answered from a list, and a hook that runs each
// time the window system polls for input (so a test can act inside a modal
// loop). Installed for one test by TestBackendScope.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "tests/support/inert_backend.h"

namespace kittest {

class TestBackend : public tumbral_test::InertBackend {
  public:
    std::vector<plat::MessageBoxRequest> messageBoxes;  // every box shown, in order
    std::deque<int> messageBoxAnswers;                  // answers to give; the first button when empty
    std::function<void()> onPoll;                       // runs at every poll for input
    std::deque<plat::Event> events;                     // input to deliver
    std::vector<plat::NativeWindowId> windows;          // native windows alive

    const char* Name() const override { return "test"; }
    std::vector<plat::MonitorDesc> Monitors() override {
        plat::MonitorDesc m;
        m.name = "Test Monitor";
        m.bounds = {0, 0, 1280, 1024};
        m.workArea = {0, 0, 1280, 1000};
        m.primary = true;
        m.desktop = {1280, 1024, 60, 32};
        m.modes = {{640, 480, 60, 32}, {800, 600, 60, 32}, {1280, 1024, 60, 32}};
        return {m};
    }
    bool SetDisplayMode(int, const plat::DisplayMode&) override { return true; }
    plat::NativeWindowId CreateNativeWindow(const plat::NativeWindowDesc&) override {
        windows.push_back(++m_nextId);
        return m_nextId;
    }
    void DestroyNativeWindow(plat::NativeWindowId id) override { std::erase(windows, id); }
    bool PollEvent(plat::Event& out) override {
        if (onPoll) onPoll();
        if (events.empty()) return false;
        out = events.front();
        events.pop_front();
        return true;
    }
    int ShowMessageBox(const plat::MessageBoxRequest& request) override {
        messageBoxes.push_back(request);
        if (messageBoxAnswers.empty()) return (request.type & 0xF) == 4 /* MB_YESNO */ ? 6 : 1;
        int answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
        return answer;
    }
    UINT CaretBlinkTimeMs() const override { return 530; }

  private:
    plat::NativeWindowId m_nextId = 0;
};

// Installs a fresh TestBackend for the life of the scope.
class TestBackendScope {
  public:
    TestBackendScope() {
        auto backend = std::make_unique<TestBackend>();
        m_pBackend = backend.get();
        plat::SetBackend(std::move(backend));
    }
    TestBackend& operator*() { return *m_pBackend; }
    TestBackend* operator->() { return m_pBackend; }

  private:
    TestBackend* m_pBackend;
};

}  // namespace kittest
