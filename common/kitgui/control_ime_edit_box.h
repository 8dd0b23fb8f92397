// CKitIMEEditBox: the edit box under the input-method control kind, with the
// input-method edit box's looks (the nine edit-box pieces and the language
// indicator). It edits exactly like the edit box.
#pragma once

#include "kitgui/control_edit_box.h"

class CKitIMEEditBox : public CKitEditBox {
  public:
    explicit CKitIMEEditBox(CKitDialog* pDialog = nullptr);
};
