// The Direct3D settings page: a full OnRender of the activated page on a
// 1280 x 720 windowed software device, drawing finished (OnRender ends the
// scene, which draws the queued quads), and a Reload against the catalogue
// of two headless monitors (1920 x 1080 at 75 Hz and 1280 x 1024 at 60 Hz).
//   BM_SettingsOnRender   one frame of the page
//   BM_SettingsReload     every box refilled from the current settings
//   BM_SettingsOnRenderHover a frame while the mouse moves between two combo boxes every frame (their
//                         looks fade in and out, the rest of the page stays as it was)
//   BM_ClearAndEmptyScene the floor under OnRender: the same clear and an empty scene
// TUMBRAL_REDRAW_ALL=1 makes the device draw every band of every frame, even where the frame
// repeats the last one: the cost of a page whose every pixel changes.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"
#include "common/kitgui/dialog_resource_manager.h"
#include "common/kitsettingsdlg/settings_dialog.h"

namespace {

CKitDialogResourceManager g_Manager;
CD3DSettingsDlg g_Page;

HRESULT Created(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC*, void*) {
    HRESULT hr = g_Manager.OnCreateDevice(pd3dDevice);
    return FAILED(hr) ? hr : g_Page.OnCreateDevice(pd3dDevice);
}
HRESULT Reset(IDirect3DDevice9*, const D3DSURFACE_DESC*, void*) {
    HRESULT hr = g_Manager.OnResetDevice();
    return FAILED(hr) ? hr : g_Page.OnResetDevice();
}
void Lost(void*) {
    g_Manager.OnDeviceLost();
    g_Page.OnDeviceLost();
}
void Destroyed(void*) {
    g_Manager.OnDeviceDestroyed();
    g_Page.OnDeviceDestroyed();
}

struct Scene {
    bool ready = false;
    Scene() {
        setenv("TUMBRAL_BACKEND", "headless", 1);
        setenv("TUMBRAL_HEADLESS_MONITORS", "1920x1080@75,1280x1024@60", 1);
        setenv("TUMBRAL_HEADLESS_NOWAIT", "1", 1);
        setenv("TUMBRAL_DEBUG_OUTPUT", "off", 1);
        KitRegisterDeviceCreated(Created);
        KitRegisterDeviceReset(Reset);
        KitRegisterDeviceLost(Lost);
        KitRegisterDeviceDestroyed(Destroyed);
        g_Page.Setup(&g_Manager);
        if (FAILED(KitStartup(false, false, false, false)) || FAILED(KitCreateWindow(L"Settings bench")) ||
            FAILED(KitBuildDevice(0, true, 1280, 720)))
            return;
        const D3DSURFACE_DESC* pDesc = KitGetBackBufferSurfaceDesc();
        if (!pDesc || pDesc->Width != 1280 || pDesc->Height != 720) return;
        g_Page.Activate(true);
        // Fade the looks in and warm the glyph cache.
        for (int i = 0; i < 10; ++i) g_Page.OnRender(1.0f);
        ready = g_Page.IsActivated() && SUCCEEDED(g_Page.Reload());
    }
    ~Scene() { KitTerminate(0); }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_SettingsOnRender(benchmark::State& state) {
    if (!TheScene().ready) return state.SkipWithError("no device, font or skin");
    for (auto _ : state) benchmark::DoNotOptimize(g_Page.OnRender(1.0f / 60.0f));
}
BENCHMARK(BM_SettingsOnRender)->Unit(benchmark::kMillisecond);

void BM_SettingsOnRenderHover(benchmark::State& state) {
    if (!TheScene().ready) return state.SkipWithError("no device, font or skin");
    const HWND hWnd = KitActiveWindow();
    int frame = 0;
    for (auto _ : state) {
        // Over "Display Adapter"'s box, then over "Back Buffer Format"'s, in turn.
        const LPARAM at = ++frame % 2 ? MAKELPARAM(340, 61) : MAKELPARAM(340, 276);
        g_Page.MsgProc(hWnd, WM_MOUSEMOVE, 0, at);
        benchmark::DoNotOptimize(g_Page.OnRender(1.0f / 60.0f));
    }
}
BENCHMARK(BM_SettingsOnRenderHover)->Unit(benchmark::kMillisecond);

void BM_ClearAndEmptyScene(benchmark::State& state) {
    if (!TheScene().ready) return state.SkipWithError("no device, font or skin");
    IDirect3DDevice9* pDevice = KitCurrentDevice();
    for (auto _ : state) {
        pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00003F3F, 1.0f, 0);
        pDevice->BeginScene();
        benchmark::DoNotOptimize(pDevice->EndScene());
    }
}
BENCHMARK(BM_ClearAndEmptyScene)->Unit(benchmark::kMillisecond);

void BM_SettingsReload(benchmark::State& state) {
    if (!TheScene().ready) return state.SkipWithError("no device, font or skin");
    for (auto _ : state) benchmark::DoNotOptimize(g_Page.Reload());
}
BENCHMARK(BM_SettingsReload)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
