// The built-in system libraries the framework loads: the Direct3D library
// with its performance markers, and the game-pad library over the backend.
#include <gtest/gtest.h>

#include <memory>

#include "platform/backend/backend_table.h"
#include "platform/d3d9.h"
#include "platform/win32.h"
#include "platform/xinput.h"
#include "tests/support/inert_backend.h"

namespace {

TEST(SystemModules, Direct3DLibraryEntryPoints) {
    HMODULE d3d9 = LoadLibraryW(L"/system\\D3D9.dll");
    ASSERT_NE(d3d9, nullptr);
    for (const char* name :
         {"Direct3DCreate9", "D3DPERF_BeginEvent", "D3DPERF_EndEvent", "D3DPERF_SetMarker",
          "D3DPERF_SetRegion", "D3DPERF_QueryRepeatFrame", "D3DPERF_SetOptions", "D3DPERF_GetStatus"})
        EXPECT_NE(GetProcAddress(d3d9, name), nullptr) << name;
    typedef int(WINAPI * BeginFn)(D3DCOLOR, LPCWSTR);
    typedef int(WINAPI * EndFn)();
    auto begin = reinterpret_cast<BeginFn>(GetProcAddress(d3d9, "D3DPERF_BeginEvent"));
    auto end = reinterpret_cast<EndFn>(GetProcAddress(d3d9, "D3DPERF_EndEvent"));
    // Events nest; an end without a begin reports -1.
    EXPECT_EQ(begin(0xFFC86464, L"HUD / Stats"), 0);
    EXPECT_EQ(begin(0xFFC86464, L"inner"), 1);
    EXPECT_EQ(end(), 1);
    EXPECT_EQ(end(), 0);
    EXPECT_EQ(end(), -1);
    EXPECT_TRUE(FreeLibrary(d3d9));
}

// A backend with one game pad at index 1, recording vibration requests.
class PadBackend : public tumbral_test::InertBackend {
  public:
    WORD left = 1, right = 1;
    int vibrated = -1;
    const char* Name() const override { return "pads"; }
    bool Gamepad(int index, plat::GamepadState& out) override {
        out = plat::GamepadState{};
        if (index != 1) return true;
        out.connected = true;
        out.packet = 7;
        out.buttons = XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_DPAD_UP;
        out.leftTrigger = 200;
        out.thumbLX = -32768;
        out.thumbRY = 1234;
        return true;
    }
    void SetGamepadVibration(int index, WORD l, WORD r) override {
        vibrated = index;
        left = l;
        right = r;
    }
};

TEST(SystemModules, GamePadLibraryReadsTheBackend) {
    auto owned = std::make_unique<PadBackend>();
    PadBackend* pads = owned.get();
    plat::SetBackend(std::move(owned));

    HMODULE xinput = LoadLibraryW(L"/system\\xinput1_3.dll");
    ASSERT_NE(xinput, nullptr);
    auto getState = reinterpret_cast<LPXINPUTGETSTATE>(GetProcAddress(xinput, "XInputGetState"));
    auto setState = reinterpret_cast<LPXINPUTSETSTATE>(GetProcAddress(xinput, "XInputSetState"));
    auto enable = reinterpret_cast<LPXINPUTENABLE>(GetProcAddress(xinput, "XInputEnable"));
    ASSERT_TRUE(getState && setState && enable);

    XINPUT_STATE state{};
    EXPECT_EQ(getState(0, &state), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(getState(XUSER_MAX_COUNT, &state), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
    ASSERT_EQ(getState(1, &state), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(state.dwPacketNumber, 7u);
    EXPECT_EQ(state.Gamepad.wButtons, XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_DPAD_UP);
    EXPECT_EQ(state.Gamepad.bLeftTrigger, 200);
    EXPECT_EQ(state.Gamepad.sThumbLX, -32768);
    EXPECT_EQ(state.Gamepad.sThumbRY, 1234);

    XINPUT_VIBRATION stop{0, 0};
    EXPECT_EQ(setState(0, &stop), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    XINPUT_VIBRATION buzz{1000, 2000};
    EXPECT_EQ(setState(1, &buzz), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(pads->vibrated, 1);
    EXPECT_EQ(pads->right, 2000);

    // Disabled: pads read neutral and the motors stop.
    enable(FALSE);
    ASSERT_EQ(getState(1, &state), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(state.Gamepad.wButtons, 0);
    EXPECT_EQ(pads->left, 0);
    EXPECT_EQ(pads->right, 0);
    enable(TRUE);
    EXPECT_TRUE(FreeLibrary(xinput));

    plat::SetBackend(plat::CreateBackendByName("headless"));
}

}  // namespace
