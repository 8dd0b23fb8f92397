// Vertex lighting: the colour of a lit triangle equals the fixed-function
// lighting equation for its material, lights and global ambient.
#include <algorithm>
#include <cmath>

#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
};

class LightingTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        D3DPRESENT_PARAMETERS pp = Params(32, 32);
        ASSERT_EQ(CreateDevice(pp), S_OK);
        ClearTo(0xFF000000);
        m_device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    // A triangle covering the centre of the target, facing the viewer (normal (nx, ny, nz)).
    void DrawTriangle(float nx, float ny, float nz) {
        LitVertex v[3] = {{-1, -1, 0.5f, nx, ny, nz}, {-1, 3, 0.5f, nx, ny, nz}, {3, -1, 0.5f, nx, ny, nz}};
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(LitVertex)), S_OK);
    }

    static int Expected(float v) { return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }
};

TEST_F(LightingTest, DirectionalLightMatchesLightingEquation) {
    D3DMATERIAL9 m{};
    m.Diffuse = {0.8f, 0.4f, 0.2f, 1.0f};
    m.Ambient = {0.5f, 0.5f, 1.0f, 1.0f};
    m.Emissive = {0.05f, 0.0f, 0.1f, 0.0f};
    ASSERT_EQ(m_device->SetMaterial(&m), S_OK);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 0.5f, 1.0f, 1.0f};
    light.Ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    light.Direction = {1.0f, 0.0f, 1.0f};  // not normalised; 45 degrees to the normal below
    ASSERT_EQ(m_device->SetLight(0, &light), S_OK);
    ASSERT_EQ(m_device->LightEnable(0, TRUE), S_OK);
    m_device->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_XRGB(0x33, 0x33, 0x33));  // 0.2
    m_device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    DrawTriangle(0, 0, -2);  // normalised to (0, 0, -1), towards the viewer

    const float ndotl = std::sqrt(0.5f);
    const float ga = 0x33 / 255.0f;
    uint32_t p = Pixel(16, 16);
    EXPECT_NEAR(Red(p), Expected(0.05f + 0.5f * (ga + 0.2f) + 0.8f * 1.0f * ndotl), 1);
    EXPECT_NEAR(Green(p), Expected(0.0f + 0.5f * (ga + 0.2f) + 0.4f * 0.5f * ndotl), 1);
    EXPECT_NEAR(Blue(p), Expected(0.1f + 1.0f * (ga + 0.2f) + 0.2f * 1.0f * ndotl), 1);
}

TEST_F(LightingTest, BackFacingNormalGetsAmbientAndEmissiveOnly) {
    D3DMATERIAL9 m{};
    m.Diffuse = {1, 1, 1, 1};
    m.Ambient = {1, 1, 1, 1};
    m.Emissive = {0.1f, 0.2f, 0.3f, 0};
    m_device->SetMaterial(&m);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    m_device->SetLight(0, &light);
    m_device->LightEnable(0, TRUE);
    DrawTriangle(0, 0, 1);  // facing away from the light
    uint32_t p = Pixel(16, 16);
    EXPECT_NEAR(Red(p), Expected(0.1f), 1);
    EXPECT_NEAR(Green(p), Expected(0.2f), 1);
    EXPECT_NEAR(Blue(p), Expected(0.3f), 1);
}

TEST_F(LightingTest, HighlightMaterialSaturatesToWhite) {
    D3DMATERIAL9 m{};
    m.Diffuse = m.Ambient = m.Emissive = {1, 1, 1, 1};
    m.Specular = {0, 0, 0, 1};
    m.Power = 2.0f;
    m_device->SetMaterial(&m);
    DrawTriangle(0, 0, -1);
    EXPECT_EQ(Pixel(16, 16), 0xFFFFFFFFu);
}

TEST_F(LightingTest, LightingOffUsesVertexColour) {
    struct V {
        float x, y, z;
        D3DCOLOR c;
    };
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    V v[3] = {{-1, -1, 0.5f, 0xFF123456}, {-1, 3, 0.5f, 0xFF123456}, {3, -1, 0.5f, 0xFF123456}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(V)), S_OK);
    EXPECT_EQ(Pixel(16, 16), 0xFF123456u);
}

TEST_F(LightingTest, PointLightAttenuates) {
    D3DMATERIAL9 m{};
    m.Diffuse = {1, 1, 1, 1};
    m_device->SetMaterial(&m);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, -1.5f};  // 2 units in front of the triangle (z = 0.5)
    light.Range = 100;
    light.Attenuation0 = 0;
    light.Attenuation1 = 0;
    light.Attenuation2 = 1;  // 1 / d^2 = 0.25 straight ahead
    m_device->SetLight(3, &light);
    m_device->LightEnable(3, TRUE);
    // Tessellate finely enough that the centre pixel sees a vertex straight below the light.
    LitVertex v[3] = {
        {-0.01f, -0.01f, 0.5f, 0, 0, -1}, {-0.01f, 0.03f, 0.5f, 0, 0, -1}, {0.03f, -0.01f, 0.5f, 0, 0, -1}};
    D3DVIEWPORT9 vp{0, 0, 32, 32, 0, 1};
    m_device->SetViewport(&vp);
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(LitVertex)), S_OK);
    uint32_t p = Pixel(16, 16);
    EXPECT_NEAR(Red(p), 64, 2);
}

}  // namespace
}  // namespace tumbral_test
