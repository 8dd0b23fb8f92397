// Opening and closing a device with test checks, and a private working directory.
#include "tests/support/device_fixture.h"

#include <stdlib.h>

#include <string>
#include <system_error>

namespace tumbral_test {

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
    if (pD3D) {
        EXPECT_EQ(pD3D->Release(), 0u) << "something still holds Direct3D";
        pD3D = nullptr;
    }
    if (hWnd) DestroyWindow(hWnd);
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
