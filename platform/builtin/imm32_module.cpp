// The built-in "imm32.dll": one input context, whose composition string is
// the one the backend's input method is composing now.
#include <algorithm>
#include <cstring>

#include "platform/imm.h"
#include "platform/win32/kernel_modules.h"
#include "platform/win32/user_state.h"

namespace {

HIMC const kContext = reinterpret_cast<HIMC>(uintptr_t(0x494D4300));

HIMC WINAPI ImmGetContext(HWND hWnd) { return hWnd ? kContext : nullptr; }

BOOL WINAPI ImmReleaseContext(HWND, HIMC hIMC) { return hIMC == kContext ? TRUE : FALSE; }

LONG WINAPI ImmGetCompositionStringW(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen) {
    if (hIMC != kContext) return -1;
    if (dwIndex != GCS_COMPSTR) return 0;  // committed text comes as WM_CHAR
    const std::wstring& text = plat::user::CompositionText();
    const DWORD bytes = DWORD(text.size() * sizeof(WCHAR));
    if (dwBufLen == 0) return LONG(bytes);
    if (!lpBuf) return -1;
    const DWORD copied = std::min(bytes, dwBufLen - dwBufLen % DWORD(sizeof(WCHAR)));
    std::memcpy(lpBuf, text.data(), copied);
    return LONG(copied);
}

const bool g_registered = plat::RegisterBuiltinModule(
    "imm32.dll", {{"ImmGetContext", plat::Export(&ImmGetContext)},
                  {"ImmReleaseContext", plat::Export(&ImmReleaseContext)},
                  {"ImmGetCompositionStringW", plat::Export(&ImmGetCompositionStringW)}});

}  // namespace
