// The default looks: the caption element and the table of default elements
// per control kind, addressing the built-in skin's 256 x 256 layout. Looks are
// data: a row per element, built once.
#include <iterator>

#include "common/kitgui/gui_types.h"
#include "common/kitgui/skin_element.h"

namespace {

constexpr D3DCOLOR kWhite = 0xFFFFFFFF;
constexpr D3DCOLOR kBlack = 0xFF000000;

// One row of the table: a rectangle (or none), tint overrides and a text look.
struct Row {
    UINT nKind;
    UINT iElement;
    bool bHasRect;
    RECT rc;
    D3DCOLOR tint;  // default tint
    // Tint overrides as (state, colour) pairs; state -1 ends the list.
    int tintState[4];
    D3DCOLOR tintColor[4];
    D3DCOLOR text;  // default text colour
    int textState[3];
    D3DCOLOR textColor[3];
    DWORD dwFormat;
};

constexpr int N = -1;  // ends an override list

CKitSkinElement MakeElement(const Row& row) {
    CKitSkinElement e{};
    e.SetTextureLook(0, row.bHasRect ? &row.rc : nullptr, row.tint);
    for (int i = 0; i < 4 && row.tintState[i] != N; ++i)
        e.TintColor.States[row.tintState[i]] = row.tintColor[i];
    e.SetFontLook(0, row.text, row.dwFormat);
    for (int i = 0; i < 3 && row.textState[i] != N; ++i)
        e.TextColor.States[row.textState[i]] = row.textColor[i];
    return e;
}

// Texts of the static, check box, radio button and combo box: disabled grey-white.
#define TEXT_DIM \
    {KIT_LOOK_DISABLED, N, N}, { 0xC8C8C8C8, 0, 0 }
#define NO_TEXT_OVERRIDES \
    {N, N, N}, { 0, 0, 0 }
#define NO_TINT_OVERRIDES \
    {N, N, N, N}, { 0, 0, 0, 0 }

// clang-format off
const Row kRows[] = {
    // Static text.
    {KIT_KIND_STATIC, 0, false, {0, 0, 0, 0}, kWhite, NO_TINT_OVERRIDES, kWhite, TEXT_DIM, DT_CENTER | DT_VCENTER},
    // Button: face and fill layer.
    {KIT_KIND_BUTTON, 0, true, {0, 0, 136, 54}, kWhite,
     {KIT_LOOK_NORMAL, KIT_LOOK_PRESSED, N, N}, {0x96FFFFFF, 0xC8FFFFFF, 0, 0},
     kWhite, {KIT_LOOK_MOUSEOVER, N, N}, {kBlack, 0, 0}, DT_CENTER | DT_VCENTER},
    {KIT_KIND_BUTTON, 1, true, {136, 0, 252, 54}, 0x00FFFFFF,
     {KIT_LOOK_MOUSEOVER, KIT_LOOK_PRESSED, KIT_LOOK_FOCUS, N}, {0xA0FFFFFF, 0x3C000000, 0x1EFFFFFF, 0},
     kWhite, {KIT_LOOK_MOUSEOVER, N, N}, {kBlack, 0, 0}, DT_CENTER | DT_VCENTER},
    // Check box: box and check mark.
    {KIT_KIND_CHECKBOX, 0, true, {0, 54, 27, 81}, kWhite,
     {KIT_LOOK_NORMAL, KIT_LOOK_FOCUS, KIT_LOOK_PRESSED, N}, {0x96FFFFFF, 0xC8FFFFFF, 0xFFFFFFFF, 0},
     kWhite, TEXT_DIM, DT_LEFT | DT_VCENTER},
    {KIT_KIND_CHECKBOX, 1, true, {27, 54, 54, 81}, kWhite, NO_TINT_OVERRIDES, kWhite, TEXT_DIM, DT_LEFT | DT_VCENTER},
    // Radio button: box and check mark.
    {KIT_KIND_RADIOBUTTON, 0, true, {54, 54, 81, 81}, kWhite,
     {KIT_LOOK_NORMAL, KIT_LOOK_FOCUS, KIT_LOOK_PRESSED, N}, {0x96FFFFFF, 0xC8FFFFFF, 0xFFFFFFFF, 0},
     kWhite, TEXT_DIM, DT_LEFT | DT_VCENTER},
    {KIT_KIND_RADIOBUTTON, 1, true, {81, 54, 108, 81}, kWhite, NO_TINT_OVERRIDES, kWhite, TEXT_DIM,
     DT_LEFT | DT_VCENTER},
    // Combo box: main, button, drop-down and selection.
    {KIT_KIND_COMBOBOX, 0, true, {7, 81, 247, 123}, kWhite,
     {KIT_LOOK_NORMAL, KIT_LOOK_FOCUS, KIT_LOOK_DISABLED, N}, {0x96C8C8C8, 0xAAE6E6E6, 0x46C8C8C8, 0},
     kWhite, {KIT_LOOK_MOUSEOVER, KIT_LOOK_PRESSED, KIT_LOOK_DISABLED}, {kBlack, kBlack, 0xC8C8C8C8},
     DT_CENTER | DT_VCENTER},
    {KIT_KIND_COMBOBOX, 1, true, {98, 189, 151, 238}, kWhite,
     {KIT_LOOK_NORMAL, KIT_LOOK_PRESSED, KIT_LOOK_FOCUS, KIT_LOOK_DISABLED},
     {0x96FFFFFF, 0xFF969696, 0xC8FFFFFF, 0x46FFFFFF}, kWhite, NO_TEXT_OVERRIDES, DT_CENTER | DT_VCENTER},
    {KIT_KIND_COMBOBOX, 2, true, {13, 123, 241, 160}, kWhite, NO_TINT_OVERRIDES, kBlack, NO_TEXT_OVERRIDES,
     DT_LEFT | DT_TOP},
    {KIT_KIND_COMBOBOX, 3, true, {12, 163, 239, 183}, kWhite, NO_TINT_OVERRIDES, kWhite, NO_TEXT_OVERRIDES,
     DT_LEFT | DT_TOP},
    // Slider: track and button.
    {KIT_KIND_SLIDER, 0, true, {1, 187, 93, 228}, kWhite,
     {KIT_LOOK_NORMAL, KIT_LOOK_FOCUS, KIT_LOOK_DISABLED, N}, {0x96FFFFFF, 0xC8FFFFFF, 0x46FFFFFF, 0},
     kWhite, NO_TEXT_OVERRIDES, DT_CENTER | DT_VCENTER},
    {KIT_KIND_SLIDER, 1, true, {151, 193, 192, 234}, kWhite, NO_TINT_OVERRIDES, kWhite, NO_TEXT_OVERRIDES,
     DT_CENTER | DT_VCENTER},
    // Scroll bar: the rectangles of track and arrows are set from their origin below.
    {KIT_KIND_SCROLLBAR, 0, true, {0, 0, 0, 0}, kWhite, {KIT_LOOK_DISABLED, N, N, N}, {0xFFC8C8C8, 0, 0, 0},
     kWhite, NO_TEXT_OVERRIDES, DT_CENTER | DT_VCENTER},
    {KIT_KIND_SCROLLBAR, 1, true, {0, 0, 0, 0}, kWhite, {KIT_LOOK_DISABLED, N, N, N}, {0xFFC8C8C8, 0, 0, 0},
     kWhite, NO_TEXT_OVERRIDES, DT_CENTER | DT_VCENTER},
    {KIT_KIND_SCROLLBAR, 2, true, {0, 0, 0, 0}, kWhite, {KIT_LOOK_DISABLED, N, N, N}, {0xFFC8C8C8, 0, 0, 0},
     kWhite, NO_TEXT_OVERRIDES, DT_CENTER | DT_VCENTER},
    {KIT_KIND_SCROLLBAR, 3, true, {220, 192, 238, 234}, kWhite, NO_TINT_OVERRIDES, kWhite, NO_TEXT_OVERRIDES,
     DT_CENTER | DT_VCENTER},
};
// clang-format on

// The nine edit-box pieces: text area, then the borders clockwise from top-left.
const RECT kEditRects[9] = {
    {14, 90, 241, 113},  {8, 82, 14, 90},   {14, 82, 241, 90},   {241, 82, 246, 90},   {8, 90, 14, 113},
    {241, 90, 246, 113}, {8, 113, 14, 121}, {14, 113, 241, 121}, {241, 113, 246, 121},
};

constexpr int kMaxDefaults = 64;

struct Table {
    KitElementDefault items[kMaxDefaults];
    int count = 0;

    void Add(UINT nKind, UINT iElement, const CKitSkinElement& e) {
        items[count].nKind = nKind;
        items[count].iElement = iElement;
        items[count].Element = e;
        ++count;
    }

    Table() {
        for (const Row& row : kRows) {
            CKitSkinElement e = MakeElement(row);
            if (row.nKind == KIT_KIND_SCROLLBAR && row.iElement < 3) {
                RECT rcUp, rcTrack, rcDown;
                KitScrollBarRects(196, 191, &rcUp, &rcTrack, &rcDown);
                const RECT* rects[3] = {&rcTrack, &rcUp, &rcDown};
                e.rcSource = *rects[row.iElement];
            }
            Add(row.nKind, row.iElement, e);
        }
        // Edit box and input-method edit box: nine pieces with black text.
        for (UINT nKind : {UINT(KIT_KIND_EDITBOX), UINT(KIT_KIND_IMEEDITBOX)}) {
            for (UINT i = 0; i < 9; ++i) {
                CKitSkinElement e{};
                e.SetTextureLook(0, &kEditRects[i]);
                e.SetFontLook(0, kBlack, DT_LEFT | DT_TOP);
                Add(nKind, i, e);
            }
        }
        // The input-method edit box's language indicator.
        const RECT rcIndicator = {0, 0, 136, 54};
        CKitSkinElement indicator{};
        indicator.SetTextureLook(0, &rcIndicator);
        indicator.SetFontLook(0, kBlack, DT_CENTER | DT_VCENTER);
        Add(KIT_KIND_IMEEDITBOX, 9, indicator);
        // List box: main and selection.
        const RECT rcListMain = {13, 123, 241, 160};
        const RECT rcListSelection = {16, 166, 240, 183};
        CKitSkinElement listMain{};
        listMain.SetTextureLook(0, &rcListMain);
        listMain.SetFontLook(0, kBlack, DT_LEFT | DT_TOP);
        Add(KIT_KIND_LISTBOX, 0, listMain);
        CKitSkinElement listSelection{};
        listSelection.SetTextureLook(0, &rcListSelection);
        listSelection.SetFontLook(0, kWhite, DT_LEFT | DT_TOP);
        Add(KIT_KIND_LISTBOX, 1, listSelection);
    }
};

}  // namespace

void KitScrollBarRects(int x, int y, RECT* prcUp, RECT* prcTrack, RECT* prcDown) {
    SetRect(prcUp, x, y + 1, x + 22, y + 21);
    SetRect(prcTrack, x, y + 21, x + 22, y + 32);
    SetRect(prcDown, x, y + 32, x + 22, y + 53);
}

CKitSkinElement KitCaptionElement() {
    CKitSkinElement e{};
    const RECT rcCaption = {17, 269, 241, 287};  // rows below the skin image, kept as the layout has them
    e.SetTextureLook(0, &rcCaption);
    e.TintColor.States[KIT_LOOK_NORMAL] = 0xFFFFFFFF;
    e.SetFontLook(0, 0xFFFFFFFF, DT_LEFT | DT_VCENTER);
    e.TintColor.Fade(KIT_LOOK_NORMAL, 10.0f, 0.7f);
    e.TextColor.Fade(KIT_LOOK_NORMAL, 10.0f, 0.7f);
    return e;
}

const KitElementDefault* KitDefaultElements(int* pnCount) {
    static const Table table;
    if (pnCount) *pnCount = table.count;
    return table.items;
}
