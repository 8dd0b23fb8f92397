// Window, device, back-buffer reads and working directory for the drawing tests.
#include "device_fixture.h"

#include <stdlib.h>

#include <string>
#include <system_error>

namespace tumbral_test {

namespace {

LRESULT CALLBACK PlainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// Reads the back buffer through a system-memory copy; calls row(y, pixels) per row.
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

}  // namespace

HWND CreatePlainWindow(int width, int height) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PlainWndProc;
    wc.lpszClassName = L"TumbralPlainTestWindow";
    RegisterClassExW(&wc);  // fails harmlessly when an earlier test registered it
    return CreateWindowExW(0, L"TumbralPlainTestWindow", L"test", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                           nullptr, nullptr, nullptr, nullptr);
}

D3DPRESENT_PARAMETERS WindowedParams(HWND hWnd, UINT width, UINT height) {
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

IDirect3DDevice9* CreateSoftwareDevice(IDirect3D9* pD3D, D3DPRESENT_PARAMETERS pp) {
    IDirect3DDevice9* pDevice = nullptr;
    if (FAILED(pD3D->CreateDevice(0, D3DDEVTYPE_HAL, pp.hDeviceWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                  &pp, &pDevice)))
        return nullptr;
    return pDevice;
}

void OpenDevice(const D3DPRESENT_PARAMETERS& pp, IDirect3D9*& pD3D, IDirect3DDevice9*& pDevice) {
    ASSERT_NE(pp.hDeviceWindow, nullptr);
    pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(pD3D, nullptr);
    pDevice = CreateSoftwareDevice(pD3D, pp);
    ASSERT_NE(pDevice, nullptr);
}

void CloseDevice(IDirect3DDevice9*& pDevice, IDirect3D9*& pD3D, HWND hWnd) {
    if (pDevice) {
        EXPECT_EQ(pDevice->Release(), 0u) << "an object still holds the device";
        pDevice = nullptr;
    }
    if (pD3D) pD3D->Release();
    pD3D = nullptr;
    if (hWnd) DestroyWindow(hWnd);
}

std::vector<DWORD> ReadBackBuffer(IDirect3DDevice9* pDevice) {
    std::vector<DWORD> out;
    const bool bRead = ForEachBackBufferRow(pDevice, [&](UINT, UINT width, const DWORD* row) {
        for (UINT x = 0; x < width; ++x) out.push_back(row[x] & 0x00FFFFFF);
    });
    if (!bRead) out.clear();
    return out;
}

DWORD ReadBackBufferPixel(IDirect3DDevice9* pDevice, UINT x, UINT y) {
    DWORD pixel = 0xFFFFFFFF;
    ForEachBackBufferRow(pDevice, [&](UINT row, UINT width, const DWORD* pixels) {
        if (row == y && x < width) pixel = pixels[x] & 0x00FFFFFF;
    });
    return pixel;
}

ULONG RefCount(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

void TempWorkDir::Enter(const char* prefix) {
    m_OldDir = std::filesystem::current_path();
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string(prefix) + "_XXXXXX")).string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    m_Dir = tmpl;
    std::filesystem::current_path(m_Dir);
}

void TempWorkDir::Leave() {
    if (m_Dir.empty()) return;
    std::filesystem::current_path(m_OldDir);
    std::error_code ec;
    std::filesystem::remove_all(m_Dir, ec);
    m_Dir.clear();
}

}  // namespace tumbral_test
