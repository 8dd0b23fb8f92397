// Test fixture: a window and a windowed device on the headless backend, with
// helpers to draw pre-transformed or lit geometry and read back-buffer pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/d3d9.h"
#include "tests/support/device_fixture.h"
#include "tests/support/headless_fixture.h"

namespace tumbral_test {

// Pre-transformed vertex with a colour and one texture coordinate set.
struct TLVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kTLFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class DeviceTest : public HeadlessTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // DrawingParams on the test window: windowed, width x height, X8R8G8B8, lockable, D24S8 depth, immediate.
    D3DPRESENT_PARAMETERS Params(UINT width, UINT height) const;
    // Creates m_device (HAL, hardware vertex processing) for `params`.
    HRESULT CreateDevice(D3DPRESENT_PARAMETERS& params, DWORD flags = D3DCREATE_HARDWARE_VERTEXPROCESSING);
    // A 64 x 64 device with lighting off and culling off, ready for pre-transformed drawing.
    void CreateSmallDevice(UINT width = 64, UINT height = 64);

    // Pixel of the back buffer as 0xAARRGGBB (alpha as stored).
    uint32_t Pixel(int x, int y);
    // Draws a pre-transformed rectangle (two triangles, fan order) with one colour.
    void FillRect(float left, float top, float right, float bottom, D3DCOLOR color, float z = 0.5f);
    void ClearTo(D3DCOLOR color);

    HWND m_window = nullptr;
    IDirect3D9* m_d3d = nullptr;
    IDirect3DDevice9* m_device = nullptr;
};

#define EXPECT_FAILED(expr) EXPECT_TRUE(FAILED(expr))

// Channel helpers.
inline int Red(uint32_t c) { return int((c >> 16) & 0xFF); }
inline int Green(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int Blue(uint32_t c) { return int(c & 0xFF); }

}  // namespace tumbral_test
