// Test environment for the puzzle cube: a headless window and software device,
// a private working directory for generated .x meshes and images, and pixel
// reads of the back buffer.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/puzzle_cube.h"
#include "platform/d3d9.h"
#include "platform/d3dx9.h"
#include "platform/win32.h"
#include "tests/support/device_fixture.h"

// One four-cornered face of a generated mesh.
struct XQuad {
    D3DXVECTOR3 p[4];
    D3DXVECTOR3 n;
    int nMaterial;
};

// One material of a generated mesh.
struct XMaterial {
    float r, g, b, a;     // face colour (diffuse)
    float er, eg, eb;     // emissive
    std::string texture;  // file name, or empty
};

// Text .x file: the quads (with normals and texture coordinates), their
// material list (omitted when `materials` is empty), and six vertices that no
// face uses at +-fExtra on the axes, which set the bounding radius.
std::string MakeXFile(const std::vector<XQuad>& quads, const std::vector<XMaterial>& materials, float fExtra);
// The six faces of an axis-aligned cube of half-size h, face i using material i
// (order -x, +x, -y, +y, -z, +z), wound clockwise seen from outside.
std::vector<XQuad> CubeQuads(float h);
// A quad in the plane z = fZ facing -z, spanning [x0, x1] x [y0, y1].
XQuad FrontQuad(float x0, float y0, float x1, float y1, float fZ, int nMaterial);
// Six opaque materials of distinct colours, no emissive, no textures.
std::vector<XMaterial> SixColours();

void WriteTextFile(const std::string& path, const std::string& text);
// A 24-bit BMP image of one colour.
void WriteSolidBmp(const std::string& path, int w, int h, BYTE r, BYTE g, BYTE b);

// Working directory, window and device for one test. The cube is created
// after the device and destroyed before it, as the application does.
class CubeDeviceTest : public ::testing::Test {
  protected:
    static constexpr UINT kWidth = 640;
    static constexpr UINT kHeight = 480;

    void SetUp() override;
    void TearDown() override;

    // Writes box.x from a cube of half-size 4 and six colours with radius 10.
    void WriteStandardBox();
    // A further device on the test window with the test's parameters; nullptr on failure.
    IDirect3DDevice9* CreateDevice();
    // Pixel (x, y) of the back buffer as 0x00RRGGBB.
    DWORD ReadPixel(UINT x, UINT y);
    // Orthographic view down +z: world (x, y) maps to pixel (320 + 10x, 240 - 10y).
    void SetOrthoView();
    // The application's start camera: eye (0, 0, -100) at the origin, 45 degrees, 640 x 480.
    void SetStartCamera();
    // Runs AdvanceTurn until the turn in progress snaps; returns the frames it took.
    int RunTurn(CPuzzleCube& cube, IDirect3DDevice9* pDevice, int nMaxFrames = 200);
    // The device parameters: kWidth x kHeight with a D24S8 depth buffer.
    D3DPRESENT_PARAMETERS Params() const;

    tumbral_test::TempWorkDir m_WorkDir;
    HWND m_hWnd = nullptr;
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    std::unique_ptr<CPuzzleCube> m_pCube;
};

// Marks two edge cubies of the turn's layer (cubie spacing 10), with Shift's
// reversal when their own direction is the other one: the next frames turn it.
void MarkLayerTurn(CPuzzleCube& cube, const LayerTurn& turn);

// Whether two matrices agree element by element within eps.
bool MatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps);
bool VectorNear(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float eps);
