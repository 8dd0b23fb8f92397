// The input-method edit box: the edit box under its own control kind.
#include "kitgui/control_ime_edit_box.h"

CKitIMEEditBox::CKitIMEEditBox(CKitDialog* pDialog) : CKitEditBox(pDialog) { m_eKind = KIT_KIND_IMEEDITBOX; }
