// Input-method composition from the backend (SDL's text-editing events): the
// focused window gets WM_IME_STARTCOMPOSITION, a WM_IME_COMPOSITION per change
// of the composed text and WM_IME_ENDCOMPOSITION when it ends (committed text
// arrives separately as WM_CHAR). The text is kept for the built-in imm32.dll.
#include "platform/imm.h"
#include "platform/win32/user_state.h"

namespace plat::user {
namespace {

std::wstring g_composition;
bool g_composing = false;

}  // namespace

void HandleComposition(const Event& e) {
    State& s = S();
    HWND target = s.focus ? s.focus : s.active;
    if (!e.text.empty()) {
        if (!g_composing && target) PostInput(target, WM_IME_STARTCOMPOSITION, 0, 0);
        g_composing = true;
        g_composition = e.text;
        if (target) PostInput(target, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
        return;
    }
    if (!g_composing) return;
    g_composing = false;
    g_composition.clear();
    if (target) PostInput(target, WM_IME_ENDCOMPOSITION, 0, 0);
}

const std::wstring& CompositionText() { return g_composition; }

void ResetComposition() {
    g_composition.clear();
    g_composing = false;
}

}  // namespace plat::user
