// The restore dialog: its set-up, the button's place after each reset, and
// what a click (or R) on it does.
#include "app/app_restore_dialog.h"

#include "app/app_game.h"
#include "app/app_globals.h"
#include "common/kitgui/control_button.h"

CKitDialogResourceManager g_DialogResourceManager;
CKitDialog g_TipsUI;

void AppInitRestoreDialog() {
    g_TipsUI.Init(&g_DialogResourceManager, true);
    g_TipsUI.SetEventHandler(AppGuiEvent, nullptr);
    g_TipsUI.AssignFont(1, L"Comic Sans MS", 24, FW_NORMAL);
    g_TipsUI.AssignFont(2, L"Courier New", 16, FW_NORMAL);
    g_TipsUI.CreateButton(IDC_RESTORE, L"还原", 30, 100, 80, 35, 0x52, false);
}

void AppPlaceRestoreButton(UINT nBackBufferWidth, UINT nBackBufferHeight) {
    CKitControl* pButton = g_TipsUI.FindControl(IDC_RESTORE, KIT_KIND_BUTTON);
    if (pButton) pButton->MoveTo(int(nBackBufferWidth) - 100, int(nBackBufferHeight / 10));
}

void AppGuiEvent(UINT, int nControlId, CKitControl*, void*) {
    if (nControlId != IDC_RESTORE) return;
    // The start view, and a rebuild of the puzzle in its start position on the
    // next frame (which also clears every mark).
    D3DXVECTOR3 vEye(0.0f, 0.0f, -100.0f);
    D3DXVECTOR3 vTarget(0.0f, 0.0f, 0.0f);
    g_ViewCamera.SetEyeAndTarget(&vEye, &vTarget);
    g_bCubeBuilt = false;
    // The game ends with its lines and its history.
    AppEndGame();
}
