// What the gallery's controls do: one event handler for every dialog, which
// acts on the event and then writes it to the event log (the log's lines in
// the window, and one line each on the debug output: "gallery: EVENT id=N
// value=V"). The scroll bar raises no events; the gallery polls it instead.
#include "common/kit/errors/kit_debug_line.h"
#include "common/kitgui/control_check_box.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_edit_box.h"
#include "common/kitgui/control_list_box.h"
#include "common/kitgui/control_scroll_bar.h"
#include "common/kitgui/control_slider.h"
#include "common/kitgui/control_static.h"
#include "platform/strsafe.h"
#include "samples/gallery/gallery.h"

D3DCOLOR g_clrBackground = D3DCOLOR_XRGB(24, 32, 64);

namespace {

WCHAR g_LogText[GALLERY_LOG_LINES][MAX_PATH];  // the log's lines, oldest first
int g_nLogged = 0;                             // events logged since the last clear
int g_nHellos = 0;                             // times "Say hello" was pressed
int g_nScrolledFirst = -1;                     // the scroll bar's first line, as last shown

const WCHAR* EventName(UINT nEvent) {
    static const struct {
        UINT nEvent;
        const WCHAR* strName;
    } s_names[] = {
        {KIT_EVT_BUTTON_CLICKED, L"BUTTON_CLICKED"}, {KIT_EVT_COMBO_CHANGED, L"COMBO_CHANGED"},
        {KIT_EVT_RADIO_CHANGED, L"RADIO_CHANGED"},   {KIT_EVT_CHECK_CHANGED, L"CHECK_CHANGED"},
        {KIT_EVT_SLIDER_CHANGED, L"SLIDER_CHANGED"}, {KIT_EVT_EDIT_ENTER, L"EDIT_ENTER"},
        {KIT_EVT_EDIT_CHANGED, L"EDIT_CHANGED"},     {KIT_EVT_LIST_ACTIVATE, L"LIST_ACTIVATE"},
        {KIT_EVT_LIST_SELECT, L"LIST_SELECT"},       {KIT_EVT_LIST_SELECT_END, L"LIST_SELECT_END"}};
    for (const auto& name : s_names)
        if (name.nEvent == nEvent) return name.strName;
    return L"(unknown)";
}

// The list box's selection: its rows picked (many rows) or its current row.
void DescribeRows(CKitListBox* pList, WCHAR* strValue, size_t cch) {
    StringCchCopyW(strValue, cch, L"rows");
    for (int i = pList->NextPicked(); i != -1; i = pList->NextPicked(i)) {
        WCHAR strRow[16];
        StringCchPrintfW(strRow, 16, L"%ls%d", strValue[4] ? L"," : L" ", i);
        StringCchCatW(strValue, cch, strRow);
        if (!(pList->GetFlags() & KIT_LIST_MULTI)) break;
    }
}

// What a control holds now, as the log shows it.
void DescribeValue(CKitControl* pControl, WCHAR* strValue, size_t cch) {
    strValue[0] = L'\0';
    switch (pControl->GetKind()) {
        case KIT_KIND_BUTTON:
            StringCchCopyW(strValue, cch, static_cast<CKitStatic*>(pControl)->GetText());
            break;
        case KIT_KIND_CHECKBOX:
        case KIT_KIND_RADIOBUTTON:
            StringCchCopyW(strValue, cch, static_cast<CKitCheckBox*>(pControl)->IsTicked() ? L"on" : L"off");
            break;
        case KIT_KIND_COMBOBOX: {
            KitChoiceItem* pItem = static_cast<CKitComboBox*>(pControl)->GetChosenItem();
            StringCchCopyW(strValue, cch, pItem ? pItem->wszLabel : L"");
            break;
        }
        case KIT_KIND_SLIDER:
            StringCchPrintfW(strValue, cch, L"%d", static_cast<CKitSlider*>(pControl)->GetLevel());
            break;
        case KIT_KIND_EDITBOX:
        case KIT_KIND_IMEEDITBOX:
            StringCchCopyW(strValue, cch, static_cast<CKitEditBox*>(pControl)->GetContent());
            break;
        case KIT_KIND_LISTBOX:
            DescribeRows(static_cast<CKitListBox*>(pControl), strValue, cch);
            break;
        default:
            break;
    }
}

void ShowLog() {
    for (int i = 0; i < GALLERY_LOG_LINES; ++i) g_LogUI.FindStatic(IDC_LOG_LINE + i)->SetLabel(g_LogText[i]);
}

void ClearLog() {
    for (auto& strLine : g_LogText) strLine[0] = L'\0';
    g_nLogged = 0;
    ShowLog();
}

// A radio button of a group is checked: the window's colour, or the greeting's alignment.
void OnRadio(int nControlId) {
    switch (nControlId) {
        case IDC_NAVY:
            g_clrBackground = D3DCOLOR_XRGB(24, 32, 64);
            break;
        case IDC_FOREST:
            g_clrBackground = D3DCOLOR_XRGB(24, 64, 40);
            break;
        case IDC_PLUM:
            g_clrBackground = D3DCOLOR_XRGB(72, 32, 64);
            break;
        default: {
            const DWORD dwAlign = nControlId == IDC_ALIGN_LEFT     ? DT_LEFT
                                  : nControlId == IDC_ALIGN_CENTRE ? DT_CENTER
                                                                   : DT_RIGHT;
            g_ButtonsUI.FindStatic(IDC_GREETING)->GetSkinElement(0)->dwFormat = dwAlign | DT_VCENTER;
        }
    }
}

}  // namespace

void GalleryShadeDialogs(bool bShaded) {
    const D3DCOLOR clrTop = bShaded ? 0xC0304060 : 0, clrBottom = bShaded ? 0xC0101828 : 0;
    CKitDialog* const captioned[] = {&g_ButtonsUI, &g_ListsUI, &g_TextUI, &g_LogUI};
    for (CKitDialog* pDialog : captioned) pDialog->SetCornerColors(clrTop, clrTop, clrBottom, clrBottom);
}

void GalleryOnEvent(UINT nEvent, int nControlId, CKitControl* pControl, void*) {
    WCHAR strValue[MAX_PATH], strText[MAX_PATH];
    DescribeValue(pControl, strValue, MAX_PATH);
    switch (nControlId) {
        case IDC_SAY_HELLO:
            ++g_nHellos;
            StringCchPrintfW(strText, MAX_PATH, L"Hello! Said %d time%ls.", g_nHellos,
                             g_nHellos == 1 ? L"" : L"s");
            g_ButtonsUI.FindStatic(IDC_GREETING)->SetLabel(strText);
            break;
        case IDC_CLEAR_LOG:
            ClearLog();
            break;
        case IDC_SHADED:
            GalleryShadeDialogs(static_cast<CKitCheckBox*>(pControl)->IsTicked());
            break;
        case IDC_SLIDER_ON:
            g_TextUI.SetControlActive(IDC_SLIDER, static_cast<CKitCheckBox*>(pControl)->IsTicked());
            break;
        case IDC_SETTINGS:
            g_SettingsDlg.Activate(true);
            break;
        case IDC_CITY:
            StringCchPrintfW(strText, MAX_PATH, L"Chosen: %ls", strValue);
            g_ListsUI.FindStatic(IDC_CITY_CHOSEN)->SetLabel(strText);
            break;
        case IDC_SLIDER:
            g_TextUI.FindStatic(IDC_SLIDER_VALUE)->SetLabel(strValue);
            break;
        default:
            if (nEvent == KIT_EVT_RADIO_CHANGED) OnRadio(nControlId);
            break;
    }
    GalleryLog(EventName(nEvent), nControlId, strValue);
}

void GalleryLog(const WCHAR* strEvent, int nControlId, const WCHAR* strValue) {
    KitDebugLine(L"gallery: %ls id=%d value=%ls\n", strEvent, nControlId, strValue);
    // The oldest line makes room at the bottom.
    if (g_nLogged >= GALLERY_LOG_LINES)
        for (int i = 1; i < GALLERY_LOG_LINES; ++i) StringCchCopyW(g_LogText[i - 1], MAX_PATH, g_LogText[i]);
    const int iLine = g_nLogged < GALLERY_LOG_LINES ? g_nLogged : GALLERY_LOG_LINES - 1;
    StringCchPrintfW(g_LogText[iLine], MAX_PATH, L"%4d   %-16ls  id %3d   %ls", ++g_nLogged, strEvent,
                     nControlId, strValue);
    ShowLog();
}

void GalleryFollowScroller() {
    auto* pScroller = static_cast<CKitScrollBar*>(g_ListsUI.FindControl(IDC_SCROLLER, KIT_KIND_SCROLLBAR));
    if (!pScroller || pScroller->GetFirst() == g_nScrolledFirst) return;
    const bool bMoved = g_nScrolledFirst != -1;
    g_nScrolledFirst = pScroller->GetFirst();
    for (int i = 0; i < GALLERY_SCROLLED_LINES; ++i) {
        WCHAR strLine[64];
        StringCchPrintfW(strLine, 64, L"Line %d of %d", g_nScrolledFirst + i + 1, GALLERY_SCROLLED_TOTAL);
        g_ListsUI.FindStatic(IDC_SCROLLED_LINE + i)->SetLabel(strLine);
    }
    if (bMoved) {
        WCHAR strValue[32];
        StringCchPrintfW(strValue, 32, L"first line %d", g_nScrolledFirst + 1);
        GalleryLog(L"(scroll bar moved)", IDC_SCROLLER, strValue);
    }
}
