// The clipboard: text in CF_UNICODETEXT (or CF_TEXT, UTF-8) over the backend's
// clipboard, exchanged in global memory blocks.
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/backend/backend_table.h"
#include "platform/win32/kernel_memory.h"
#include "platform/base/utf8.h"
#include "platform/win32kernel.h"

namespace {

struct ClipboardState {
    bool open = false;
    HWND owner = nullptr;
    HGLOBAL ownedBlock = nullptr;  // the block the clipboard holds (set or handed out)
};

ClipboardState g_clipboard;

bool IsTextFormat(UINT format) { return format == CF_UNICODETEXT || format == CF_TEXT; }

bool RequireOpen() {
    if (!g_clipboard.open) SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return g_clipboard.open;
}

void ReleaseOwnedBlock() {
    if (g_clipboard.ownedBlock) GlobalFree(g_clipboard.ownedBlock);
    g_clipboard.ownedBlock = nullptr;
}

// The text of a block: up to its first terminator or its end.
bool BlockText(UINT format, HGLOBAL block, std::string& utf8) {
    const void* data = nullptr;
    size_t size = 0;
    if (!plat::PeekMemoryBlock(block, &data, &size)) return false;
    if (format == CF_TEXT) {
        const char* text = static_cast<const char*>(data);
        utf8.assign(text, strnlen(text, size));
    } else {
        const wchar_t* text = static_cast<const wchar_t*>(data);
        const size_t count = size / sizeof(wchar_t);
        utf8 = plat::WideToUtf8(std::wstring_view(text, wcsnlen(text, count)));
    }
    return true;
}

HGLOBAL NewTextBlock(UINT format, const std::string& utf8) {
    if (format == CF_TEXT) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, utf8.size() + 1);
        if (!block) return nullptr;
        char* p = static_cast<char*>(GlobalLock(block));
        std::memcpy(p, utf8.c_str(), utf8.size() + 1);
        GlobalUnlock(block);
        return block;
    }
    const std::wstring wide = plat::Utf8ToWide(utf8);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!block) return nullptr;
    wchar_t* p = static_cast<wchar_t*>(GlobalLock(block));
    wmemcpy(p, wide.c_str(), wide.size() + 1);
    GlobalUnlock(block);
    return block;
}

}  // namespace

BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
    if (g_clipboard.open && g_clipboard.owner != hWndNewOwner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    g_clipboard.open = true;
    g_clipboard.owner = hWndNewOwner;
    return TRUE;
}

BOOL WINAPI CloseClipboard() {
    if (!RequireOpen()) return FALSE;
    g_clipboard.open = false;
    g_clipboard.owner = nullptr;
    return TRUE;
}

BOOL WINAPI EmptyClipboard() {
    if (!RequireOpen()) return FALSE;
    ReleaseOwnedBlock();
    if (!plat::CurrentBackend().SetClipboardText(std::string())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    if (!RequireOpen()) return nullptr;
    if (!IsTextFormat(uFormat)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    std::string utf8;
    if (!hMem || !BlockText(uFormat, hMem, utf8)) {
        // A null handle would ask for delayed rendering, which is not offered.
        SetLastError(hMem ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!plat::CurrentBackend().SetClipboardText(utf8)) {
        SetLastError(ERROR_ACCESS_DENIED);  // the caller keeps the block
        return nullptr;
    }
    if (g_clipboard.ownedBlock != hMem) ReleaseOwnedBlock();
    g_clipboard.ownedBlock = hMem;
    return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
    if (!RequireOpen()) return nullptr;
    std::string utf8;
    if (!IsTextFormat(uFormat) || !plat::CurrentBackend().GetClipboardText(utf8) || utf8.empty()) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    HGLOBAL block = NewTextBlock(uFormat, utf8);
    if (!block) return nullptr;
    ReleaseOwnedBlock();
    g_clipboard.ownedBlock = block;
    return block;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    std::string utf8;
    return IsTextFormat(format) && plat::CurrentBackend().GetClipboardText(utf8) && !utf8.empty() ? TRUE
                                                                                                  : FALSE;
}
