// Device set-up shared by the tests that draw: a plain window, a software
// device with an X8R8G8B8 back buffer, back-buffer pixel reads, release with
// the check that no object kept a device reference, and a private working
// directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/d3d9.h"
#include "platform/win32.h"

namespace tumbral_test {

// A WS_OVERLAPPEDWINDOW window of a plain class (DefWindowProcW) at (0, 0), width x height outside.
HWND CreatePlainWindow(int width, int height);

// Windowed, one X8R8G8B8 back buffer of width x height, discard, no vsync wait.
// Tests add a depth buffer or D3DPRESENTFLAG_LOCKABLE_BACKBUFFER as they need.
D3DPRESENT_PARAMETERS WindowedParams(HWND hWnd, UINT width, UINT height);

// A software-vertex-processing device on pp.hDeviceWindow; nullptr on failure.
IDirect3DDevice9* CreateSoftwareDevice(IDirect3D9* pD3D, D3DPRESENT_PARAMETERS pp);

// Direct3D and a device on pp; fails the test when either cannot be made.
void OpenDevice(const D3DPRESENT_PARAMETERS& pp, IDirect3D9*& pD3D, IDirect3DDevice9*& pDevice);

// Releases the device (every object a test made holds a device reference:
// none may be left), then Direct3D; destroys hWnd when given. Clears the pointers.
void CloseDevice(IDirect3DDevice9*& pDevice, IDirect3D9*& pD3D, HWND hWnd = nullptr);

// The back buffer as 0x00RRGGBB values, row by row; empty when it cannot be read.
std::vector<DWORD> ReadBackBuffer(IDirect3DDevice9* pDevice);
// Pixel (x, y) of the back buffer as 0x00RRGGBB; 0xFFFFFFFF when it cannot be read.
DWORD ReadBackBufferPixel(IDirect3DDevice9* pDevice, UINT x, UINT y);

// The reference count, unchanged.
ULONG RefCount(IUnknown* p);

// A fresh temporary directory made the working directory; Leave restores the
// old one and removes the directory with everything in it.
class TempWorkDir {
  public:
    // prefix names the directory, e.g. "cube_test".
    void Enter(const char* prefix);
    void Leave();
    const std::filesystem::path& Path() const { return m_Dir; }

  private:
    std::filesystem::path m_OldDir;
    std::filesystem::path m_Dir;
};

}  // namespace tumbral_test
