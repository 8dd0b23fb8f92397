// The look model: control states, per-state colours that fade, skin elements
// (a texture rectangle, a font with format flags, a tint and a text colour)
// and the default looks every dialog loads.
#pragma once

#include "platform/d3dx9.h"

// Control states: the index into every per-state colour array.
enum KitLookState {
    KIT_LOOK_NORMAL = 0,
    KIT_LOOK_DISABLED = 1,
    KIT_LOOK_HIDDEN = 2,  // invisible; also the colour a look fades in from
    KIT_LOOK_FOCUS = 3,
    KIT_LOOK_MOUSEOVER = 4,
    KIT_LOOK_PRESSED = 5,
};
#define KIT_LOOK_COUNT 6

// Packed ARGB to four floats (each channel / 255) and back (rounded, clamped).
D3DXCOLOR KitColorFromArgb(D3DCOLOR argb);
D3DCOLOR KitArgbFromColor(const D3DXCOLOR& color);

// A colour per control state, and the colour drawn now.
struct KitStateColor {
    D3DCOLOR States[KIT_LOOK_COUNT];  // colour per control state
    D3DXCOLOR Current;                // drawn now; moves toward the state being drawn

    // Every state takes the default, then disabled and hidden their own; the
    // drawn colour starts at the hidden one.
    void SetAll(D3DCOLOR defaultColor, D3DCOLOR disabledColor = 0xC8808080, D3DCOLOR hiddenColor = 0);
    // Moves Current toward States[state]: t = 1 - rate^(30 * elapsed).
    void Fade(UINT iState, float fElapsedTime, float fRate = 0.7f);
};

// One look: texture rectangle, font and format, tint and text colour.
struct CKitSkinElement {
    UINT nTexture;            // dialog texture index
    UINT nFont;               // dialog font index
    DWORD dwFormat;           // DT_* text format flags
    RECT rcSource;            // source rectangle in texture pixels
    KitStateColor TintColor;  // modulates the texture rectangle
    KitStateColor TextColor;  // colour of the text

    void SetTextureLook(UINT iTexture, const RECT* prcTexture, D3DCOLOR defaultTint = 0xFFFFFFFF);
    void SetFontLook(UINT iFont, D3DCOLOR defaultTextColor = 0xFFFFFFFF, DWORD dwTextFormat = 5);
    // Both drawn colours back to their hidden colour, so the look fades in again.
    void Restore();
};

// A default look for one element index of one control kind.
struct KitElementDefault {
    UINT nKind;     // control kind
    UINT iElement;  // element index
    CKitSkinElement Element;
};

// The caption's look, faded in fully (10 s at rate 0.7).
CKitSkinElement KitCaptionElement();
// The default-element table in load order; *pnCount receives its length.
const KitElementDefault* KitDefaultElements(int* pnCount);
// The scroll bar's up arrow, track and down arrow rectangles from their origin.
void KitScrollBarRects(int x, int y, RECT* prcUp, RECT* prcTrack, RECT* prcDown);
