// Device set-up shared by the tests and the benchmarks that draw: a plain
// window, present parameters, a software device, back-buffer reads and
// reference counts. Header only and free of the test framework, so that a
// benchmark program can include it and link nothing but the platform.
#pragma once

#include <vector>

#include "platform/d3d9.h"
#include "platform/win32.h"

namespace tumbral_test {

inline LRESULT CALLBACK PlainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// A WS_OVERLAPPEDWINDOW window of a plain class (DefWindowProcW) at (0, 0), width x height outside.
inline HWND CreatePlainWindow(int width, int height) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PlainWndProc;
    wc.lpszClassName = L"TumbralPlainTestWindow";
    RegisterClassExW(&wc);  // fails harmlessly when the class is registered already
    return CreateWindowExW(0, L"TumbralPlainTestWindow", L"test", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                           nullptr, nullptr, nullptr, nullptr);
}

// Windowed, one X8R8G8B8 back buffer of width x height, discard, presents that never wait.
inline D3DPRESENT_PARAMETERS WindowedParams(HWND hWnd, UINT width, UINT height) {
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = hWnd;
    pp.Windowed = TRUE;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

// WindowedParams plus a D24S8 depth buffer and a lockable back buffer: what drawing checks need.
inline D3DPRESENT_PARAMETERS DrawingParams(HWND hWnd, UINT width, UINT height) {
    D3DPRESENT_PARAMETERS pp = WindowedParams(hWnd, width, height);
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    return pp;
}

// A HAL device with software vertex processing on pp.hDeviceWindow; nullptr on failure.
inline IDirect3DDevice9* CreateSoftwareDevice(IDirect3D9* pD3D, D3DPRESENT_PARAMETERS pp) {
    IDirect3DDevice9* pDevice = nullptr;
    if (FAILED(pD3D->CreateDevice(0, D3DDEVTYPE_HAL, pp.hDeviceWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &pp, &pDevice)))
        return nullptr;
    return pDevice;
}

// A width x height plain window, Direct3D and a software device on it with
// DrawingParams (`drawing`) or WindowedParams. False when a step fails; what
// was made is left in the out parameters.
inline bool OpenWindowAndDevice(UINT width, UINT height, bool drawing, HWND& hWnd, IDirect3D9*& pD3D,
                                IDirect3DDevice9*& pDevice) {
    hWnd = CreatePlainWindow(int(width), int(height));
    pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!hWnd || !pD3D) return false;
    pDevice = CreateSoftwareDevice(
        pD3D, drawing ? DrawingParams(hWnd, width, height) : WindowedParams(hWnd, width, height));
    return pDevice != nullptr;
}

// Ends the scene, which finishes the drawing the device has queued, and begins the next one.
inline void FinishDrawing(IDirect3DDevice9* pDevice) {
    pDevice->EndScene();
    pDevice->BeginScene();
}

// Reads the back buffer through a system-memory copy; calls row(y, width, pixels) per row.
template <typename ROW>
bool ForEachBackBufferRow(IDirect3DDevice9* pDevice, ROW row) {
    IDirect3DSurface9* pBack = nullptr;
    IDirect3DSurface9* pCopy = nullptr;
    D3DSURFACE_DESC desc{};
    bool bRead = false;
    if (SUCCEEDED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack)) &&
        SUCCEEDED(pBack->GetDesc(&desc)) &&
        SUCCEEDED(pDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, D3DFMT_X8R8G8B8,
                                                       D3DPOOL_SYSTEMMEM, &pCopy, nullptr)) &&
        SUCCEEDED(pDevice->GetRenderTargetData(pBack, pCopy))) {
        D3DLOCKED_RECT lr{};
        if (SUCCEEDED(pCopy->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
            for (UINT y = 0; y < desc.Height; ++y)
                row(y, desc.Width,
                    reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(lr.pBits) +
                                                   size_t(y) * size_t(lr.Pitch)));
            pCopy->UnlockRect();
            bRead = true;
        }
    }
    if (pCopy) pCopy->Release();
    if (pBack) pBack->Release();
    return bRead;
}

// The back buffer as 0x00RRGGBB values, row by row; empty when it cannot be read.
inline std::vector<DWORD> ReadBackBuffer(IDirect3DDevice9* pDevice) {
    std::vector<DWORD> out;
    const bool bRead = ForEachBackBufferRow(pDevice, [&](UINT, UINT width, const DWORD* row) {
        for (UINT x = 0; x < width; ++x) out.push_back(row[x] & 0x00FFFFFF);
    });
    if (!bRead) out.clear();
    return out;
}

// Pixel (x, y) of the back buffer as 0x00RRGGBB; 0xFFFFFFFF when it cannot be read.
inline DWORD ReadBackBufferPixel(IDirect3DDevice9* pDevice, UINT x, UINT y) {
    DWORD pixel = 0xFFFFFFFF;
    ForEachBackBufferRow(pDevice, [&](UINT row, UINT width, const DWORD* pixels) {
        if (row == y && x < width) pixel = pixels[x] & 0x00FFFFFF;
    });
    return pixel;
}

// The reference count, unchanged.
inline ULONG RefCount(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

}  // namespace tumbral_test
