// The built-in control classes a dialog template names: "Button" (push
// buttons and check boxes) and "Static" (texts and icons). They keep state
// and send notifications; nothing is drawn.
#include "platform/win32/user_state.h"

using namespace plat::user;

namespace {

LONG ButtonType(const Window& w) { return static_cast<LONG>(w.style) & BS_TYPEMASK; }

void Click(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (!w || (w->style & WS_DISABLED)) return;
    LONG type = ButtonType(*w);
    if (type == BS_AUTOCHECKBOX) w->checkState = w->checkState == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    if (type == BS_AUTORADIOBUTTON) w->checkState = BST_CHECKED;
    HWND parent = w->parent;
    WPARAM wp = MAKEWPARAM(static_cast<WORD>(w->id), BN_CLICKED);
    Send(parent, WM_COMMAND, wp, reinterpret_cast<LPARAM>(hwnd));
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (!w) return 0;
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(hwnd);
            SetFocus(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            if (GetCapture() != hwnd) return 0;
            ReleaseCapture();
            RECT c;
            GetClientRect(hwnd, &c);
            if (PtInRect(&c, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) Click(hwnd);
            return 0;
        }
        case WM_KEYUP:
            if (wParam == VK_SPACE) Click(hwnd);
            return 0;
        case BM_CLICK:
            Click(hwnd);
            return 0;
        case BM_GETCHECK:
            return w->checkState;
        case BM_SETCHECK:
            w->checkState = static_cast<UINT>(wParam);
            return 0;
        case BM_GETSTATE:
            return w->checkState | (GetFocus() == hwnd ? BST_FOCUS : 0);
        case BM_SETSTYLE:
            w->style =
                (w->style & ~static_cast<DWORD>(BS_TYPEMASK)) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
            return 0;
        case WM_GETDLGCODE: {
            LONG type = ButtonType(*w);
            if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            return DLGC_BUTTON;
        }
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (!w) return 0;
    switch (msg) {
        case STM_SETIMAGE: {
            HANDLE old = w->image;
            w->image = reinterpret_cast<HANDLE>(lParam);
            return reinterpret_cast<LRESULT>(old);
        }
        case STM_SETICON: {
            HANDLE old = w->image;
            w->image = reinterpret_cast<HANDLE>(wParam);
            return reinterpret_cast<LRESULT>(old);
        }
        case STM_GETIMAGE:
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(w->image);
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void RegisterOne(LPCWSTR name, WNDPROC proc, int extra, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extra;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassInternal(wc, true);
}

}  // namespace

namespace plat::user {

void RegisterSystemClasses() {
    State& s = S();
    if (s.systemClasses) return;
    s.systemClasses = true;
    RegisterOne(L"Button", ButtonProc, 0, CS_DBLCLKS);
    RegisterOne(L"Static", StaticProc, 0, 0);
    RegisterOne(L"#32770", DefDlgProcW, DLGWINDOWEXTRA, CS_DBLCLKS | CS_SAVEBITS);
    // The dialog class answers to its well-known atom as well.
    if (WindowClass* dialog = FindClass(L"#32770")) dialog->atom = 0x8002;
}

}  // namespace plat::user

void WINAPI InitCommonControls() {}
