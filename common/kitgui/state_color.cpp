// Per-state colours: setting them all at once, fading the drawn colour toward
// a state's colour, and the ARGB <-> float conversions.
#include <cmath>

#include "common/kitgui/skin_element.h"

D3DXCOLOR KitColorFromArgb(D3DCOLOR argb) {
    const float k = 1.0f / 255.0f;
    return D3DXCOLOR(float((argb >> 16) & 0xFF) * k, float((argb >> 8) & 0xFF) * k, float(argb & 0xFF) * k,
                     float((argb >> 24) & 0xFF) * k);
}

namespace {

DWORD Channel(float v) {
    if (v >= 1.0f) return 255;
    if (v <= 0.0f) return 0;
    return DWORD(v * 255.0f + 0.5f);
}

}  // namespace

D3DCOLOR KitArgbFromColor(const D3DXCOLOR& c) {
    return (Channel(c.a) << 24) | (Channel(c.r) << 16) | (Channel(c.g) << 8) | Channel(c.b);
}

void KitStateColor::SetAll(D3DCOLOR defaultColor, D3DCOLOR disabledColor, D3DCOLOR hiddenColor) {
    for (D3DCOLOR& c : States) c = defaultColor;
    States[KIT_LOOK_DISABLED] = disabledColor;
    States[KIT_LOOK_HIDDEN] = hiddenColor;
    Current = KitColorFromArgb(hiddenColor);
}

void KitStateColor::Fade(UINT iState, float fElapsedTime, float fRate) {
    if (iState >= KIT_LOOK_COUNT) return;
    const D3DXCOLOR target = KitColorFromArgb(States[iState]);
    // Rate 0 jumps to the target, even over no elapsed time (where 0^0 would hold it still).
    const float t = fRate <= 0.0f ? 1.0f : 1.0f - std::pow(fRate, 30.0f * fElapsedTime);
    Current.r += (target.r - Current.r) * t;
    Current.g += (target.g - Current.g) * t;
    Current.b += (target.b - Current.b) * t;
    Current.a += (target.a - Current.a) * t;
}

void CKitSkinElement::SetTextureLook(UINT iTexture, const RECT* prcTexture, D3DCOLOR defaultTint) {
    nTexture = iTexture;
    if (prcTexture)
        rcSource = *prcTexture;
    else
        SetRectEmpty(&rcSource);
    TintColor.SetAll(defaultTint);
}

void CKitSkinElement::SetFontLook(UINT iFont, D3DCOLOR defaultTextColor, DWORD dwTextFormat) {
    nFont = iFont;
    dwFormat = dwTextFormat;
    TextColor.SetAll(defaultTextColor);
}

void CKitSkinElement::Restore() {
    TintColor.Current = KitColorFromArgb(TintColor.States[KIT_LOOK_HIDDEN]);
    TextColor.Current = KitColorFromArgb(TextColor.States[KIT_LOOK_HIDDEN]);
}
