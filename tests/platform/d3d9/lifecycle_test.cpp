// Device lifecycle: creation parameters, reset rules, lost devices, present
// and reference counts.
#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

using LifecycleTest = DeviceTest;

TEST_F(LifecycleTest, WindowedZeroSizeTakesClientSizeAndIsWrittenBack) {
    D3DPRESENT_PARAMETERS pp = Params(0, 0);
    pp.BackBufferFormat = D3DFMT_UNKNOWN;
    pp.BackBufferCount = 0;
    ASSERT_EQ(CreateDevice(pp), S_OK);
    EXPECT_EQ(pp.BackBufferWidth, 640u);
    EXPECT_EQ(pp.BackBufferHeight, 480u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(pp.BackBufferCount, 1u);

    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), S_OK);
    D3DSURFACE_DESC desc;
    ASSERT_EQ(back->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Width, 640u);
    EXPECT_EQ(desc.Height, 480u);
    // The framework's adoption path: back buffer → swap chain → presentation parameters.
    IDirect3DSwapChain9* chain = nullptr;
    ASSERT_EQ(back->GetContainer(IID_IDirect3DSwapChain9, reinterpret_cast<void**>(&chain)), S_OK);
    D3DPRESENT_PARAMETERS read{};
    ASSERT_EQ(chain->GetPresentParameters(&read), S_OK);
    EXPECT_EQ(read.BackBufferWidth, 640u);
    EXPECT_EQ(read.hDeviceWindow, m_window);
    chain->Release();
    back->Release();

    D3DDEVICE_CREATION_PARAMETERS cp{};
    ASSERT_EQ(m_device->GetCreationParameters(&cp), S_OK);
    EXPECT_EQ(cp.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(cp.hFocusWindow, m_window);
    EXPECT_EQ(cp.BehaviorFlags, DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING));

    D3DVIEWPORT9 vp{};
    ASSERT_EQ(m_device->GetViewport(&vp), S_OK);
    EXPECT_EQ(vp.Width, 640u);
    EXPECT_EQ(vp.Height, 480u);
}

TEST_F(LifecycleTest, InvalidPresentParametersFailWithInvalidCall) {
    struct Case {
        const char* what;
        void (*edit)(D3DPRESENT_PARAMETERS&);
    };
    const Case cases[] = {
        {"compressed back buffer", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_DXT1; }},
        {"giant back buffer", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = 100000; }},
        {"multisampling", [](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = D3DMULTISAMPLE_4_SAMPLES; }},
        {"colour depth format", [](D3DPRESENT_PARAMETERS& p) { p.AutoDepthStencilFormat = D3DFMT_X8R8G8B8; }},
        {"swap effect", [](D3DPRESENT_PARAMETERS& p) { p.SwapEffect = D3DSWAPEFFECT(7); }},
        {"too many buffers", [](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 4; }},
        {"no window", [](D3DPRESENT_PARAMETERS& p) { p.hDeviceWindow = reinterpret_cast<HWND>(0x1234); }},
        {"full-screen mode that does not exist", [](D3DPRESENT_PARAMETERS& p) { p.Windowed = FALSE; }},
        {"windowed refresh rate", [](D3DPRESENT_PARAMETERS& p) { p.FullScreen_RefreshRateInHz = 60; }},
    };
    for (const Case& c : cases) {
        D3DPRESENT_PARAMETERS pp = Params(123, 77);
        c.edit(pp);
        IDirect3DDevice9* device = nullptr;
        EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                      &device),
                  D3DERR_INVALIDCALL)
            << c.what;
        EXPECT_EQ(device, nullptr) << c.what;
    }
    D3DPRESENT_PARAMETERS pp = Params(64, 64);
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, 0, &pp, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window,
                                  D3DCREATE_PUREDEVICE | D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(
        m_d3d->CreateDevice(0, D3DDEVTYPE_SW, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
        D3DERR_NOTAVAILABLE);
    EXPECT_EQ(
        m_d3d->CreateDevice(7, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
        D3DERR_INVALIDCALL);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, D3DCREATE_HARDWARE_VERTEXPROCESSING, nullptr,
                                  &device),
              D3DERR_INVALIDCALL);
}

TEST_F(LifecycleTest, ResetRefusedWhileDefaultPoolTextureLives) {
    D3DPRESENT_PARAMETERS pp = Params(64, 64);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    IDirect3DTexture9* managed = nullptr;
    IDirect3DTexture9* video = nullptr;
    ASSERT_EQ(m_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed, nullptr), S_OK);
    ASSERT_EQ(m_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &video, nullptr), S_OK);
    m_device->SetTexture(0, video);  // a binding alone does not keep it alive

    D3DPRESENT_PARAMETERS resized = Params(100, 50);
    EXPECT_EQ(m_device->Reset(&resized), D3DERR_INVALIDCALL);
    EXPECT_EQ(video->Release(), 0u);
    ASSERT_EQ(m_device->Reset(&resized), S_OK);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), S_OK);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 100u);
    EXPECT_EQ(desc.Height, 50u);
    back->Release();
    // Reset restores the default state: the texture binding is gone.
    IDirect3DBaseTexture9* bound = reinterpret_cast<IDirect3DBaseTexture9*>(1);
    ASSERT_EQ(m_device->GetTexture(0, &bound), S_OK);
    EXPECT_EQ(bound, nullptr);
    EXPECT_EQ(managed->Release(), 0u);
}

TEST_F(LifecycleTest, ForcedLossOfFullScreenDeviceRecoversThroughReset) {
    D3DPRESENT_PARAMETERS pp = Params(1920, 1080);
    pp.Windowed = FALSE;
    ASSERT_EQ(CreateDevice(pp), S_OK);
    ASSERT_EQ(m_device->TestCooperativeLevel(), S_OK);

    plat::ForceDeviceLoss();
    ShowWindow(m_window, SW_MINIMIZE);
    Pump();
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS again = pp;
    EXPECT_EQ(m_device->Reset(&again), D3DERR_DEVICELOST);
    // Drawing while lost succeeds and does nothing.
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), S_OK);

    ShowWindow(m_window, SW_RESTORE);
    SetForegroundWindow(m_window);
    Pump();
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    again = pp;
    ASSERT_EQ(m_device->Reset(&again), S_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
}

TEST_F(LifecycleTest, ForcedLossOfWindowedDeviceIsResettableAtOnce) {
    D3DPRESENT_PARAMETERS pp = Params(64, 64);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    plat::ForceDeviceLoss();
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), S_OK);
}

TEST_F(LifecycleTest, LeakedTextureKeepsDeviceReferenced) {
    D3DPRESENT_PARAMETERS pp = Params(64, 64);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    IDirect3DDevice9* device = m_device;
    m_device = nullptr;
    EXPECT_EQ(device->Release(), 1u);
    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(texture->GetDevice(&owner), S_OK);
    EXPECT_EQ(owner, device);
    EXPECT_EQ(owner->Release(), 1u);
    EXPECT_EQ(texture->Release(), 0u);  // releases the device as well
}

TEST_F(LifecycleTest, PresentHandsFrameToWindow) {
    D3DPRESENT_PARAMETERS pp = Params(32, 16);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0), S_OK);
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    EXPECT_EQ(m_device->BeginScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_device->EndScene(), S_OK);
    EXPECT_EQ(m_device->EndScene(), D3DERR_INVALIDCALL);
    uint64_t before = Backend().FramesPresented();
    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(Backend().FramesPresented(), before + 1);
    const auto* record = Backend().Window(plat::NativeWindowOf(m_window));
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->frameWidth, 32);
    ASSERT_EQ(record->frameHeight, 16);
    EXPECT_EQ(record->frame[5 * 32 + 7] & 0x00FFFFFF, 0x336699u);
}

TEST_F(LifecycleTest, ObjectsOnlyWorkWithTheirDevice) {
    D3DPRESENT_PARAMETERS pp = Params(16, 16);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    IDirect3DDevice9* other = nullptr;
    D3DPRESENT_PARAMETERS pp2 = Params(16, 16);
    ASSERT_EQ(
        m_d3d->CreateDevice(0, D3DDEVTYPE_REF, m_window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp2, &other),
        S_OK);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(other->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    EXPECT_EQ(m_device->SetTexture(0, texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(other->SetTexture(0, texture), S_OK);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(other->Release(), 0u);
}

}  // namespace
}  // namespace tumbral_test
