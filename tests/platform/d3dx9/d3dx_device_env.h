// Test fixture for D3DX calls that need a device: a hidden window, a
// software device on the headless backend, a private working directory, and
// helpers that read texels and back-buffer pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/d3d9.h"
#include "platform/d3dx9.h"
#include "platform/win32.h"
#include "tests/support/device_fixture.h"

class D3dxDeviceTest : public ::testing::Test {
  protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 64;

    void SetUp() override;
    void TearDown() override;

    // Writes bytes to a file in the working directory.
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes);
    void WriteFile(const std::string& name, const std::string& text);

    // Texels of one level as 32-bit values (4-byte formats only).
    std::vector<DWORD> ReadTexels(IDirect3DTexture9* tex, UINT level);
    // Pixel (x, y) of the back buffer as 0x00RRGGBB.
    DWORD ReadPixel(UINT x, UINT y);
    // The device's reference count, without changing it.
    ULONG DeviceRefs();

    tumbral_test::TempWorkDir m_WorkDir;
    HWND m_hWnd = nullptr;
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
