// CKitControl: the base of every control — geometry, id, kind, hot key,
// enabled and visible flags, owned looks (elements), and the virtual slots
// through which the owning dialog routes input, focus, hover and drawing.
#pragma once

#include "common/kit/base/growable_array.h"
#include "common/kitgui/gui_types.h"
#include "common/kitgui/skin_element.h"
#include "platform/d3d9.h"
#include "platform/win32.h"

class CKitDialog;

class CKitControl {
  public:
    CKitControl(CKitDialog* pDialog = nullptr);
    CKitControl(const CKitControl&) = delete;
    CKitControl& operator=(const CKitControl&) = delete;

    // Virtual slots, in order.
    virtual ~CKitControl();
    virtual HRESULT OnInit() { return S_OK; }
    virtual void RestoreLook();
    virtual void Draw(IDirect3DDevice9*, float) {}
    virtual bool ProcessMessage(UINT, WPARAM, LPARAM) { return false; }
    virtual bool OnKey(UINT, WPARAM, LPARAM) { return false; }
    virtual bool OnPointer(UINT, POINT, WPARAM, LPARAM) { return false; }
    virtual bool AcceptsFocus() { return false; }
    virtual void OnFocusGained() { m_bFocused = true; }
    virtual void OnFocusLost() { m_bFocused = false; }
    virtual void OnPointerEnter() { m_bHovered = true; }
    virtual void OnPointerLeave() { m_bHovered = false; }
    virtual void OnAccelKey() {}
    virtual bool HitTest(POINT pt) { return PtInRect(&m_rcBounds, pt) != FALSE; }
    virtual void SetActive(bool bActive) { m_bActive = bActive; }
    virtual bool IsActive() { return m_bActive; }
    virtual void SetShown(bool bShown) { m_bShown = bShown; }
    virtual bool IsShown() { return m_bShown; }
    virtual void SetLabelColor(D3DCOLOR color);
    virtual void LayoutRects();

    int GetId() const { return m_nId; }
    void SetId(int nId) { m_nId = nId; }
    UINT GetKind() const { return m_eKind; }
    void MoveTo(int x, int y);
    void SetControlSize(int width, int height);
    UINT GetAccelKey() const { return m_nAccelKey; }
    void SetAccelKey(UINT nKey) { m_nAccelKey = nKey; }
    void* GetTag() const { return m_pTag; }
    void SetTag(void* pTag) { m_pTag = pTag; }
    HRESULT SetSkinElement(UINT iElement, const CKitSkinElement* pElement);
    CKitSkinElement* GetSkinElement(UINT iElement) const { return m_SkinElements.GetAt(int(iElement)); }
    int SkinElementCount() const { return m_SkinElements.Length(); }

    bool m_bShown = true;     // visible
    bool m_bHovered = false;  // under the mouse
    bool m_bFocused = false;  // has keyboard focus
    bool m_bDefault = false;  // the dialog's default control
    int m_nX = 0, m_nY = 0;   // position in the dialog's client area
    int m_nWidth = 0, m_nHeight = 0;
    CKitDialog* m_pOwner;  // owning dialog
    int m_nOrder = 0;      // position in the owner's control list

  protected:
    // The drawing state of buttons, check boxes and radio buttons.
    UINT LookState(bool bHeld) const;

    CGrowableArray<CKitSkinElement*> m_SkinElements;  // owned looks, by element index
    int m_nId = 0;                                    // application id
    UINT m_eKind = KIT_KIND_BUTTON;                   // control kind, set by each class
    UINT m_nAccelKey = 0;                             // hot key (virtual-key code); 0: none
    void* m_pTag = nullptr;                           // application data
    bool m_bActive = true;                            // enabled
    RECT m_rcBounds = {0, 0, 0, 0};                   // (x, y, x + width, y + height)
};
