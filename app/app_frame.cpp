// The application's per-frame callbacks: the camera moves, then the scene is
// drawn (HUD text, the layer turn's step, the cubies and the restore dialog).
#include "app/app_callbacks.h"
#include "app/app_game.h"
#include "app/app_globals.h"
#include "app/app_restore_dialog.h"
#include "app/app_settings_dialog.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/startup/kit_d3d9_library.h"
#include "common/kit/errors/kit_errors.h"

void AppFrameMove(IDirect3DDevice9*, double, float fElapsedTime, void*) {
    g_ViewCamera.Advance(fElapsedTime);
    AppGameFrameMove(fElapsedTime);
}

void AppFrameRender(IDirect3DDevice9* pd3dDevice, double, float fElapsedTime, void*) {
    HRESULT hr;
    // An active settings page is the whole frame.
    if (g_SettingsDlg.IsActivated()) {
        g_SettingsDlg.OnRender(fElapsedTime);
        return;
    }

    pd3dDevice->SetTransform(D3DTS_WORLD, g_ViewCamera.WorldMatrix());
    pd3dDevice->SetTransform(D3DTS_VIEW, g_ViewCamera.ViewMatrix());
    pd3dDevice->SetTransform(D3DTS_PROJECTION, g_ViewCamera.ProjMatrix());

    // The first frame builds the cube; a failed build is not retried (it has
    // shown its message). Out of memory is not a file the user can mend: it
    // ends the run as a failed device-object set-up does, with its message
    // and exit code, rather than going on with an empty cube.
    if (!g_bCubeBuilt) {
        g_bCubeBuilt = true;
        if (!g_PuzzleCube.Build(pd3dDevice) && g_PuzzleCube.DeviceObjectsResult() == E_OUTOFMEMORY) {
            KIT_LOG_FAILURE(L"g_PuzzleCube.Build( pd3dDevice )", E_OUTOFMEMORY);
            KitShowErrorMessage(KITERR_CREATINGDEVICEOBJECTS);
            KitTerminate(0);  // releases the device: nothing more is drawn with it
            return;
        }
    }

    // A scramble asked for (Ctrl+N, /scramble) once the cube exists.
    AppGameBeforeTurn();

    if (FAILED(hr = pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER,
                                      D3DCOLOR_ARGB(0, 45, 50, 170), 1.0f, 0)))
        KIT_LOG_FAILURE(
            L"pd3dDevice->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(0, 45, 50, "
            L"170), 1.0f, 0)",
            hr);

    if (FAILED(pd3dDevice->BeginScene())) return;

    KitPerfBeginEvent(D3DCOLOR_ARGB(255, 200, 100, 100), L"HUD / Stats");
    AppDrawHud();
    // One step of a layer turn (when two usable cubies are marked), then the cubies.
    g_PuzzleCube.AdvanceTurn(pd3dDevice);
    AppGameAfterTurn();
    // The restore dialog is drawn over the cube.
    if (FAILED(hr = g_TipsUI.OnRender(fElapsedTime)))
        KIT_LOG_FAILURE(L"g_TipsUI.OnRender( fElapsedTime )", hr);
    KitPerfEndEvent();

    if (FAILED(hr = pd3dDevice->EndScene())) KIT_LOG_FAILURE(L"pd3dDevice->EndScene()", hr);
}
