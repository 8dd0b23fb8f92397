// The framework's window procedure: every message passes the keyboard
// bookkeeping, the mouse bookkeeping, the application's message callback, the
// framework's own handling and the default window procedure, in that order.
#include "common/kit/window/kit_msgproc.h"

#include "common/kit/state/kit_state.h"
#include "common/kit/window/kit_msgproc_framework.h"

namespace {

void KeyboardStage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg != WM_KEYDOWN && uMsg != WM_SYSKEYDOWN && uMsg != WM_KEYUP && uMsg != WM_SYSKEYUP) return;
    bool bKeyDown = uMsg == WM_KEYDOWN || uMsg == WM_SYSKEYDOWN;
    CKitCoreState& s = KitCore();
    KitKeyboardFn pfnKeyboard;
    void* pContext;
    {
        KitStateLock lock;
        s.m_Keys[wParam & 0xFF] = bKeyDown;
        pfnKeyboard = s.m_pfnKeyboard;
        pContext = s.m_pKeyboardContext;
    }
    bool bAltDown = (lParam & (1 << 29)) != 0;
    if (pfnKeyboard != nullptr) pfnKeyboard(static_cast<UINT>(wParam), bKeyDown, bAltDown, pContext);
}

bool IsMouseMessage(UINT uMsg) {
    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_XBUTTONDOWN:
        case WM_XBUTTONUP:
        case WM_XBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
            return true;
        case WM_MOUSEMOVE:
            return KitCore().Get(&CKitCoreState::m_bNotifyMouseMove);
        default:
            return false;
    }
}

void MouseStage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!IsMouseMessage(uMsg)) return;
    POINT pt = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
    int nWheelDelta = 0;
    if (uMsg == WM_MOUSEWHEEL) {
        // The wheel reports screen coordinates.
        ScreenToClient(hWnd, &pt);
        nWheelDelta = static_cast<SHORT>(HIWORD(wParam));
    }
    int nButtons = LOWORD(wParam);
    bool bLeft = (nButtons & MK_LBUTTON) != 0;
    bool bRight = (nButtons & MK_RBUTTON) != 0;
    bool bMiddle = (nButtons & MK_MBUTTON) != 0;
    bool bSide1 = (nButtons & MK_XBUTTON1) != 0;
    bool bSide2 = (nButtons & MK_XBUTTON2) != 0;

    CKitCoreState& s = KitCore();
    KitMouseFn pfnMouse;
    void* pContext;
    {
        KitStateLock lock;
        s.m_MouseButtons[0] = bLeft;
        s.m_MouseButtons[1] = bMiddle;
        s.m_MouseButtons[2] = bRight;
        s.m_MouseButtons[3] = bSide1;
        s.m_MouseButtons[4] = bSide2;
        pfnMouse = s.m_pfnMouse;
        pContext = s.m_pMouseContext;
    }
    if (pfnMouse != nullptr)
        pfnMouse(bLeft, bRight, bMiddle, bSide1, bSide2, nWheelDelta, static_cast<int>(pt.x),
                 static_cast<int>(pt.y), pContext);
}

}  // namespace

LRESULT CALLBACK KitWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    KeyboardStage(uMsg, wParam, lParam);
    MouseStage(hWnd, uMsg, wParam, lParam);

    CKitCoreState& s = KitCore();
    KitMsgProcFn pfnMsgProc = s.Get(&CKitCoreState::m_pfnMsgProc);
    if (pfnMsgProc != nullptr) {
        bool bNoFurtherProcessing = false;
        LRESULT nResult = pfnMsgProc(hWnd, uMsg, wParam, lParam, &bNoFurtherProcessing,
                                     s.Get(&CKitCoreState::m_pMsgProcContext));
        if (bNoFurtherProcessing) return nResult;
    }

    LRESULT nResult = 0;
    if (KitHandleFrameworkMessage(hWnd, uMsg, wParam, lParam, &nResult)) return nResult;

    if (!s.Get(&CKitCoreState::m_bCallDefWindowProc)) return 0;
    // F10 opens no system menu unless the application's menu is put away for full screen.
    if ((uMsg == WM_SYSKEYDOWN || uMsg == WM_SYSKEYUP) && wParam == VK_F10 &&
        s.Get(&CKitCoreState::m_hSavedMenu) == nullptr)
        return 0;
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}
