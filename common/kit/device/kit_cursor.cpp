// The cursor in full-screen mode: hidden or drawn by the device, clipped to
// the window or free; and the copy of a window cursor into the device.
#include "common/kit/device/kit_cursor.h"

#include <vector>

#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

// Reads a bitmap as bottom-up 32-bit rows; false on failure.
bool ReadBitmapRows(HDC hdc, HBITMAP hBitmap, LONG nWidth, LONG nHeight, std::vector<DWORD>& rows) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    rows.assign(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0);
    return GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(nHeight), rows.data(), &info, DIB_RGB_COLORS) != 0;
}

}  // namespace

void KitApplyCursorPolicy() {
    CKitCoreState& s = KitCore();
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    bool bFullScreen = KitInFullScreenMode();
    if (bFullScreen && pd3dDevice != nullptr) {
        SetCursor(nullptr);
        if (s.Get(&CKitCoreState::m_bShowCursorFullScreen)) {
            HCURSOR hCursor =
                reinterpret_cast<HCURSOR>(GetClassLongPtrW(KitFullScreenWindow(), GCLP_HCURSOR));
            KitCopyCursorToDevice(pd3dDevice, hCursor);
            pd3dDevice->ShowCursor(TRUE);
        } else {
            pd3dDevice->ShowCursor(FALSE);
        }
    }

    if (bFullScreen && s.Get(&CKitCoreState::m_bClipCursorFullScreen)) {
        RECT rcWindow;
        GetWindowRect(KitFullScreenWindow(), &rcWindow);
        ClipCursor(&rcWindow);
    } else {
        ClipCursor(nullptr);
    }
}

HRESULT KitCopyCursorToDevice(IDirect3DDevice9* pd3dDevice, HCURSOR hCursor) {
    if (pd3dDevice == nullptr) return E_INVALIDARG;
    ICONINFO iconInfo{};
    if (!GetIconInfo(reinterpret_cast<HICON>(hCursor), &iconInfo)) return E_FAIL;

    HRESULT hr = E_FAIL;
    IDirect3DSurface9* pCursorSurface = nullptr;
    HDC hdcScreen = nullptr;
    BITMAP bmMask{};
    if (GetObjectW(iconInfo.hbmMask, sizeof(BITMAP), &bmMask) != 0) {
        LONG nWidth = bmMask.bmWidth;
        // Without a colour bitmap the mask holds the AND mask over the XOR mask.
        bool bMonochrome = iconInfo.hbmColor == nullptr;
        LONG nHeight = bMonochrome ? bmMask.bmHeight / 2 : bmMask.bmHeight;
        hdcScreen = GetDC(nullptr);
        hr = pd3dDevice->CreateOffscreenPlainSurface(static_cast<UINT>(nWidth), static_cast<UINT>(nHeight),
                                                     D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &pCursorSurface,
                                                     nullptr);
        std::vector<DWORD> maskRows;
        std::vector<DWORD> colorRows;
        if (SUCCEEDED(hr) &&
            (!ReadBitmapRows(hdcScreen, iconInfo.hbmMask, nWidth, bmMask.bmHeight, maskRows) ||
             (!bMonochrome && !ReadBitmapRows(hdcScreen, iconInfo.hbmColor, nWidth, nHeight, colorRows))))
            hr = E_FAIL;
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(hr)) hr = pCursorSurface->LockRect(&locked, nullptr, 0);
        if (SUCCEEDED(hr)) {
            LONG nMaskHeight = bmMask.bmHeight;
            for (LONG y = 0; y < nHeight; ++y) {
                DWORD* pRow = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
                for (LONG x = 0; x < nWidth; ++x) {
                    // Bottom-up rows: the top row is last.
                    DWORD dwMask = maskRows[static_cast<size_t>((nMaskHeight - 1 - y) * nWidth + x)];
                    DWORD dwColor = bMonochrome
                                        ? maskRows[static_cast<size_t>((nHeight - 1 - y) * nWidth + x)]
                                        : colorRows[static_cast<size_t>((nHeight - 1 - y) * nWidth + x)];
                    pRow[x] = (dwMask & 0x00FFFFFF) != 0 ? 0 : (0xFF000000 | dwColor);
                }
            }
            pCursorSurface->UnlockRect();
            hr = pd3dDevice->SetCursorProperties(iconInfo.xHotspot, iconInfo.yHotspot, pCursorSurface);
        }
    }

    if (pCursorSurface != nullptr) pCursorSurface->Release();
    if (hdcScreen != nullptr) ReleaseDC(nullptr, hdcScreen);
    if (iconInfo.hbmMask != nullptr) DeleteObject(iconInfo.hbmMask);
    if (iconInfo.hbmColor != nullptr) DeleteObject(iconInfo.hbmColor);
    return hr;
}
