// Device set-up for the tests that draw: the shared set-up (support/device_setup.h)
// with test checks when opening and releasing (no object may keep a device
// reference), and a private working directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/d3d9.h"
#include "platform/win32.h"
#include "tests/support/device_setup.h"

namespace tumbral_test {

// Direct3D and a device on pp; fails the test when either cannot be made.
void OpenDevice(const D3DPRESENT_PARAMETERS& pp, IDirect3D9*& pD3D, IDirect3DDevice9*& pDevice);

// Releases the device (every object a test made holds a device reference:
// none may be left), then Direct3D (nothing may hold it either); destroys hWnd
// when given. Clears the pointers.
void CloseDevice(IDirect3DDevice9*& pDevice, IDirect3D9*& pD3D, HWND hWnd = nullptr);

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
