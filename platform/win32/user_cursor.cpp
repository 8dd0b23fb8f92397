// The cursor: position, clipping, the display counter, the current cursor,
// and the system's arrow cursor and icons as images.
#include <algorithm>
#include <filesystem>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace plat::user {

namespace {

// The classic arrow, 12 x 19 in a 32 x 32 cell: 'X' outline, '.' fill, ' ' transparent.
const char* const kArrow[] = {
    "X",         "XX",        "X.X",        "X..X",        "X...X",        "X....X",   "X.....X",
    "X......X",  "X.......X", "X........X", "X.........X", "X......XXXXX", "X...X..X", "X..XX..X",
    "X.X  X..X", "XX   X..X", "X     X..X", "      X..X",  "       XX",
};

std::unique_ptr<Icon> MakeArrow() {
    auto icon = std::make_unique<Icon>();
    icon->isIcon = false;
    icon->shared = true;
    icon->andMask.assign(32 * 32, 1);
    icon->xorMask.assign(32 * 32, 0);
    for (int y = 0; y < static_cast<int>(std::size(kArrow)); ++y) {
        for (int x = 0; kArrow[y][x]; ++x) {
            char c = kArrow[y][x];
            if (c == ' ') continue;
            icon->andMask[y * 32 + x] = 0;
            icon->xorMask[y * 32 + x] = c == '.' ? 1 : 0;
        }
    }
    return icon;
}

// A 32 x 32 colour icon: a disc of `color` with a darker rim on a transparent field.
std::unique_ptr<Icon> MakeDisc(uint32_t color) {
    auto icon = std::make_unique<Icon>();
    icon->shared = true;
    icon->andMask.assign(32 * 32, 1);
    icon->color.assign(32 * 32, 0);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            int dx = 2 * x - 31, dy = 2 * y - 31, d2 = dx * dx + dy * dy;
            if (d2 > 30 * 30) continue;
            icon->andMask[y * 32 + x] = 0;
            icon->color[y * 32 + x] = d2 > 26 * 26 ? (color >> 1) & 0x7F7F7F : color;
        }
    }
    return icon;
}

HICON Shared(HICON& slot, std::unique_ptr<Icon> (*make)()) {
    if (!S().icons.Get(reinterpret_cast<uintptr_t>(slot)))
        slot = reinterpret_cast<HICON>(S().icons.Add(make()));
    return slot;
}

}  // namespace

HICON ArrowCursor() {
    static HICON arrow = nullptr;
    return Shared(arrow, MakeArrow);
}

HICON StockIcon(int id) {
    static HICON icons[6] = {};
    switch (id) {
        case 32513:
            return Shared(icons[1], [] { return MakeDisc(0xD03030); });  // error
        case 32514:
            return Shared(icons[2], [] { return MakeDisc(0x3060D0); });  // question
        case 32515:
            return Shared(icons[3], [] { return MakeDisc(0xE0C020); });  // warning
        case 32516:
            return Shared(icons[4], [] { return MakeDisc(0x3090E0); });  // information
        default:
            return Shared(icons[0], [] { return MakeDisc(0x40A040); });  // application
    }
}

}  // namespace plat::user

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A position query alone does not open the window system (the program's
    // static cameras ask before main): until something else has chosen the
    // backend the cursor is reported at the origin.
    plat::Backend* backend = plat::ChosenBackend();
    *lpPoint = backend ? backend->CursorPos() : POINT{0, 0};
    return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
    State& s = S();
    if (s.clipped) {
        X = std::clamp<int>(X, s.clip.left, std::max(s.clip.left, s.clip.right - 1));
        Y = std::clamp<int>(Y, s.clip.top, std::max(s.clip.top, s.clip.bottom - 1));
    }
    plat::CurrentBackend().SetCursorPos(X, Y);
    return TRUE;
}

BOOL WINAPI ClipCursor(const RECT* lpRect) {
    State& s = S();
    s.clipped = lpRect != nullptr;
    if (lpRect) s.clip = *lpRect;
    plat::CurrentBackend().ClipCursor(lpRect);
    return TRUE;
}

BOOL WINAPI GetClipCursor(LPRECT lpRect) {
    if (!lpRect) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (S().clipped) {
        *lpRect = S().clip;
    } else {
        int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        *lpRect =
            RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    return TRUE;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    HCURSOR old = S().cursor;
    S().cursor = hCursor;
    if (S().cursorCount >= 0) plat::CurrentBackend().ShowCursor(hCursor != nullptr);
    return old;
}

HCURSOR WINAPI GetCursor() { return S().cursor; }

int WINAPI ShowCursor(BOOL bShow) {
    int& count = S().cursorCount;
    bool was = count >= 0;
    count += bShow ? 1 : -1;
    bool now = count >= 0;
    if (was != now) plat::CurrentBackend().ShowCursor(now);
    return count;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    if (hInstance || !IS_INTRESOURCE(lpCursorName)) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Every system cursor looks like the arrow here.
    WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpCursorName));
    if (id < 32512 || id > 32650) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ArrowCursor();
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    if (hInstance || !IS_INTRESOURCE(lpIconName)) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpIconName));
    if (id < 32512 || id > 32517) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return StockIcon(id);
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    Icon* icon = S().icons.Get(reinterpret_cast<uintptr_t>(hIcon));
    if (!icon) {
        Fail(ERROR_INVALID_ICON_HANDLE);
        return FALSE;
    }
    if (!icon->shared) S().icons.Remove(reinterpret_cast<uintptr_t>(hIcon));
    return TRUE;
}

BOOL WINAPI DestroyCursor(HCURSOR hCursor) { return DestroyIcon(hCursor); }

HICON WINAPI ExtractIconW(HINSTANCE, LPCWSTR pszExeFileName, UINT nIconIndex) {
    if (!pszExeFileName || nIconIndex != 0) return nullptr;
    std::error_code ec;
    std::wstring path = pszExeFileName;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), ec)) return nullptr;
    // A copy the caller may destroy.
    auto icon = std::make_unique<Icon>(*S().icons.Get(reinterpret_cast<uintptr_t>(StockIcon(32512))));
    icon->shared = false;
    return reinterpret_cast<HICON>(S().icons.Add(std::move(icon)));
}

BOOL WINAPI GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
    Icon* icon = S().icons.Get(reinterpret_cast<uintptr_t>(hIcon));
    if (!icon) {
        Fail(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!piconinfo) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Icon copy = *icon;
    auto mask = std::make_unique<Bitmap>();
    mask->width = copy.width;
    mask->bitsPerPixel = 1;
    mask->pixels.assign(copy.andMask.begin(), copy.andMask.end());
    if (copy.color.empty()) {
        // Monochrome: the AND mask over the XOR mask.
        mask->height = copy.height * 2;
        mask->pixels.insert(mask->pixels.end(), copy.xorMask.begin(), copy.xorMask.end());
    } else {
        mask->height = copy.height;
    }
    piconinfo->fIcon = copy.isIcon;
    piconinfo->xHotspot = static_cast<DWORD>(copy.isIcon ? copy.width / 2 : copy.hotX);
    piconinfo->yHotspot = static_cast<DWORD>(copy.isIcon ? copy.height / 2 : copy.hotY);
    piconinfo->hbmMask = reinterpret_cast<HBITMAP>(S().bitmaps.Add(std::move(mask)));
    piconinfo->hbmColor = nullptr;
    if (!copy.color.empty()) {
        auto color = std::make_unique<Bitmap>();
        color->width = copy.width;
        color->height = copy.height;
        color->bitsPerPixel = 32;
        color->pixels = copy.color;
        piconinfo->hbmColor = reinterpret_cast<HBITMAP>(S().bitmaps.Add(std::move(color)));
    }
    return TRUE;
}
