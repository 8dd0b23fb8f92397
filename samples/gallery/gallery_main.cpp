// The gallery's entry and its framework callbacks: the device's life passed on
// to the GUI, one frame (every dialog over the window's colour, or the settings
// page alone while it is open), and the window messages routed to the GUI.
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/loop/kit_mainloop.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/time/kit_frame_stats.h"
#include "common/kit/window/kit_window_create.h"
#include "common/kitgui/control_static.h"
#include "platform/strsafe.h"
#include "samples/gallery/gallery.h"

namespace {

// The dialogs in drawing and message order.
CKitDialog* const g_Dialogs[] = {&g_ButtonsUI, &g_ListsUI, &g_TextUI, &g_LogUI, &g_StatusUI};

// The device's life. The resource manager first: it makes the sprite, fonts and
// textures every dialog draws with; the settings page has device objects too.
HRESULT OnDeviceCreated(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC*, void*) {
    HRESULT hr = g_DialogResourceManager.OnCreateDevice(pd3dDevice);
    if (FAILED(hr)) return hr;
    return g_SettingsDlg.OnCreateDevice(pd3dDevice);
}

HRESULT OnDeviceReset(IDirect3DDevice9*, const D3DSURFACE_DESC* pBackBuffer, void*) {
    HRESULT hr = g_DialogResourceManager.OnResetDevice();
    if (FAILED(hr)) return hr;
    if (FAILED(hr = g_SettingsDlg.OnResetDevice())) return hr;
    GalleryPlaceStatus(int(pBackBuffer->Height));
    return S_OK;
}

void OnDeviceLost(void*) {
    g_DialogResourceManager.OnDeviceLost();
    g_SettingsDlg.OnDeviceLost();
}

void OnDeviceDestroyed(void*) {
    g_DialogResourceManager.OnDeviceDestroyed();
    g_SettingsDlg.OnDeviceDestroyed();
}

// Before drawing: the scroll bar's lines follow it, the status shows the statistics.
void OnFrameMove(IDirect3DDevice9*, double, float, void*) {
    GalleryFollowScroller();
    WCHAR strStats[512];
    StringCchPrintfW(strStats, 512, L"%ls   %ls", KitFrameStatsText(true), KitDeviceStatsText());
    g_StatusUI.FindStatic(IDC_STATUS_LINE)->SetLabel(strStats);
}

void OnFrameRender(IDirect3DDevice9* pd3dDevice, double, float fElapsedTime, void*) {
    // An open settings page is the whole frame.
    if (g_SettingsDlg.IsActivated()) {
        g_SettingsDlg.OnRender(fElapsedTime);
        return;
    }
    pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, g_clrBackground, 1.0f, 0);
    if (FAILED(pd3dDevice->BeginScene())) return;
    for (CKitDialog* pDialog : g_Dialogs) pDialog->OnRender(fElapsedTime);
    pd3dDevice->EndScene();
}

// Enter that no control took presses the focused button, else the default
// button, as in a Windows dialog. (A button reacts to Space by itself; its hot
// key path is how the program presses it.)
bool PressButtonOnEnter(UINT uMsg, WPARAM wParam) {
    if (uMsg != WM_KEYDOWN || wParam != VK_RETURN) return false;
    CKitControl* pFocused = CKitDialog::FocusedControl();
    CKitControl* pButton = pFocused && pFocused->GetKind() == KIT_KIND_BUTTON
                               ? pFocused
                               : g_ButtonsUI.FindControl(IDC_CLEAR_LOG, KIT_KIND_BUTTON);
    pButton->OnAccelKey();
    return true;
}

// Window messages: the resource manager first (input methods), then an open
// settings page takes them all; F2 opens it; otherwise each dialog in turn
// until one takes the message. What no dialog takes goes on to the framework
// (Escape, Alt+Enter, F3, F8, Pause, sizing).
LRESULT OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool* pbNoFurtherProcessing, void*) {
    *pbNoFurtherProcessing = g_DialogResourceManager.MsgProc(hWnd, uMsg, wParam, lParam);
    if (*pbNoFurtherProcessing) return 0;
    if (g_SettingsDlg.IsActivated()) {
        g_SettingsDlg.MsgProc(hWnd, uMsg, wParam, lParam);  // F2 there closes it
        return 0;
    }
    if (uMsg == WM_KEYDOWN && wParam == VK_F2) {
        g_SettingsDlg.Activate(true);
        *pbNoFurtherProcessing = true;
        return 0;
    }
    for (CKitDialog* pDialog : g_Dialogs) {
        *pbNoFurtherProcessing = pDialog->ProcessMessage(hWnd, uMsg, wParam, lParam);
        if (*pbNoFurtherProcessing) return 0;
    }
    *pbNoFurtherProcessing = PressButtonOnEnter(uMsg, wParam);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    KitRegisterDeviceCreated(OnDeviceCreated);
    KitRegisterDeviceReset(OnDeviceReset);
    KitRegisterDeviceLost(OnDeviceLost);
    KitRegisterDeviceDestroyed(OnDeviceDestroyed);
    KitRegisterFrameMove(OnFrameMove);
    KitRegisterFrameRender(OnFrameRender);
    KitRegisterMsgProc(OnMessage);
    GalleryBuildDialogs();

    // The command line, the default hot keys, error boxes and Alt+Enter: all on.
    KitStartup(true, true, true, true);
    KitCreateWindow(L"Tumbral Gallery");
    KitBuildDevice(0, true, 1280, 720);
    KitMainLoop();

    KitTerminate(0);  // releases the device here, so that a leak shows in the exit code
    return KitProcessExitCode();
}
