// The device fixture for the D3DX tests.
#include "d3dx_device_env.h"

#include <cstdlib>
#include <fstream>

namespace {

LRESULT CALLBACK TestWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

}  // namespace

void D3dxDeviceTest::SetUp() {
    m_OldDir = std::filesystem::current_path();
    std::string tmpl = (std::filesystem::temp_directory_path() / "d3dx_test_XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    m_TempDir = tmpl;
    std::filesystem::current_path(m_TempDir);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TestWndProc;
    wc.lpszClassName = L"D3dxTestWindow";
    RegisterClassExW(&wc);  // fails harmlessly when an earlier test registered it
    m_hWnd = CreateWindowExW(0, L"D3dxTestWindow", L"d3dx test", WS_OVERLAPPEDWINDOW, 0, 0, int(kWidth),
                             int(kHeight), nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(m_pD3D, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = kWidth;
    pp.BackBufferHeight = kHeight;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = m_hWnd;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, m_hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &m_pDevice),
              S_OK);
}

void D3dxDeviceTest::TearDown() {
    if (m_pDevice) {
        // Every object a test made holds a device reference: none may be left.
        EXPECT_EQ(m_pDevice->Release(), 0u);
        m_pDevice = nullptr;
    }
    if (m_pD3D) m_pD3D->Release();
    if (m_hWnd) DestroyWindow(m_hWnd);
    std::filesystem::current_path(m_OldDir);
    std::error_code ec;
    std::filesystem::remove_all(m_TempDir, ec);
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
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(lr.pBits) + size_t(y) * lr.Pitch);
        out.insert(out.end(), row, row + desc.Width);
    }
    tex->UnlockRect(level);
    return out;
}

DWORD D3dxDeviceTest::ReadPixel(UINT x, UINT y) {
    IDirect3DSurface9* pBack = nullptr;
    IDirect3DSurface9* pCopy = nullptr;
    DWORD pixel = 0xFFFFFFFF;
    if (SUCCEEDED(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack)) &&
        SUCCEEDED(m_pDevice->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &pCopy,
                                                         nullptr)) &&
        SUCCEEDED(m_pDevice->GetRenderTargetData(pBack, pCopy))) {
        D3DLOCKED_RECT lr{};
        if (SUCCEEDED(pCopy->LockRect(&lr, nullptr, D3DLOCK_READONLY))) {
            const BYTE* row = static_cast<const BYTE*>(lr.pBits) + size_t(y) * size_t(lr.Pitch);
            pixel = reinterpret_cast<const DWORD*>(row)[x] & 0x00FFFFFF;
            pCopy->UnlockRect();
        }
    }
    if (pCopy) pCopy->Release();
    if (pBack) pBack->Release();
    return pixel;
}

ULONG D3dxDeviceTest::DeviceRefs() {
    m_pDevice->AddRef();
    return m_pDevice->Release();
}
