// CKitComboBox: a box showing the chosen item and a button that opens a
// drop-down list (with its own scroll bar) drawn over the controls below it.
// Keys, clicks, the wheel and its hot key change the choice and raise
// KIT_EVT_COMBO_CHANGED.
#pragma once

#include "common/kitgui/control_button.h"
#include "common/kitgui/control_scroll_bar.h"

struct KitChoiceItem {
    WCHAR wszLabel[256];  // the item's text
    void* pItemData;      // application data
    RECT rcHit;           // its row while the list is open
    bool bShown;          // its row is visible in the open list
};

class CKitComboBox : public CKitButton {
  public:
    explicit CKitComboBox(CKitDialog* pDialog = nullptr);
    ~CKitComboBox() override;

    HRESULT OnInit() override;
    // Geometry.
    void LayoutRects() override;
    // Input.
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    void OnAccelKey() override;
    void OnFocusLost() override;
    bool AcceptsFocus() override { return m_bShown && m_bActive; }
    // Drawing.
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;
    void SetLabelColor(D3DCOLOR color) override;

    // Items.
    HRESULT AddChoice(const WCHAR* strText, void* pData);
    void RemoveChoice(int iIndex);
    void RemoveAllChoices();
    int FindChoice(const WCHAR* strText, int iStart = 0) const;
    bool HasChoice(const WCHAR* strText, int iStart = 0) const { return FindChoice(strText, iStart) != -1; }
    int GetChoiceCount() const { return m_Choices.Length(); }
    KitChoiceItem* GetChoiceItem(int iIndex) const;
    void* GetChoiceData(const WCHAR* strText) const;
    void* GetChoiceData(int iIndex) const;
    void* GetChosenData() const;
    KitChoiceItem* GetChosenItem() const;
    int GetChosenIndex() const { return m_nChosen; }
    int GetHotIndex() const { return m_nHot; }
    HRESULT ChooseByIndex(int iIndex);
    HRESULT ChooseByText(const WCHAR* strText);
    HRESULT ChooseByData(void* pData);

    // Geometry of the drop-down.
    void SetListHeight(int nHeight);
    void SetScrollerWidth(int nWidth);
    bool IsDroppedDown() const { return m_bDroppedDown; }
    CKitScrollBar* GetScroller() { return &m_Scroller; }
    const RECT& BoxRect() const { return m_rcBox; }
    const RECT& LabelRect() const { return m_rcLabel; }
    const RECT& ListRect() const { return m_rcList; }
    const RECT& ListTextRect() const { return m_rcListText; }

  protected:
    // Chosen and hot become the item; the event with the given cause.
    void Choose(int iIndex, bool bUserCaused);
    // Whether the key handling should let the focus go after closing.
    void DropFocusWithoutNav();

    int m_nChosen = -1;        // chosen item, -1 none
    int m_nHot = -1;           // highlighted item in the open list, also the keyboard cursor
    int m_nListHeight = 100;   // drop-down height in pixels
    CKitScrollBar m_Scroller;  // the drop-down's scroll bar
    int m_nScrollerWidth = 16;
    bool m_bDroppedDown = false;               // list open
    RECT m_rcLabel = {0, 0, 0, 0};             // text area (left part)
    RECT m_rcBox = {0, 0, 0, 0};               // button area (right square)
    RECT m_rcList = {0, 0, 0, 0};              // drop-down
    RECT m_rcListText = {0, 0, 0, 0};          // drop-down text area
    CGrowableArray<KitChoiceItem*> m_Choices;  // owned items

    static bool s_bPageLearnt;  // the first combo box drawn has set its page from the font
};
