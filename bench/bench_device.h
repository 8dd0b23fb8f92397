// A plain window and a windowed software device for the benchmarks.
// Header only: every benchmark is a program of its own that links the
// platform and nothing else.
#pragma once

#include "platform/d3d9.h"
#include "platform/win32.h"

namespace bench {

inline LRESULT CALLBACK PlainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

// A width x height window and a device with one X8R8G8B8 back buffer of that
// size; `frame`: also a D24S8 depth buffer, a lockable back buffer and
// presents that never wait. False when a step fails; what was made is left in
// the out parameters.
inline bool OpenDevice(UINT width, UINT height, HWND& hWnd, IDirect3D9*& d3d, IDirect3DDevice9*& device,
                       bool frame = false) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PlainWndProc;
    wc.lpszClassName = L"TumbralBench";
    RegisterClassExW(&wc);
    hWnd = CreateWindowExW(0, L"TumbralBench", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, int(width), int(height),
                           nullptr, nullptr, nullptr, nullptr);
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!hWnd || !d3d) return false;
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = hWnd;
    pp.Windowed = TRUE;
    if (frame) {
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    }
    return SUCCEEDED(
        d3d->CreateDevice(0, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device));
}

}  // namespace bench
