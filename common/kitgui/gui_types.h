// The GUI toolkit's shared vocabulary: control kinds, event codes, the event
// callback type and the assertion helper the toolkit reports misuse with.
#pragma once

#include "platform/win32.h"

class CKitControl;

// Control kinds (m_eKind of every control).
enum KitControlKind : UINT {
    KIT_KIND_BUTTON = 0,
    KIT_KIND_STATIC = 1,
    KIT_KIND_CHECKBOX = 2,
    KIT_KIND_RADIOBUTTON = 3,
    KIT_KIND_COMBOBOX = 4,
    KIT_KIND_SLIDER = 5,
    KIT_KIND_EDITBOX = 6,
    KIT_KIND_IMEEDITBOX = 7,
    KIT_KIND_LISTBOX = 8,
    KIT_KIND_SCROLLBAR = 9,
};

// GUI event codes (first argument of the event callback).
#define KIT_EVT_BUTTON_CLICKED 0x0101
#define KIT_EVT_COMBO_CHANGED 0x0201
#define KIT_EVT_RADIO_CHANGED 0x0301
#define KIT_EVT_CHECK_CHANGED 0x0401
#define KIT_EVT_SLIDER_CHANGED 0x0501
#define KIT_EVT_EDIT_ENTER 0x0601
#define KIT_EVT_EDIT_CHANGED 0x0602
#define KIT_EVT_LIST_ACTIVATE 0x0701
#define KIT_EVT_LIST_SELECT 0x0702
#define KIT_EVT_LIST_SELECT_END 0x0703

// Event callback: event code, control id, the control, the user context.
typedef void (*KitGuiEventHandler)(UINT nEvent, int nControlId, CKitControl* pControl, void* pUserContext);

// Reports a caller error: when the condition fails, the text goes to the
// debug output and the caller returns without doing the operation.
bool KitGuiCheck(bool bCondition, const WCHAR* strMessage);
