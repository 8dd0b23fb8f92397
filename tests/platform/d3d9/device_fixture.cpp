// Test fixture for the device: window, device and pixel read-back, on the shared device set-up.
#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {

void DeviceTest::SetUp() {
    HeadlessTest::SetUp();
    RegisterTestClass();
    m_window = CreateTestWindow(640, 480);
    ASSERT_NE(m_window, nullptr);
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(m_d3d, nullptr);
}

void DeviceTest::TearDown() {
    CloseDevice(m_device, m_d3d);
    HeadlessTest::TearDown();
}

D3DPRESENT_PARAMETERS DeviceTest::Params(UINT width, UINT height) const {
    return DrawingParams(m_window, width, height);
}

HRESULT DeviceTest::CreateDevice(D3DPRESENT_PARAMETERS& params, DWORD flags) {
    return m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window, flags, &params, &m_device);
}

void DeviceTest::CreateSmallDevice(UINT width, UINT height) {
    D3DPRESENT_PARAMETERS pp = Params(width, height);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetFVF(kTLFvf);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

uint32_t DeviceTest::Pixel(int x, int y) {
    IDirect3DSurface9* back = nullptr;
    EXPECT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), S_OK);
    if (!back) return 0;
    D3DLOCKED_RECT lr{};
    RECT r{x, y, x + 1, y + 1};
    uint32_t value = 0;
    if (back->LockRect(&lr, &r, D3DLOCK_READONLY) == S_OK) {
        value = *static_cast<const uint32_t*>(lr.pBits);
        back->UnlockRect();
    } else {
        ADD_FAILURE() << "back buffer not lockable";
    }
    back->Release();
    return value;
}

void DeviceTest::FillRect(float left, float top, float right, float bottom, D3DCOLOR color, float z) {
    TLVertex v[4] = {{left, top, z, 1, color, 0, 0},
                     {right, top, z, 1, color, 1, 0},
                     {right, bottom, z, 1, color, 1, 1},
                     {left, bottom, z, 1, color, 0, 1}};
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, v, sizeof(TLVertex)), S_OK);
}

void DeviceTest::ClearTo(D3DCOLOR color) {
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0), S_OK);
}

}  // namespace tumbral_test
