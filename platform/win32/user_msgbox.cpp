// Message boxes, shown by the backend.
#include "platform/win32/user_state.h"

using namespace plat::user;

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    plat::MessageBoxRequest request;
    request.owner = plat::NativeWindowOf(hWnd);
    request.text = lpText ? lpText : L"";
    request.caption = lpCaption ? lpCaption : L"Error";
    request.type = uType;
    int result = plat::CurrentBackend().ShowMessageBox(request);
    if (result < 0) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return result;
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    auto widen = [](LPCSTR s, std::wstring& out) -> LPCWSTR {
        if (!s) return nullptr;
        int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
        out.assign(static_cast<size_t>(n > 0 ? n : 1), L'\0');
        if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s, -1, out.data(), n);
        return out.c_str();
    };
    std::wstring text, caption;
    return MessageBoxW(hWnd, widen(lpText, text), widen(lpCaption, caption), uType);
}
