// The cube's model: building from box.x, the home layout, rebuilding, broken
// mesh files, textures, and releasing and re-creating the device objects.
#include <cmath>
#include <filesystem>

#include "tests/app/cube_test_env.h"

namespace {

constexpr float kR = 10.0f;

D3DXVECTOR3 Home(int i) {
    return D3DXVECTOR3(float(i / 9 - 1) * kR, float(i / 3 % 3 - 1) * kR, float(i % 3 - 1) * kR);
}

}  // namespace

using CubeModelTest = CubeDeviceTest;

TEST_F(CubeModelTest, BuildLaysOutTheGridInIndexOrder) {
    WriteStandardBox();
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_FLOAT_EQ(m_pCube->ComputeRadius(), kR);
    EXPECT_FALSE(m_pCube->IsTurning());
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(0).vCenter, D3DXVECTOR3(-kR, -kR, -kR), 0));
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(1).vCenter, D3DXVECTOR3(-kR, -kR, 0), 0));
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(3).vCenter, D3DXVECTOR3(-kR, 0, -kR), 0));
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(9).vCenter, D3DXVECTOR3(0, -kR, -kR), 0));
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(13).vCenter, D3DXVECTOR3(0, 0, 0), 0));
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(26).vCenter, D3DXVECTOR3(kR, kR, kR), 0));
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
        const Cubie& c = m_pCube->GetCubie(i);
        D3DXMATRIX mHome;
        D3DXMatrixTranslation(&mHome, Home(i).x, Home(i).y, Home(i).z);
        EXPECT_TRUE(VectorNear(c.vCenter, Home(i), 0)) << i;
        EXPECT_TRUE(MatrixNear(c.mWorld, mHome, 0)) << i;
        EXPECT_TRUE(MatrixNear(m_pCube->GetSettled(i), c.mWorld, 0)) << i;
        EXPECT_FLOAT_EQ(c.fPickRadius, 0.707f * kR);
        EXPECT_FALSE(c.bSelected);
    }
    // One material per face; ambient takes the diffuse colour.
    EXPECT_EQ(m_pCube->GetMaterialCount(), 6u);
    EXPECT_EQ(m_pCube->GetTextureCount(), 6u);
}

TEST_F(CubeModelTest, RebuildRestoresHomeAndKeepsOneEntryPerSubset) {
    WriteStandardBox();
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    m_pCube->GetCubie(1).bSelected = true;
    m_pCube->GetCubie(3).bSelected = true;
    for (int i = 0; i < 10; ++i) m_pCube->AdvanceTurn(m_pDevice);
    ASSERT_TRUE(m_pCube->IsTurning());
    const float fTurned = g_fTurnedX;

    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_EQ(m_pCube->GetMaterialCount(), 6u);
    EXPECT_EQ(m_pCube->GetTextureCount(), 6u);
    EXPECT_FALSE(m_pCube->IsTurning());
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
        EXPECT_FALSE(m_pCube->GetCubie(i).bSelected);
        EXPECT_TRUE(VectorNear(m_pCube->GetCubie(i).vCenter, Home(i), 0));
        EXPECT_TRUE(MatrixNear(m_pCube->GetSettled(i), m_pCube->GetCubie(i).mWorld, 0));
    }
    // The accumulators belong to the application and survive a rebuild.
    EXPECT_EQ(g_fTurnedX, fTurned);
}

TEST_F(CubeModelTest, MeshWithoutMaterialsBuildsAndDrawsNothing) {
    WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), {}, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_EQ(m_pCube->GetMaterialCount(), 0u);
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(26).vCenter, Home(26), 0));

    CPuzzleCube::SetupLightAndStates(m_pDevice);
    SetOrthoView();
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00102030, 1.0f, 0);
    ASSERT_TRUE(SUCCEEDED(m_pDevice->BeginScene()));
    m_pCube->DrawCubies(m_pDevice);
    m_pDevice->EndScene();
    EXPECT_EQ(ReadPixel(320, 240), 0x102030u);
    EXPECT_EQ(ReadPixel(220, 140), 0x102030u);
}

TEST_F(CubeModelTest, TexturesLoadPerMaterialAndMissingOnesStayNull) {
    WriteSolidBmp("sticker.bmp", 4, 4, 200, 100, 50);
    std::vector<XMaterial> materials = SixColours();
    materials[0].texture = "sticker.bmp";
    materials[2].texture = "no-such-image.bmp";
    WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), materials, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    ASSERT_EQ(m_pCube->GetTextureCount(), 6u);
    EXPECT_NE(m_pCube->GetTexture(0), nullptr);
    EXPECT_EQ(m_pCube->GetTexture(1), nullptr);
    EXPECT_EQ(m_pCube->GetTexture(2), nullptr);
    // A rebuild releases the old texture before loading a new one (the device
    // count in TearDown shows a leak).
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_NE(m_pCube->GetTexture(0), nullptr);
}

// Broken mesh files take the failure path: a message, false, and the cube as
// it was before.
class CubeBrokenMeshTest : public CubeDeviceTest {
  protected:
    // Builds and expects failure with the given message on standard error.
    void ExpectBuildFails(const char* szMessage) {
        testing::internal::CaptureStderr();
        const bool bBuilt = m_pCube->Build(m_pDevice);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(bBuilt);
        EXPECT_NE(err.find(szMessage), std::string::npos) << err;
    }
};

TEST_F(CubeBrokenMeshTest, MissingTruncatedAndGarbageFilesFailTheLoad) {
    ExpectBuildFails("D3DXLoadMeshFromX() - FAILED");
    EXPECT_FALSE(m_pCube->IsLaidOut());
    EXPECT_EQ(m_pCube->GetMaterialCount(), 0u);
    m_pCube->AdvanceTurn(m_pDevice);  // an unbuilt cube draws nothing and does not crash

    const std::string good = MakeXFile(CubeQuads(4.0f), SixColours(), kR);
    WriteTextFile("box.x", good.substr(0, good.size() / 2));
    ExpectBuildFails("D3DXLoadMeshFromX() - FAILED");
    WriteTextFile("box.x", "xof 0303txt 0032\nMesh { 3; 1;2;3;, 4;5;6;, 7;8;9;; 1; 3;0,1,7;; }\n");
    ExpectBuildFails("D3DXLoadMeshFromX() - FAILED");
}

TEST_F(CubeBrokenMeshTest, ZeroAndTooSmallRadiiAreRefused) {
    // Every vertex at one point: radius 0.
    std::vector<XQuad> point(1, FrontQuad(0, 0, 0, 0, 0, 0));
    WriteTextFile("box.x", MakeXFile(point, SixColours(), 0.0f));
    ExpectBuildFails("ComputeRadius - FAILED");
    // Above the layer tolerance but too small to tell edge cubies from corners.
    WriteTextFile("box.x", MakeXFile(CubeQuads(1.0f), SixColours(), 2.3f));
    ExpectBuildFails("ComputeRadius - FAILED");
    EXPECT_FALSE(m_pCube->IsLaidOut());
    EXPECT_FALSE(m_pCube->HasDeviceObjects());
}

TEST_F(CubeBrokenMeshTest, FailedRebuildKeepsThePuzzleAsItWas) {
    WriteStandardBox();
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    m_pCube->GetCubie(1).bSelected = true;
    m_pCube->GetCubie(3).bSelected = true;
    ASSERT_GT(RunTurn(*m_pCube, m_pDevice), 0);
    const D3DXVECTOR3 vMoved = m_pCube->GetCubie(1).vCenter;

    std::filesystem::remove("box.x");
    ExpectBuildFails("D3DXLoadMeshFromX() - FAILED");
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(1).vCenter, vMoved, 0));
    EXPECT_TRUE(m_pCube->HasDeviceObjects());
    EXPECT_EQ(m_pCube->GetMaterialCount(), 6u);
}

TEST_F(CubeBrokenMeshTest, ComputeRadiusWithoutAMeshReportsFailure) {
    testing::internal::CaptureStderr();
    const float fRadius = m_pCube->ComputeRadius();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fRadius, 0.0f);
    EXPECT_NE(err.find("ComputeRadius - FAILED"), std::string::npos);
}

// The device objects go with their device; the puzzle's state stays.
TEST_F(CubeModelTest, DeviceObjectsAreRecreatedWithoutLosingThePuzzle) {
    WriteStandardBox();
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    m_pCube->GetCubie(10).bSelected = true;
    m_pCube->GetCubie(12).bSelected = true;
    ASSERT_GT(RunTurn(*m_pCube, m_pDevice), 0);
    m_pCube->GetCubie(20).bSelected = true;
    Cubie before[CPuzzleCube::kCubieCount];
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) before[i] = m_pCube->GetCubie(i);

    m_pCube->ReleaseDeviceObjects();
    EXPECT_FALSE(m_pCube->HasDeviceObjects());
    EXPECT_EQ(m_pCube->GetMaterialCount(), 0u);
    // Nothing of the cube holds the old device any more.
    EXPECT_EQ(m_pDevice->Release(), 0u);
    m_pDevice = CreateDevice();
    ASSERT_NE(m_pDevice, nullptr);

    ASSERT_TRUE(m_pCube->CreateDeviceObjects(m_pDevice));
    EXPECT_TRUE(m_pCube->HasDeviceObjects());
    EXPECT_EQ(m_pCube->GetMaterialCount(), 6u);
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
        const Cubie& c = m_pCube->GetCubie(i);
        EXPECT_TRUE(VectorNear(c.vCenter, before[i].vCenter, 0)) << i;
        EXPECT_TRUE(MatrixNear(c.mWorld, before[i].mWorld, 0)) << i;
        EXPECT_EQ(c.bSelected, before[i].bSelected) << i;
    }
    // The cube still turns on the new device.
    m_pCube->GetCubie(20).bSelected = false;
    m_pCube->GetCubie(1).bSelected = true;
    m_pCube->GetCubie(3).bSelected = true;
    EXPECT_GT(RunTurn(*m_pCube, m_pDevice), 0);
}

TEST(CubeMath, NearlyEqualIsInclusive) {
    EXPECT_TRUE(CPuzzleCube::NearlyEqual(0.0f, 2.0f, 2.0f));
    EXPECT_TRUE(CPuzzleCube::NearlyEqual(2.0f, 0.0f, 2.0f));
    EXPECT_FALSE(CPuzzleCube::NearlyEqual(0.0f, 2.0001f, 2.0f));
    EXPECT_FALSE(CPuzzleCube::NearlyEqual(0.0f, -2.0001f, 2.0f));
}

TEST(CubeMath, PointDistanceAndTurnDirection) {
    EXPECT_FLOAT_EQ(CPuzzleCube::PointDistance(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(4, 6, 3)), 5.0f);
    // Outer layer pair (cosine 0.5): +1; middle layer pair (cosine 0.707): -1.
    EXPECT_EQ(CPuzzleCube::TurnDirection(D3DXVECTOR3(-kR, -kR, 0), D3DXVECTOR3(-kR, 0, -kR)), 1);
    EXPECT_EQ(CPuzzleCube::TurnDirection(D3DXVECTOR3(0, -kR, 0), D3DXVECTOR3(0, 0, -kR)), -1);
    EXPECT_EQ(CPuzzleCube::TurnDirection(D3DXVECTOR3(0, 0, -kR), D3DXVECTOR3(0, -kR, 0)), -1);
}

// The program's own mesh: radius far above the tolerances, six faces, each
// with its sticker texture, and the puzzle turns with it.
TEST_F(CubeModelTest, ShippedBoxBuildsAndTurns) {
    const std::filesystem::path media = std::filesystem::path(TUMBRAL_SOURCE_DIR) / "app" / "media";
    for (const auto& entry : std::filesystem::directory_iterator(media))
        std::filesystem::copy_file(entry.path(), entry.path().filename());
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    const float fRadius = m_pCube->ComputeRadius();
    EXPECT_GT(fRadius, 10.0f);
    EXPECT_LT(fRadius, 12.5f);
    ASSERT_EQ(m_pCube->GetMaterialCount(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_NE(m_pCube->GetTexture(i), nullptr) << i;
    m_pCube->GetCubie(1).bSelected = true;
    m_pCube->GetCubie(3).bSelected = true;
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 51);
    EXPECT_LT(CPuzzleCube::PointDistance(m_pCube->GetCubie(1).vCenter, D3DXVECTOR3(-fRadius, 0, -fRadius)),
              1e-3f);
}
