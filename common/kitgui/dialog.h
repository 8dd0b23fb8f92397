// CKitDialog: a rectangle of controls drawn over the scene with the resource
// manager's sprite. It owns its controls, maps its font and texture indices
// onto the manager's pools, holds the default looks new controls copy, routes
// window messages to its controls (focus, capture, hover, hot keys, tab and
// arrow travel across all registered dialogs), delivers GUI events to one
// callback, and draws background, caption and controls.
#pragma once

#include "common/kit/base/growable_array.h"
#include "common/kitgui/control.h"
#include "common/kitgui/dialog_resource_manager.h"
#include "common/kitgui/gui_types.h"
#include "common/kitgui/skin_element.h"
#include "platform/d3dx9.h"
#include "platform/win32.h"

class CKitStatic;
class CKitButton;
class CKitCheckBox;
class CKitRadioButton;
class CKitComboBox;
class CKitListBox;
class CKitSlider;
class CKitScrollBar;
class CKitEditBox;
class CKitIMEEditBox;

class CKitDialog {
  public:
    CKitDialog();
    ~CKitDialog();
    CKitDialog(const CKitDialog&) = delete;
    CKitDialog& operator=(const CKitDialog&) = delete;

    // Set-up: texture 0 is the built-in skin, a file or a resource.
    void Init(CKitDialogResourceManager* pManager, bool bRegisterDialog = true);
    void Init(CKitDialogResourceManager* pManager, bool bRegisterDialog, const WCHAR* strTextureFilename);
    void Init(CKitDialogResourceManager* pManager, bool bRegisterDialog, const WCHAR* strTextureResourceName,
              HMODULE hTextureResourceModule);

    void SetEventHandler(KitGuiEventHandler pfnHandler, void* pUserContext = nullptr);
    void AllowProgrammaticEvents(bool bAllow) { m_bAllowProgrammaticEvents = bAllow; }
    void SetKeyboardNav(bool bEnable) { m_bKeyboardNav = bEnable; }
    bool KeyboardNav() const { return m_bKeyboardNav; }
    void SetPointerInput(bool bEnable) { m_bPointerInput = bEnable; }
    void ShowTitleBar(bool bShow) { m_bHasTitleBar = bShow; }
    void SetTitle(const WCHAR* strTitle);
    void SetTitleHeight(int nHeight) { m_nTitleHeight = nHeight; }
    void SetCornerColors(D3DCOLOR colorTopLeft, D3DCOLOR colorTopRight, D3DCOLOR colorBottomLeft,
                         D3DCOLOR colorBottomRight);
    void MoveTo(int x, int y) { m_nLeft = x, m_nTop = y; }
    void SetDialogSize(int width, int height) { m_nWidth = width, m_nHeight = height; }
    void SetShown(bool bShown) { m_bShown = bShown; }
    bool IsShown() const { return m_bShown; }
    bool IsCollapsed() const { return m_bCollapsed; }
    bool IsTitleDragging() const { return m_bTitleDrag; }
    void LinkRing(CKitDialog* pNextDialog);
    CKitDialog* NextDialogInRing() const { return m_pNextInRing; }
    CKitDialog* PrevDialogInRing() const { return m_pPrevInRing; }
    static void StampRefresh(double fTime) { s_fRefreshStamp = fTime; }
    CKitDialogResourceManager* GetManager() const { return m_pManager; }

    // Fonts and textures by dialog index.
    HRESULT AssignFont(UINT iFont, const WCHAR* strFaceName, LONG height, LONG weight);
    KitFontSlot* FontSlotAt(UINT iFont) const;
    HRESULT AssignTexture(UINT iTexture, const WCHAR* strFilename);
    HRESULT AssignTexture(UINT iTexture, const WCHAR* strResourceName, HMODULE hResourceModule);
    KitTextureSlot* TextureSlotAt(UINT iTexture) const;

    // Default looks for controls created afterwards.
    HRESULT SetElementDefault(UINT nKind, UINT iElement, const CKitSkinElement* pElement);
    CKitSkinElement* ElementDefault(UINT nKind, UINT iElement) const;

    // Control creation: the out-pointer receives the control at once.
    HRESULT CreateStatic(int nId, const WCHAR* strText, int x, int y, int width, int height,
                         bool bIsDefault = false, CKitStatic** ppCreated = nullptr);
    HRESULT CreateButton(int nId, const WCHAR* strText, int x, int y, int width, int height, UINT nHotkey = 0,
                         bool bIsDefault = false, CKitButton** ppCreated = nullptr);
    HRESULT CreateCheckBox(int nId, const WCHAR* strText, int x, int y, int width, int height,
                           bool bChecked = false, UINT nHotkey = 0, bool bIsDefault = false,
                           CKitCheckBox** ppCreated = nullptr);
    HRESULT CreateRadioButton(int nId, UINT nButtonGroup, const WCHAR* strText, int x, int y, int width,
                              int height, bool bChecked = false, UINT nHotkey = 0, bool bIsDefault = false,
                              CKitRadioButton** ppCreated = nullptr);
    HRESULT CreateComboBox(int nId, int x, int y, int width, int height, UINT nHotkey = 0,
                           bool bIsDefault = false, CKitComboBox** ppCreated = nullptr);
    HRESULT CreateSlider(int nId, int x, int y, int width, int height, int nMin = 0, int nMax = 100,
                         int nValue = 50, bool bIsDefault = false, CKitSlider** ppCreated = nullptr);
    HRESULT CreateListBox(int nId, int x, int y, int width, int height, DWORD dwStyle = 0,
                          CKitListBox** ppCreated = nullptr);
    HRESULT CreateEditBox(int nId, const WCHAR* strText, int x, int y, int width, int height,
                          bool bIsDefault = false, CKitEditBox** ppCreated = nullptr);
    HRESULT CreateIMEEditBox(int nId, const WCHAR* strText, int x, int y, int width, int height,
                             bool bIsDefault = false, CKitIMEEditBox** ppCreated = nullptr);
    HRESULT AdoptControl(CKitControl* pControl);
    HRESULT InitControl(CKitControl* pControl);

    // Finders.
    CKitControl* FindControl(int nId) const;
    CKitControl* FindControl(int nId, UINT nKind) const;
    CKitStatic* FindStatic(int nId) const;
    CKitButton* FindButton(int nId) const;
    CKitCheckBox* FindCheckBox(int nId) const;
    CKitRadioButton* FindRadioButton(int nId) const;
    CKitComboBox* FindComboBox(int nId) const;
    CKitSlider* FindSlider(int nId) const;
    CKitListBox* FindListBox(int nId) const;
    CKitScrollBar* FindScrollBar(int nId) const;
    CKitEditBox* FindEditBox(int nId) const;
    int ControlCount() const { return m_ControlList.Length(); }
    CKitControl* ControlAt(int iIndex) const { return m_ControlList.GetAt(iIndex); }
    CKitControl* ControlAtPoint(POINT pt) const;
    bool IsControlActive(int nId) const;
    void SetControlActive(int nId, bool bActive);
    void UncheckRadioGroup(UINT nButtonGroup);
    void EmptyComboBox(int nId);
    void DeleteControl(int nId);
    void DeleteAllControls();

    // Focus (one control in all dialogs) and the control holding the mouse.
    void FocusControl(CKitControl* pControl);
    static void DropFocus();
    void FocusDefault();
    void ResetControls();
    static CKitControl* FocusedControl() { return s_pFocusedControl; }
    static CKitControl* PressedControl() { return s_pPressedControl; }
    static void SetPressedControl(CKitControl* pControl) { s_pPressedControl = pControl; }
    CKitControl* HoveredControl() const { return m_pHoverControl; }

    void RaiseEvent(UINT nEvent, bool bUserCaused, CKitControl* pControl);

    HRESULT OnRender(float fElapsedTime);
    bool ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Painting services for the controls, in control coordinates.
    HRESULT PaintSprite(CKitSkinElement* pElement, const RECT* prcDest);
    HRESULT PaintText(const WCHAR* strText, CKitSkinElement* pElement, const RECT* prcDest,
                      bool bShadow = false, int nCount = -1);
    HRESULT MeasureText(const WCHAR* strText, CKitSkinElement* pElement, RECT* prcDest, int nCount = -1);
    HRESULT PaintRect(const RECT* prcDest, D3DCOLOR color);

  private:
    void LoadDefaultElements();
    void TrackPointer(POINT pt);
    // Steps of ProcessMessage: a click on the caption band, keys, mouse messages.
    bool CaptionClick(HWND hWnd, UINT uMsg, POINT pt);
    bool RouteKey(UINT uMsg, WPARAM wParam, LPARAM lParam);
    bool RoutePointer(UINT uMsg, POINT ptMouse, WPARAM wParam, LPARAM lParam);
    bool CycleFocus(bool bForward);
    // Where Tab (forward) or Shift+Tab starts when no control has the focus.
    CKitControl* TravelStart(bool bForward) const;
    // The first or the last control, null without controls.
    CKitControl* EndControl(bool bFirst) const;
    // The screen rectangle of a rectangle in control coordinates.
    RECT ToScreen(const RECT* prc) const;
    void DrawBackground(IDirect3DDevice9* pd3dDevice);
    static CKitControl* NextInRing(CKitControl* pControl);
    static CKitControl* PrevInRing(CKitControl* pControl);
    int DialogIndex(const CKitDialog* pDialog) const;
    bool OwnsFocus() const;

    bool m_bAllowProgrammaticEvents = false;  // deliver events the program caused
    bool m_bKeyboardNav = false;              // tab, arrows and focus-on-click
    bool m_bPointerInput = true;              // mouse messages go to controls
    double m_fLastRefresh = 0.0;              // time of this dialog's last refresh
    CKitControl* m_pHoverControl = nullptr;   // control under the mouse
    bool m_bShown = true;                     // dialog visible
    bool m_bHasTitleBar = false;              // caption shown
    bool m_bCollapsed = false;                // only the caption shows
    bool m_bTitleDrag = false;                // caption pressed, button not yet released
    WCHAR m_wszTitle[256] = {};               // caption text
    int m_nLeft = 0, m_nTop = 0;              // position in back-buffer pixels
    int m_nWidth = 0, m_nHeight = 0;          // client area size
    int m_nTitleHeight = 18;                  // caption height
    D3DCOLOR m_clrTopLeft = 0, m_clrTopRight = 0, m_clrBottomLeft = 0, m_clrBottomRight = 0;
    CKitDialogResourceManager* m_pManager = nullptr;
    KitGuiEventHandler m_pfnEventHandler = nullptr;
    void* m_pHandlerContext = nullptr;
    CGrowableArray<int> m_TextureSlots;                    // dialog texture -> pool index (-1: none)
    CGrowableArray<int> m_FontSlots;                       // dialog font -> pool index (-1: none)
    CGrowableArray<CKitControl*> m_ControlList;            // owned controls in creation order
    CGrowableArray<KitElementDefault*> m_ElementDefaults;  // owned default looks
    CKitSkinElement m_TitleElement{};                      // the caption's look
    CKitDialog* m_pNextInRing;                             // neighbours in the manager's ring
    CKitDialog* m_pPrevInRing;

    static CKitControl* s_pFocusedControl;  // the one control with keyboard focus
    static CKitControl* s_pPressedControl;  // the control holding the mouse
    static double s_fRefreshStamp;          // last time all dialogs were asked to refresh
};
