// The restore dialog: one button, "还原" (hot key R), that puts the puzzle
// and the view back to their start, and the GUI resources every dialog of the
// application shares.
#pragma once

#include "common/kitgui/dialog.h"
#include "common/kitgui/dialog_resource_manager.h"

#define IDC_RESTORE 4  // the restore button

extern CKitDialogResourceManager g_DialogResourceManager;  // GUI resources shared by the dialogs
extern CKitDialog g_TipsUI;                                // the dialog holding the restore button

// Sets the dialog up (the second half of the application's initialisation).
void AppInitRestoreDialog();
// Puts the restore button 100 pixels left of the right edge, at a tenth of the height.
void AppPlaceRestoreButton(UINT nBackBufferWidth, UINT nBackBufferHeight);
// GUI events: the restore button, whatever the event, restores puzzle and view.
void AppGuiEvent(UINT nEvent, int nControlId, CKitControl* pControl, void* pUserContext);
