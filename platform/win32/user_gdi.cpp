// Drawing objects as far as reading cursor and icon images needs: device
// contexts, 1- and 32-bit bitmaps, GetObjectW and GetDIBits; stock brushes.
#include <cstring>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace {

Bitmap* BitmapOf(HANDLE h) { return S().bitmaps.Get(reinterpret_cast<uintptr_t>(h)); }

// Stock objects are fixed values outside every table.
constexpr uintptr_t kStockBase = 0x7F000000;

}  // namespace

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd && !W(hWnd)) return nullptr;
    auto dc = std::make_unique<DeviceContext>();
    dc->window = hWnd;
    return reinterpret_cast<HDC>(S().dcs.Add(std::move(dc)));
}

int WINAPI ReleaseDC(HWND, HDC hDC) { return S().dcs.Remove(reinterpret_cast<uintptr_t>(hDC)) ? 1 : 0; }

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !S().dcs.Get(reinterpret_cast<uintptr_t>(hdc))) return nullptr;
    return reinterpret_cast<HDC>(S().dcs.Add(std::make_unique<DeviceContext>()));
}

BOOL WINAPI DeleteDC(HDC hdc) { return S().dcs.Remove(reinterpret_cast<uintptr_t>(hdc)) ? TRUE : FALSE; }

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext* dc = S().dcs.Get(reinterpret_cast<uintptr_t>(hdc));
    if (!dc || !h) return nullptr;
    HGDIOBJ old = dc->selected;
    dc->selected = h;
    return old ? old : reinterpret_cast<HGDIOBJ>(kStockBase + 0x100);
}

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i > DEFAULT_GUI_FONT) return nullptr;
    return reinterpret_cast<HGDIOBJ>(kStockBase + static_cast<uintptr_t>(i));
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    uintptr_t v = reinterpret_cast<uintptr_t>(ho);
    if (v >= kStockBase && v <= kStockBase + 0x100) return TRUE;  // stock objects stay
    return S().bitmaps.Remove(v) ? TRUE : FALSE;
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    if (nWidth <= 0 || nHeight <= 0 || nWidth > 4096 || nHeight > 4096 || nPlanes != 1 ||
        (nBitCount != 1 && nBitCount != 32)) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bm = std::make_unique<Bitmap>();
    bm->width = nWidth;
    bm->height = nHeight;
    bm->bitsPerPixel = static_cast<int>(nBitCount);
    bm->pixels.assign(static_cast<size_t>(nWidth) * nHeight, 0);
    if (lpBits) {
        const auto* bytes = static_cast<const BYTE*>(lpBits);
        if (nBitCount == 32) {
            std::memcpy(bm->pixels.data(), bytes, bm->pixels.size() * 4);
        } else {
            int stride = ((nWidth + 15) / 16) * 2;  // rows are WORD-aligned
            for (int y = 0; y < nHeight; ++y)
                for (int x = 0; x < nWidth; ++x)
                    bm->pixels[static_cast<size_t>(y) * nWidth + x] =
                        (bytes[y * stride + x / 8] >> (7 - x % 8)) & 1;
        }
    }
    return reinterpret_cast<HBITMAP>(S().bitmaps.Add(std::move(bm)));
}

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    Bitmap* bm = BitmapOf(h);
    if (!bm) {
        Fail(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!pv) return sizeof(BITMAP);
    if (c < static_cast<int>(sizeof(BITMAP))) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAP out{};
    out.bmType = 0;
    out.bmWidth = bm->width;
    out.bmHeight = bm->height;
    out.bmWidthBytes = bm->bitsPerPixel == 1 ? ((bm->width + 15) / 16) * 2 : bm->width * 4;
    out.bmPlanes = 1;
    out.bmBitsPixel = static_cast<WORD>(bm->bitsPerPixel);
    out.bmBits = nullptr;
    std::memcpy(pv, &out, sizeof out);
    return sizeof(BITMAP);
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi,
                     UINT usage) {
    Bitmap* bm = BitmapOf(hbm);
    if (!bm || !lpbmi || !S().dcs.Get(reinterpret_cast<uintptr_t>(hdc)) || usage != DIB_RGB_COLORS) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!lpvBits) {
        h.biWidth = bm->width;
        h.biHeight = bm->height;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(bm->bitsPerPixel);
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(bm->width * bm->height * 4);
        return bm->height;
    }
    if (h.biBitCount != 32 || h.biCompression != BI_RGB || h.biWidth != bm->width) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool bottomUp = h.biHeight > 0;
    int height = bottomUp ? h.biHeight : -h.biHeight;
    if (height != bm->height) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto* out = static_cast<uint32_t*>(lpvBits);
    int copied = 0;
    // DIB line i counts from the bottom for bottom-up DIBs, from the top otherwise.
    for (UINT line = start; line < start + cLines && line < static_cast<UINT>(height); ++line) {
        int srcRow = bottomUp ? height - 1 - static_cast<int>(line) : static_cast<int>(line);
        uint32_t* dst = out + static_cast<size_t>(line - start) * bm->width;
        for (int x = 0; x < bm->width; ++x) {
            uint32_t p = bm->pixels[static_cast<size_t>(srcRow) * bm->width + x];
            dst[x] = bm->bitsPerPixel == 1 ? (p ? 0x00FFFFFFu : 0u) : p;
        }
        ++copied;
    }
    return copied;
}
