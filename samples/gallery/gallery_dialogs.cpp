// Building the gallery's dialogs: every control kind of the toolkit, each wired
// to something it visibly changes (see gallery_events.cpp). Dialogs are made
// once, before the device: the resource manager builds their fonts and the skin
// when the device comes. Positions are pixels; a control's position is from its
// dialog's top-left corner, below the caption. The layout is fixed and wants a
// client area of 1180 x 700 or more (the gallery starts at 1280 x 720); only
// the status lines follow the window's height.
#include <new>

#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_list_box.h"
#include "common/kitgui/control_scroll_bar.h"
#include "common/kitgui/control_static.h"
#include "samples/gallery/gallery.h"

CKitDialogResourceManager g_DialogResourceManager;
CD3DSettingsDlg g_SettingsDlg;
CKitDialog g_ButtonsUI;
CKitDialog g_ListsUI;
CKitDialog g_TextUI;
CKitDialog g_LogUI;
CKitDialog g_StatusUI;

namespace {

// What every gallery dialog shares: the resource manager (which also puts the
// dialog in the ring that Tab travels), the event handler, keyboard navigation,
// a caption (click it to fold the dialog), and statics aligned left instead of
// centred. The caption is the dialog's first 18 rows; its controls' positions
// start below it. (The background's shading comes with the shaded check box.)
void SetUpDialog(CKitDialog& dialog, const WCHAR* strTitle, int x, int y, int width, int height) {
    dialog.Init(&g_DialogResourceManager);
    dialog.SetEventHandler(GalleryOnEvent);
    dialog.SetKeyboardNav(true);
    dialog.ShowTitleBar(true);
    dialog.SetTitle(strTitle);
    dialog.MoveTo(x, y);
    dialog.SetDialogSize(width, height);
    dialog.ElementDefault(KIT_KIND_STATIC, 0)->dwFormat = DT_LEFT | DT_VCENTER;
}

void BuildButtonsDialog() {
    CKitDialog& ui = g_ButtonsUI;
    SetUpDialog(ui, L"Buttons, check boxes, radio buttons", 10, 10, 290, 370);
    ui.CreateStatic(IDC_GREETING, L"Nobody has said hello yet.", 10, 6, 270, 24);

    // A button with a hot key (H works wherever the focus is, but in an edit
    // box), and the default button: it has the focus after a refresh, and
    // Enter presses it when no button has the focus.
    ui.CreateButton(IDC_SAY_HELLO, L"Say hello (H)", 10, 40, 130, 32, 'H');
    ui.CreateButton(IDC_CLEAR_LOG, L"Clear the log", 150, 40, 130, 32, 0, true);

    ui.CreateCheckBox(IDC_SHADED, L"Shaded dialogs", 10, 86, 200, 22, true);
    ui.CreateCheckBox(IDC_SLIDER_ON, L"Slider enabled", 10, 112, 200, 22, true);

    // Two radio groups: checking one button unchecks the others of its group only.
    ui.CreateStatic(-1, L"Window colour:", 10, 146, 270, 18);
    ui.CreateRadioButton(IDC_NAVY, GALLERY_RADIO_COLOUR, L"Navy", 10, 166, 80, 22, true);
    ui.CreateRadioButton(IDC_FOREST, GALLERY_RADIO_COLOUR, L"Forest", 100, 166, 80, 22);
    ui.CreateRadioButton(IDC_PLUM, GALLERY_RADIO_COLOUR, L"Plum", 190, 166, 80, 22);
    ui.CreateStatic(-1, L"Greeting aligned:", 10, 200, 270, 18);
    ui.CreateRadioButton(IDC_ALIGN_LEFT, GALLERY_RADIO_ALIGN, L"Left", 10, 220, 80, 22, true);
    ui.CreateRadioButton(IDC_ALIGN_CENTRE, GALLERY_RADIO_ALIGN, L"Centre", 100, 220, 80, 22);
    ui.CreateRadioButton(IDC_ALIGN_RIGHT, GALLERY_RADIO_ALIGN, L"Right", 190, 220, 80, 22);

    ui.CreateButton(IDC_SETTINGS, L"Settings... (F2)", 10, 262, 170, 32);
    ui.CreateStatic(-1, L"Tab and Shift+Tab move the focus;", 10, 310, 270, 18);
    ui.CreateStatic(-1, L"Space or Enter presses a button.", 10, 328, 270, 18);
    ui.FocusDefault();
}

// A standalone scroll bar: the toolkit makes one only inside combo and list
// boxes, so the gallery creates it itself and hands it to the dialog.
void AddScrollBar(CKitDialog& ui, int x, int y, int height) {
    auto* pScroller = new (std::nothrow) CKitScrollBar(&ui);
    if (!pScroller) return;
    if (FAILED(ui.AdoptControl(pScroller))) {
        delete pScroller;
        return;
    }
    pScroller->SetId(IDC_SCROLLER);
    pScroller->MoveTo(x, y);
    pScroller->SetControlSize(16, height);
    pScroller->SetSpan(0, GALLERY_SCROLLED_TOTAL);
    pScroller->SetVisibleCount(GALLERY_SCROLLED_LINES);
}

void BuildListsDialog() {
    CKitDialog& ui = g_ListsUI;
    SetUpDialog(ui, L"Combo box, list boxes, scroll bar", 310, 10, 430, 370);

    // A combo box with more cities than its drop-down shows: it scrolls.
    static const WCHAR* const s_cities[] = {L"Amsterdam", L"Berlin", L"Cairo",     L"Dakar",    L"Edinburgh",
                                            L"Florence",  L"Geneva", L"Helsinki",  L"Istanbul", L"Jakarta",
                                            L"Kyoto",     L"Lima",   L"Madrid",    L"Nairobi",  L"Oslo",
                                            L"Prague",    L"Quito",  L"Reykjavik", L"Seoul",    L"Tunis"};
    CKitComboBox* pCity = nullptr;
    ui.CreateStatic(-1, L"Combo box (20 cities):", 10, 4, 200, 18);
    ui.CreateComboBox(IDC_CITY, 10, 24, 200, 26, 0, false, &pCity);
    pCity->SetListHeight(130);
    for (const WCHAR* strCity : s_cities) pCity->AddChoice(strCity, nullptr);
    // The drop-down opens over these lines (the focused control is drawn last).
    ui.CreateStatic(-1, L"Opens on a click or F4.", 10, 64, 150, 18);
    ui.CreateStatic(-1, L"Closed, the wheel and", 10, 82, 150, 18);
    ui.CreateStatic(-1, L"arrows change it.", 10, 100, 150, 18);
    ui.CreateStatic(IDC_CITY_CHOSEN, L"Chosen: Amsterdam", 220, 24, 200, 26);

    // The scroll bar moves five lines through thirty.
    ui.CreateStatic(-1, L"Scroll bar:", 220, 60, 200, 18);
    AddScrollBar(ui, 220, 80, 96);
    for (int i = 0; i < GALLERY_SCROLLED_LINES; ++i)
        ui.CreateStatic(IDC_SCROLLED_LINE + i, L"", 244, 80 + 19 * i, 170, 19);
    GalleryFollowScroller();

    // Two list boxes: one selects a single row, the other many (Ctrl and Shift).
    static const WCHAR* const s_fruit[] = {L"Apple", L"Banana", L"Cherry",   L"Date", L"Elderberry",
                                           L"Fig",   L"Grape",  L"Honeydew", L"Kiwi", L"Lemon"};
    static const WCHAR* const s_planets[] = {L"Mercury", L"Venus",  L"Earth",  L"Mars",
                                             L"Jupiter", L"Saturn", L"Uranus", L"Neptune"};
    CKitListBox* pFruit = nullptr;
    CKitListBox* pPlanets = nullptr;
    ui.CreateStatic(-1, L"List box, one row:", 10, 214, 200, 18);
    ui.CreateListBox(IDC_FRUIT, 10, 234, 200, 116, 0, &pFruit);
    for (const WCHAR* strFruit : s_fruit) pFruit->AddRow(strFruit, nullptr);
    ui.CreateStatic(-1, L"Many rows (Ctrl, Shift):", 220, 214, 200, 18);
    ui.CreateListBox(IDC_PLANETS, 220, 234, 200, 116, KIT_LIST_MULTI, &pPlanets);
    for (const WCHAR* strPlanet : s_planets) pPlanets->AddRow(strPlanet, nullptr);
}

void BuildTextDialog() {
    CKitDialog& ui = g_TextUI;
    SetUpDialog(ui, L"Edit boxes and slider", 750, 10, 420, 370);
    ui.CreateStatic(-1, L"Edit box (Enter logs its text):", 10, 4, 400, 18);
    ui.CreateEditBox(IDC_EDIT, L"Type here; Shift+arrows select", 10, 24, 400, 36);
    // The input-method edit box shows a composition at the caret while an
    // input method composes; its sample text mixes scripts.
    ui.CreateStatic(-1, L"Input-method edit box (Latin, CJK, Arabic):", 10, 70, 400, 18);
    ui.CreateIMEEditBox(IDC_IME_EDIT, L"Tumbral 你好 مرحبا", 10, 90, 400, 36);
    ui.CreateStatic(-1, L"Ctrl+C copies the selection, Ctrl+V pastes it,", 10, 134, 400, 18);
    ui.CreateStatic(-1, L"Ctrl+A selects everything.", 10, 152, 400, 18);

    ui.CreateStatic(-1, L"Slider (0 to 100):", 10, 186, 400, 18);
    ui.CreateSlider(IDC_SLIDER, 10, 208, 300, 24, 0, 100, 50);
    ui.CreateStatic(IDC_SLIDER_VALUE, L"50", 330, 208, 80, 24);
}

void BuildLogDialog() {
    SetUpDialog(g_LogUI, L"Event log: event, control id, value (newest last)", 10, 400, 1160, 260);
    // The log's lines in a fixed-width face (font 1 of this dialog), so that its columns line up.
    g_LogUI.AssignFont(1, L"Courier New", 14, FW_NORMAL);
    g_LogUI.ElementDefault(KIT_KIND_STATIC, 0)->nFont = 1;
    for (int i = 0; i < GALLERY_LOG_LINES; ++i)
        g_LogUI.CreateStatic(IDC_LOG_LINE + i, L"", 10, 4 + 18 * i, 1140, 18);
}

// The status lines: statistics and the keys, without caption or background,
// and off the ring of dialogs (nothing in it takes the focus).
void BuildStatusDialog() {
    g_StatusUI.Init(&g_DialogResourceManager, false);
    g_StatusUI.SetDialogSize(1160, 36);
    g_StatusUI.ElementDefault(KIT_KIND_STATIC, 0)->dwFormat = DT_LEFT | DT_VCENTER;
    g_StatusUI.CreateStatic(IDC_STATUS_LINE, L"", 0, 0, 1160, 18);
    g_StatusUI.CreateStatic(IDC_STATUS_LINE + 1,
                            L"F2 settings  Alt+Enter full screen  F3 reference device  F8 wireframe  "
                            L"Pause  Esc quits",
                            0, 18, 1160, 18);
}

}  // namespace

void GalleryBuildDialogs() {
    // The settings page first: it shares the resource manager but stays off
    // the ring of dialogs that Tab travels.
    g_SettingsDlg.Setup(&g_DialogResourceManager);
    BuildButtonsDialog();
    BuildListsDialog();
    BuildTextDialog();
    BuildLogDialog();
    BuildStatusDialog();
    GalleryShadeDialogs(true);
}

void GalleryPlaceStatus(int nBackBufferHeight) { g_StatusUI.MoveTo(10, nBackBufferHeight - 42); }
