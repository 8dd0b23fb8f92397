// Creating the framework's window, or adopting the windows of an application
// that made its own.
#include "common/kit/window/kit_window_create.h"

#include "common/kit/errors/kit_errors.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/window/kit_msgproc.h"

namespace {

const WCHAR* const kWindowClass = L"Direct3DWindowClass";

// A Windows error code as a result code.
HRESULT ResultFromError(DWORD dwError) {
    if (static_cast<LONG>(dwError) <= 0) return static_cast<HRESULT>(dwError);
    return static_cast<HRESULT>(0x80070000u | (dwError & 0xFFFFu));
}

// Initialises the framework with defaults unless that was tried and failed.
HRESULT EnsureStarted() {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bInited)) return S_OK;
    if (s.Get(&CKitCoreState::m_bInitCalled)) return E_FAIL;
    return KitStartup(true, true, true, true);
}

}  // namespace

HRESULT KitCreateWindow(const WCHAR* strWindowTitle, HINSTANCE hInstance, HICON hIcon, HMENU hMenu, int x,
                        int y) {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bInsideDeviceCallback))
        return KIT_LOG_FAILURE_POPUP(L"KitCreateWindow", E_FAIL);

    s.Set(&CKitCoreState::m_bWindowCreateCalled, true);
    HRESULT hr = EnsureStarted();
    if (FAILED(hr)) return hr;

    if (KitFocusWindow() != nullptr) return S_OK;

    if (hInstance == nullptr) hInstance = GetModuleHandleW(nullptr);
    s.Set(&CKitCoreState::m_hInstance, hInstance);
    if (hIcon == nullptr) {
        WCHAR strExePath[MAX_PATH];
        GetModuleFileNameW(nullptr, strExePath, MAX_PATH);
        hIcon = ExtractIconW(hInstance, strExePath, 0);
    }

    WNDCLASSW wndClass{};
    wndClass.style = CS_DBLCLKS;
    wndClass.lpfnWndProc = KitWindowProc;
    wndClass.hInstance = hInstance;
    wndClass.hIcon = hIcon;
    wndClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wndClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wndClass.lpszClassName = kWindowClass;
    if (RegisterClassW(&wndClass) == 0) {
        DWORD dwError = GetLastError();
        if (dwError != ERROR_CLASS_ALREADY_EXISTS)
            return KIT_LOG_FAILURE_POPUP(L"RegisterClass", ResultFromError(dwError));
    }

    int nStartX = s.Get(&CKitCoreState::m_nOverrideStartX);
    int nStartY = s.Get(&CKitCoreState::m_nOverrideStartY);
    if (nStartX != -1) x = nStartX;
    if (nStartY != -1) y = nStartY;
    s.Set(&CKitCoreState::m_bDefaultPosition, x == CW_USEDEFAULT && y == CW_USEDEFAULT);

    int nClientWidth = 640;
    int nClientHeight = 480;
    if (s.Get(&CKitCoreState::m_nOverrideWidth) != 0) nClientWidth = s.Get(&CKitCoreState::m_nOverrideWidth);
    if (s.Get(&CKitCoreState::m_nOverrideHeight) != 0)
        nClientHeight = s.Get(&CKitCoreState::m_nOverrideHeight);
    RECT rc = {0, 0, nClientWidth, nClientHeight};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, hMenu != nullptr);

    {
        KitStateLock lock;
        StringCchCopyNW(s.m_szWindowTitle, 256, strWindowTitle != nullptr ? strWindowTitle : L"", 255);
    }

    HWND hWnd = CreateWindowExW(0, kWindowClass, KitWindowTitle(), WS_OVERLAPPEDWINDOW, x, y,
                                rc.right - rc.left, rc.bottom - rc.top, nullptr, hMenu, hInstance, nullptr);
    if (hWnd == nullptr) return KIT_LOG_FAILURE_POPUP(L"CreateWindow", ResultFromError(GetLastError()));

    KitStateLock lock;
    s.m_bWindowCreated = true;
    s.m_hWndFocus = hWnd;
    s.m_hWndFullScreen = hWnd;
    s.m_hWndWindowed = hWnd;
    return S_OK;
}

HRESULT KitSetWindow(HWND hWndFocus, HWND hWndDeviceFullScreen, HWND hWndDeviceWindowed,
                     bool bHandleMessages) {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bInsideDeviceCallback))
        return KIT_LOG_FAILURE_POPUP(L"KitCreateWindow", E_FAIL);

    s.Set(&CKitCoreState::m_bWindowCreateCalled, true);
    if (hWndFocus == nullptr || hWndDeviceFullScreen == nullptr || hWndDeviceWindowed == nullptr)
        return KIT_LOG_FAILURE_POPUP(L"KitSetWindow", E_INVALIDARG);

    if (bHandleMessages) {
        // The application's own procedure is replaced, not chained.
        if (SetWindowLongPtrW(hWndFocus, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KitWindowProc)) == 0)
            return KIT_LOG_FAILURE_POPUP(L"SetWindowLongPtr", ResultFromError(GetLastError()));
    }

    HRESULT hr = EnsureStarted();
    if (FAILED(hr)) return hr;

    WCHAR strTitle[256];
    GetWindowTextW(hWndFocus, strTitle, 255);
    strTitle[255] = L'\0';
    HINSTANCE hInstance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hWndFocus, GWLP_HINSTANCE));

    KitStateLock lock;
    StringCchCopyW(s.m_szWindowTitle, 256, strTitle);
    s.m_hInstance = hInstance;
    s.m_bDefaultPosition = false;
    s.m_bWindowCreated = true;
    s.m_hWndFocus = hWndFocus;
    s.m_hWndFullScreen = hWndDeviceFullScreen;
    s.m_hWndWindowed = hWndDeviceWindowed;
    return S_OK;
}
