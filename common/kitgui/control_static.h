// CKitStatic: a line of text. It never takes the mouse, so it neither hovers
// nor blocks clicks to a control beneath it.
#pragma once

#include "common/kitgui/control.h"

class CKitStatic : public CKitControl {
  public:
    explicit CKitStatic(CKitDialog* pDialog = nullptr);

    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;
    bool HitTest(POINT) override { return false; }

    const WCHAR* GetText() const { return m_wszText; }
    HRESULT SetLabel(const WCHAR* strText);
    HRESULT GetLabel(WCHAR* strDest, UINT cchDest) const;

  protected:
    WCHAR m_wszText[MAX_PATH] = {};  // the text
};
