// The application's device callbacks: which devices it accepts, and what it
// creates, resets and releases as the device comes and goes.
#include "app/app_callbacks.h"
#include "app/app_globals.h"
#include "app/app_restore_dialog.h"
#include "app/app_settings_dialog.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"

namespace {

// The start view: looking at the cube's centre from 100 units in front of it.
void PlaceCamera() {
    D3DXVECTOR3 vEye(0.0f, 0.0f, -100.0f);
    D3DXVECTOR3 vTarget(0.0f, 0.0f, 0.0f);
    g_ViewCamera.SetEyeAndTarget(&vEye, &vTarget);
}

}  // namespace

// Only formats that can be alpha-blended after the pixel stage are usable.
bool AppAcceptDevice(D3DCAPS9* pCaps, D3DFORMAT AdapterFormat, D3DFORMAT BackBufferFormat, bool, void*) {
    IDirect3D9* pD3D = KitGetD3DObject();
    if (!pD3D) return false;
    return SUCCEEDED(pD3D->CheckDeviceFormat(pCaps->AdapterOrdinal, pCaps->DeviceType, AdapterFormat,
                                             D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING, D3DRTYPE_TEXTURE,
                                             BackBufferFormat));
}

bool AppAdjustDeviceSetup(KitDeviceSetup*, const D3DCAPS9*, void*) { return true; }

HRESULT AppDeviceCreated(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC*, void*) {
    HRESULT hr;
    if (FAILED(hr = g_DialogResourceManager.OnCreateDevice(pd3dDevice)))
        return KIT_LOG_FAILURE(L"g_DialogResourceManager.OnCreateDevice( pd3dDevice )", hr);
    if (FAILED(hr = g_SettingsDlg.OnCreateDevice(pd3dDevice)))
        return KIT_LOG_FAILURE(L"g_SettingsDlg.OnCreateDevice( pd3dDevice )", hr);

    if (FAILED(hr = AppHudDeviceCreated(pd3dDevice))) return hr;

    // A new device after the cube was built (reference device, full-screen
    // switch, failed reset): the puzzle keeps its state, only its mesh and
    // textures are made again for this device.
    // A file that cannot be used shows its message and leaves the cube
    // empty; running out of memory fails the device objects.
    if (g_PuzzleCube.IsLaidOut() && !g_PuzzleCube.HasDeviceObjects() &&
        !g_PuzzleCube.CreateDeviceObjects(pd3dDevice) && g_PuzzleCube.DeviceObjectsResult() == E_OUTOFMEMORY)
        return KIT_LOG_FAILURE(L"g_PuzzleCube.CreateDeviceObjects( pd3dDevice )", E_OUTOFMEMORY);

    PlaceCamera();
    return S_OK;
}

HRESULT AppDeviceReset(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC* pBackBufferSurfaceDesc, void*) {
    HRESULT hr;
    if (FAILED(hr = g_DialogResourceManager.OnResetDevice()))
        return KIT_LOG_FAILURE(L"g_DialogResourceManager.OnResetDevice()", hr);
    if (FAILED(hr = g_SettingsDlg.OnResetDevice()))
        return KIT_LOG_FAILURE(L"g_SettingsDlg.OnResetDevice()", hr);
    AppPlaceRestoreButton(pBackBufferSurfaceDesc->Width, pBackBufferSurfaceDesc->Height);

    if (FAILED(hr = AppHudDeviceReset(pd3dDevice))) return hr;

    if (FAILED(hr = CPuzzleCube::SetupLightAndStates(pd3dDevice)))
        return KIT_LOG_FAILURE(L"CPuzzleCube::SetupLightAndStates( pd3dDevice )", hr);

    const UINT nWidth = pBackBufferSurfaceDesc->Width;
    const UINT nHeight = pBackBufferSurfaceDesc->Height;
    float fAspectRatio = static_cast<float>(nWidth) / static_cast<float>(nHeight);
    g_ViewCamera.SetPerspective(D3DX_PI / 4, fAspectRatio, 1.0f, 1000.0f);
    g_ViewCamera.SetViewportSize(static_cast<INT>(nWidth), static_cast<INT>(nHeight), 0.9f);
    return S_OK;
}

void AppDeviceLost(void*) {
    g_DialogResourceManager.OnDeviceLost();
    g_SettingsDlg.OnDeviceLost();
    AppHudDeviceLost();
}

void AppDeviceDestroyed(void*) {
    g_DialogResourceManager.OnDeviceDestroyed();
    g_SettingsDlg.OnDeviceDestroyed();
    AppHudDeviceDestroyed();
    // The cube's mesh and textures hold references on this device; the
    // puzzle itself stays as it is for the next device.
    g_PuzzleCube.ReleaseDeviceObjects();
}
