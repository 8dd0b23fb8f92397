// The device fixture for the D3DX tests.
#include "tests/platform/d3dx9/d3dx_device_env.h"

#include <fstream>

void D3dxDeviceTest::SetUp() {
    ASSERT_NO_FATAL_FAILURE(m_WorkDir.Enter("d3dx_test"));
    m_hWnd = tumbral_test::CreatePlainWindow(int(kWidth), int(kHeight));
    D3DPRESENT_PARAMETERS pp = tumbral_test::DrawingParams(m_hWnd, kWidth, kHeight);
    ASSERT_NO_FATAL_FAILURE(tumbral_test::OpenDevice(pp, m_pD3D, m_pDevice));
}

void D3dxDeviceTest::TearDown() {
    tumbral_test::CloseDevice(m_pDevice, m_pD3D, m_hWnd);
    m_WorkDir.Leave();
}

void D3dxDeviceTest::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream f(name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void D3dxDeviceTest::WriteFile(const std::string& name, const std::string& text) {
    WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<DWORD> D3dxDeviceTest::ReadTexels(IDirect3DTexture9* tex, UINT level) {
    std::vector<DWORD> out;
    D3DSURFACE_DESC desc{};
    if (FAILED(tex->GetLevelDesc(level, &desc))) return out;
    D3DLOCKED_RECT lr{};
    if (FAILED(tex->LockRect(level, &lr, nullptr, D3DLOCK_READONLY))) return out;
    for (UINT y = 0; y < desc.Height; ++y) {
        const auto* row =
            reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(lr.pBits) + size_t(y) * lr.Pitch);
        out.insert(out.end(), row, row + desc.Width);
    }
    tex->UnlockRect(level);
    return out;
}

DWORD D3dxDeviceTest::ReadPixel(UINT x, UINT y) { return tumbral_test::ReadBackBufferPixel(m_pDevice, x, y); }

ULONG D3dxDeviceTest::DeviceRefs() { return tumbral_test::RefCount(m_pDevice); }
