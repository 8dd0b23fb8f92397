// The input-method edit box: composition messages, the composed text read
// through imm32.dll (loaded on first use), and its drawing at the caret.
#include "common/kitgui/control_ime_edit_box.h"

#include <algorithm>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"
#include "platform/imm.h"

namespace {

HMODULE g_hImm = nullptr;
PFN_ImmGetContext g_pfnGetContext = nullptr;
PFN_ImmReleaseContext g_pfnReleaseContext = nullptr;
PFN_ImmGetCompositionStringW g_pfnGetCompositionString = nullptr;

template <typename Fn>
Fn Entry(const char* strName) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(g_hImm, strName)));
}

bool LoadInputMethod() {
    if (!g_hImm) {
        g_hImm = LoadLibraryW(L"imm32.dll");
        if (!g_hImm) return false;
        g_pfnGetContext = Entry<PFN_ImmGetContext>("ImmGetContext");
        g_pfnReleaseContext = Entry<PFN_ImmReleaseContext>("ImmReleaseContext");
        g_pfnGetCompositionString = Entry<PFN_ImmGetCompositionStringW>("ImmGetCompositionStringW");
    }
    return g_pfnGetContext && g_pfnReleaseContext && g_pfnGetCompositionString;
}

}  // namespace

void KitUnloadInputMethod() {
    if (g_hImm) FreeLibrary(g_hImm);
    g_hImm = nullptr;
    g_pfnGetContext = nullptr;
    g_pfnReleaseContext = nullptr;
    g_pfnGetCompositionString = nullptr;
}

CKitIMEEditBox::CKitIMEEditBox(CKitDialog* pDialog) : CKitEditBox(pDialog) { m_eKind = KIT_KIND_IMEEDITBOX; }

void CKitIMEEditBox::ReadComposition() {
    m_strComposition.clear();
    if (!LoadInputMethod()) return;
    // The input context is the one of the window with the keyboard focus.
    HWND hWnd = GetFocus() ? GetFocus() : KitActiveWindow();
    HIMC hIMC = g_pfnGetContext(hWnd);
    if (!hIMC) return;
    const LONG nBytes = g_pfnGetCompositionString(hIMC, GCS_COMPSTR, nullptr, 0);
    if (nBytes > 0) {
        m_strComposition.resize(size_t(nBytes) / sizeof(WCHAR));
        const LONG nCopied =
            g_pfnGetCompositionString(hIMC, GCS_COMPSTR, m_strComposition.data(), DWORD(nBytes));
        m_strComposition.resize(nCopied > 0 ? size_t(nCopied) / sizeof(WCHAR) : 0);
    }
    g_pfnReleaseContext(hWnd, hIMC);
}

bool CKitIMEEditBox::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!m_bActive || !m_bShown) return false;
    switch (uMsg) {
        case WM_IME_STARTCOMPOSITION:
            m_strComposition.clear();
            return true;
        case WM_IME_COMPOSITION:
            if (lParam & GCS_COMPSTR) ReadComposition();
            return true;
        case WM_IME_ENDCOMPOSITION:
            m_strComposition.clear();
            return true;
        default:
            return CKitEditBox::ProcessMessage(uMsg, wParam, lParam);
    }
}

void CKitIMEEditBox::OnFocusLost() {
    CKitEditBox::OnFocusLost();
    m_strComposition.clear();
}

void CKitIMEEditBox::Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) {
    CKitEditBox::Draw(pd3dDevice, fElapsedTime);
    if (!m_bShown || !m_bFocused || m_strComposition.empty() || m_SkinElements.Length() == 0) return;

    // The composed text on a clear patch from the caret on, underlined.
    CKitSkinElement* pText = m_SkinElements.GetAt(0);
    RECT rcText = {0, 0, 0, 0};
    if (FAILED(m_pOwner->MeasureText(m_strComposition.c_str(), pText, &rcText))) return;
    const int nLeft = m_rcEdit.left - CaretX(m_nScrollChar) + CaretX(m_nCursor);
    RECT rcComposition = {nLeft, m_rcEdit.top, nLeft + (rcText.right - rcText.left), m_rcEdit.bottom};
    IntersectRect(&rcComposition, &rcComposition, &m_rcEdit);
    m_pOwner->PaintRect(&rcComposition, 0xFFFFFFFF);
    pText->TextColor.Current = KitColorFromArgb(m_clrText);
    m_pOwner->PaintText(m_strComposition.c_str(), pText, &rcComposition, false, -1);
    const int nBaseline = std::min(m_rcEdit.top + int(rcText.bottom - rcText.top), int(m_rcEdit.bottom));
    RECT rcUnderline = {rcComposition.left, nBaseline - 1, rcComposition.right, nBaseline};
    m_pOwner->PaintRect(&rcUnderline, m_clrText);
}
