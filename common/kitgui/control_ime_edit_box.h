// CKitIMEEditBox: the edit box under the input-method control kind, with the
// input-method edit box's looks (the nine edit-box pieces and the language
// indicator). It edits exactly like the edit box; while an input method
// composes, the composed text shows at the caret, underlined, until it is
// committed (the committed text arrives as typed characters). Candidate
// lists and the language indicator are not drawn.
#pragma once

#include <string>

#include "common/kitgui/control_edit_box.h"

class CKitIMEEditBox : public CKitEditBox {
  public:
    explicit CKitIMEEditBox(CKitDialog* pDialog = nullptr);

    bool ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFocusLost() override;
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;

    const WCHAR* GetComposition() const { return m_strComposition.c_str(); }

  protected:
    // The composed text from the input-method library; empty without one.
    void ReadComposition();

    std::wstring m_strComposition;  // being composed; empty when no composition runs
};

// Frees the input-method library the boxes loaded (the resource manager's destructor).
void KitUnloadInputMethod();
