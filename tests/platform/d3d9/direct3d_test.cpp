// The Direct3D object: versions, adapters, modes, capabilities and format checks.
#include <string>

#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

using Direct3DTest = DeviceTest;

TEST(Direct3DCreate, AcceptsRuntimeVersionWithOrWithoutDebugBit) {
    IDirect3D9* d3d = Direct3DCreate9(0x80000020);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
}

TEST_F(Direct3DTest, AdaptersFollowBackendMonitors) {
    plat::HeadlessConfig config;
    config.noWait = true;
    config.monitors = {plat::DisplayMode{1280, 1024, 75, 32}, plat::DisplayMode{800, 600, 60, 32}};
    m_d3d->Release();
    UseBackend(config);
    m_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_EQ(m_d3d->GetAdapterCount(), 2u);
    D3DADAPTER_IDENTIFIER9 id{};
    ASSERT_EQ(m_d3d->GetAdapterIdentifier(1, 0, &id), S_OK);
    EXPECT_NE(std::string(id.Description).find("Software"), std::string::npos);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(m_d3d->GetAdapterDisplayMode(0, &mode), S_OK);
    EXPECT_EQ(mode.Width, 1280u);
    EXPECT_EQ(mode.Height, 1024u);
    EXPECT_EQ(mode.RefreshRate, 75u);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    UINT count = m_d3d->GetAdapterModeCount(0, D3DFMT_X8R8G8B8);
    ASSERT_GT(count, 0u);
    bool desktopListed = false;
    for (UINT i = 0; i < count; ++i) {
        ASSERT_EQ(m_d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, i, &mode), S_OK);
        EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
        desktopListed = desktopListed || (mode.Width == 1280 && mode.Height == 1024);
    }
    EXPECT_TRUE(desktopListed);
    EXPECT_EQ(m_d3d->EnumAdapterModes(0, D3DFMT_X8R8G8B8, count, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_d3d->GetAdapterDisplayMode(2, &mode), D3DERR_INVALIDCALL);
    EXPECT_NE(m_d3d->GetAdapterMonitor(0), nullptr);
    EXPECT_NE(m_d3d->GetAdapterMonitor(0), m_d3d->GetAdapterMonitor(1));
    EXPECT_EQ(m_d3d->GetAdapterMonitor(2), nullptr);
}

TEST_F(Direct3DTest, CapsReportHardwareTransformAndPureDeviceForHalAndRef) {
    for (D3DDEVTYPE type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF}) {
        D3DCAPS9 caps{};
        ASSERT_EQ(m_d3d->GetDeviceCaps(0, type, &caps), S_OK);
        EXPECT_EQ(caps.DeviceType, type);
        EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
        EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE);
        EXPECT_TRUE(caps.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE);
        EXPECT_EQ(caps.VertexShaderVersion, 0u);
        EXPECT_GE(caps.MaxTextureWidth, 2048u);
    }
    D3DCAPS9 caps{};
    EXPECT_FAILED(m_d3d->GetDeviceCaps(0, D3DDEVTYPE_SW, &caps));
}

TEST_F(Direct3DTest, FormatChecksAnswerWhatTheDeviceSupports) {
    const D3DFORMAT a = D3DFMT_X8R8G8B8;
    EXPECT_EQ(m_d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, a, D3DFMT_A8R8G8B8, TRUE), S_OK);
    EXPECT_EQ(m_d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, a, D3DFMT_R5G6B5, TRUE), S_OK);
    EXPECT_EQ(m_d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, a, D3DFMT_X8R8G8B8, FALSE), S_OK);
    EXPECT_FAILED(m_d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, a, D3DFMT_R5G6B5, FALSE));
    EXPECT_FAILED(m_d3d->CheckDeviceType(0, D3DDEVTYPE_SW, a, a, TRUE));
    EXPECT_FAILED(
        m_d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, a, TRUE));  // not a display format

    EXPECT_EQ(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, a, D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING,
                                       D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
              S_OK);
    EXPECT_EQ(
        m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, a, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8),
        S_OK);
    EXPECT_EQ(
        m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, a, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16),
        S_OK);
    EXPECT_FAILED(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, a, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE,
                                           D3DFMT_D32F_LOCKABLE));
    EXPECT_FAILED(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, a, 0, D3DRTYPE_TEXTURE, D3DFMT_DXT1));
    EXPECT_EQ(m_d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, a, 0, D3DRTYPE_TEXTURE, D3DFMT_L8), S_OK);
    EXPECT_EQ(m_d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, a, D3DFMT_A8R8G8B8, D3DFMT_D24X8), S_OK);
    EXPECT_FAILED(m_d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, a, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8));

    DWORD quality = 0;
    EXPECT_EQ(m_d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, TRUE, D3DMULTISAMPLE_NONE,
                                                &quality),
              S_OK);
    EXPECT_EQ(quality, 1u);
    EXPECT_FAILED(m_d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, TRUE,
                                                    D3DMULTISAMPLE_2_SAMPLES, &quality));
}

}  // namespace
}  // namespace tumbral_test
