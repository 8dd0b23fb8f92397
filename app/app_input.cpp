// The application's input callbacks: window messages go to the camera and
// left clicks to picking, the game's keys to the game; F1 toggles the help.
// During a layer turn the application takes no new input, but releases still
// end what was under way.
#include "app/app_callbacks.h"
#include "app/app_game.h"
#include "app/app_globals.h"
#include "app/app_pick.h"
#include "app/app_restore_dialog.h"
#include "app/app_settings_dialog.h"
#include "common/kit/state/kit_getters.h"

namespace {

// Messages that end an action rather than start one: a button or key coming
// up, or the mouse capture going elsewhere.
bool EndsAnAction(UINT uMsg, WPARAM wParam) {
    switch (uMsg) {
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP:
        case WM_XBUTTONUP:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CAPTURECHANGED:
            return true;
        case WM_ACTIVATE:
            // Losing activation lets go of whatever is held.
            return LOWORD(wParam) == WA_INACTIVE;
        default:
            return false;
    }
}

// The left button's release with no other button held, or the capture going
// to another window, gives the capture back: a right-button drag of the camera
// keeps it until its own release. The clock is not touched: the application
// never halts it.
void ReleaseCaptureIfDone(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const WPARAM kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;
    if ((uMsg == WM_LBUTTONUP && (wParam & kButtons) == 0) ||
        (uMsg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != hWnd))
        ReleaseCapture();
}

}  // namespace

LRESULT AppMsgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool* pbNoFurtherProcessing, void*) {
    // During a layer turn nothing new starts (no click, drag, wheel or key
    // reaches the camera or picking), but the camera still sees the end of a
    // press that began before the turn, so no button or key stays held.
    if (g_PuzzleCube.IsTurning()) {
        if (EndsAnAction(uMsg, wParam)) {
            g_ViewCamera.ProcessMessage(hWnd, uMsg, wParam, lParam);
            ReleaseCaptureIfDone(hWnd, uMsg, wParam, lParam);
        }
        return 0;
    }

    // The dialogs' shared resources and the restore dialog see the message
    // first and may consume it.
    *pbNoFurtherProcessing = g_DialogResourceManager.MsgProc(hWnd, uMsg, wParam, lParam);
    if (*pbNoFurtherProcessing) return 0;
    // An active settings page takes every message.
    if (g_SettingsDlg.IsActivated()) {
        g_SettingsDlg.MsgProc(hWnd, uMsg, wParam, lParam);
        return 0;
    }
    *pbNoFurtherProcessing = g_TipsUI.ProcessMessage(hWnd, uMsg, wParam, lParam);
    if (*pbNoFurtherProcessing) return 0;
    // Ctrl+N, Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z.
    if (AppGameKey(uMsg, wParam, lParam)) return 0;

    g_ViewCamera.ProcessMessage(hWnd, uMsg, wParam, lParam);

    // A quick second click arrives as a double-click; it picks all the same.
    if (uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK) {
        IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
        if (pd3dDevice && AppPick(pd3dDevice, g_PuzzleCube, LOWORD(lParam), HIWORD(lParam)))
            AppGameAfterPick(wParam);
    } else {
        ReleaseCaptureIfDone(hWnd, uMsg, wParam, lParam);
    }
    return 0;
}

void AppKeyboard(UINT nChar, bool bKeyDown, bool, void*) {
    if (bKeyDown && nChar == VK_F1) g_bHelpVisible = !g_bHelpVisible;
}
