// The gallery: one window with a dialog per group of controls, an event log
// and the framework's settings page. What the three files share: control ids,
// the dialogs, and the functions one file offers the others.
//   gallery_main.cpp     the entry, the device callbacks, the frame, the messages
//   gallery_dialogs.cpp  building the dialogs and their controls
//   gallery_events.cpp   what each GUI event does, and the event log
#pragma once

#include "common/kitgui/dialog.h"
#include "common/kitsettingsdlg/settings_dialog.h"

// Control ids: the hundreds say which dialog a control is in.
enum GalleryControlId {
    // "Buttons, check boxes, radio buttons"
    IDC_GREETING = 101,
    IDC_SAY_HELLO,
    IDC_CLEAR_LOG,
    IDC_SHADED,
    IDC_SLIDER_ON,
    IDC_NAVY,
    IDC_FOREST,
    IDC_PLUM,
    IDC_ALIGN_LEFT,
    IDC_ALIGN_CENTRE,
    IDC_ALIGN_RIGHT,
    IDC_SETTINGS,
    // "Combo box, list boxes, scroll bar"
    IDC_CITY = 201,
    IDC_CITY_CHOSEN,
    IDC_FRUIT,
    IDC_PLANETS,
    IDC_SCROLLER,
    IDC_SCROLLED_LINE,  // the first of the lines the scroll bar scrolls
    // "Edit boxes and slider"
    IDC_EDIT = 301,
    IDC_IME_EDIT,
    IDC_SLIDER,
    IDC_SLIDER_VALUE,
    // the event log's lines, and the status lines at the bottom
    IDC_LOG_LINE = 401,
    IDC_STATUS_LINE = 501,
};

const int GALLERY_RADIO_COLOUR = 1;  // radio group: the window's colour
const int GALLERY_RADIO_ALIGN = 2;   // radio group: the greeting's alignment
const int GALLERY_LOG_LINES = 13;    // lines the event log shows
const int GALLERY_SCROLLED_LINES = 5;
const int GALLERY_SCROLLED_TOTAL = 30;

extern CKitDialogResourceManager g_DialogResourceManager;  // shared by every dialog
extern CD3DSettingsDlg g_SettingsDlg;                      // the framework's settings page
extern CKitDialog g_ButtonsUI;                             // buttons, check boxes, radio buttons
extern CKitDialog g_ListsUI;                               // combo box, list boxes, scroll bar
extern CKitDialog g_TextUI;                                // edit boxes and slider
extern CKitDialog g_LogUI;                                 // the event log
extern CKitDialog g_StatusUI;                              // statistics and keys, at the bottom
extern D3DCOLOR g_clrBackground;                           // the window's colour (radio group 1)

// gallery_dialogs.cpp: creates every dialog and control (before the device exists).
void GalleryBuildDialogs();
// Places the status lines at the bottom of a back buffer of this height.
void GalleryPlaceStatus(int nBackBufferHeight);

// gallery_events.cpp: the one event handler of every dialog.
void GalleryShadeDialogs(bool bShaded);
void GalleryOnEvent(UINT nEvent, int nControlId, CKitControl* pControl, void* pUserContext);
// Once a frame: the scroll bar raises no events, so the gallery looks whether it moved.
void GalleryFollowScroller();
// A line in the event log (and on the debug output).
void GalleryLog(const WCHAR* strEvent, int nControlId, const WCHAR* strValue);
