// The .x reader and mesh image building, without a device: our box.x,
// frames, polygons, normals, materials, and malformed files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/d3dx9/mesh_build.h"
#include "platform/d3dx9/xfile_reader.h"
#include "platform/d3dx9mesh.h"

namespace {

using plat::XMeshData;

HRESULT Read(const std::string& text, XMeshData* out) {
    return plat::ReadXFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out);
}

std::string BoxX() {
    std::ifstream f(TUMBRAL_SOURCE_DIR "/app/media/box.x", std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

const char* const kHeader = "xof 0302txt 0032\n";

// A unit quad (one polygon) with normals, coordinates and two materials.
const char* const kQuad = R"(
Mesh Quad {
  4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;;
  2; 3;0,1,2;, 3;0,2,3;;
  MeshNormals { 1; 0;0;-1;; 2; 3;0,0,0;, 3;0,0,0;; }
  MeshTextureCoords { 4; 0;1;, 1;1;, 1;0;, 0;0;; }
  MeshMaterialList { 2; 2; 1, 0;
    Material { 1;0;0;1;; 5; 0.5;0.5;0.5;; 0;0;0;; TextureFilename { "red.png"; } }
    Material { 0;1;0;0.5;; 1; 0;0;0;; 0.25;0;0;; }
  }
})";

TEST(XFileReaderTest, ReadsOurBox) {
    XMeshData data;
    ASSERT_EQ(Read(BoxX(), &data), S_OK);
    EXPECT_EQ(data.positions.size(), 32u);
    EXPECT_EQ(data.normals.size(), 6u);
    EXPECT_EQ(data.texCoords.size(), 64u);
    EXPECT_EQ(data.attributes.size(), 12u);  // six quads as triangle fans
    ASSERT_EQ(data.materials.size(), 6u);
    const float expected[6][3] = {{1, 1, 1},     {1, 0.84f, 0},     {0.78f, 0.05f, 0.05f},
                                  {1, 0.45f, 0}, {0, 0.27f, 0.78f}, {0, 0.6f, 0.22f}};
    for (int i = 0; i < 6; ++i) {
        const D3DMATERIAL9& m = data.materials[i].material;
        EXPECT_FLOAT_EQ(m.Diffuse.r, expected[i][0]) << "material " << i;
        EXPECT_FLOAT_EQ(m.Diffuse.g, expected[i][1]) << "material " << i;
        EXPECT_FLOAT_EQ(m.Diffuse.b, expected[i][2]) << "material " << i;
        EXPECT_EQ(m.Diffuse.a, 1.0f);
        EXPECT_EQ(m.Ambient.r, 0.0f);
        EXPECT_EQ(m.Power, 10.0f);
        EXPECT_TRUE(data.materials[i].hasTexture);
        EXPECT_EQ(data.materials[i].textureFile, "sticker.png");
    }

    plat::MeshImage image;
    plat::BuildMeshImage(data, &image);
    EXPECT_EQ(image.fvf, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(image.stride, D3DXGetFVFVertexSize(image.fvf));
    EXPECT_EQ(image.numVertices, 32u);  // every face has its own corners: nothing to split
    ASSERT_EQ(image.table.size(), 6u);
    for (DWORD i = 0; i < 6; ++i) {
        EXPECT_EQ(image.table[i].AttribId, i);
        EXPECT_EQ(image.table[i].FaceCount, 2u);
    }
    D3DXVECTOR3 centre;
    float radius = 0;
    ASSERT_EQ(D3DXComputeBoundingSphere(reinterpret_cast<const D3DXVECTOR3*>(image.vertices.data()),
                                        image.numVertices, image.stride, &centre, &radius),
              S_OK);
    EXPECT_NEAR(D3DXVec3Length(&centre), 0.0f, 1e-5f);
    EXPECT_NEAR(radius, 12.0f, 1e-4f);
    // Neighbouring cubies spaced by the radius keep a gap; the body half-size is the largest |x| of a face
    // vertex.
    float half = 0;
    for (uint32_t f = 0; f < image.indices.size(); ++f) {
        float x;
        std::memcpy(&x, image.vertices.data() + image.indices[f] * image.stride, 4);
        half = std::max(half, std::fabs(x));
    }
    EXPECT_GT(radius - 2 * half, 0.2f);
    EXPECT_LT(radius - 2 * half, 2.0f);

    // From the start camera (eye 100 in front, 45 degree field of view,
    // 640 x 480) the 3 x 3 x 3 puzzle fills roughly half the view's height.
    const float extent = radius + half;
    D3DXMATRIX view, proj;
    const D3DXVECTOR3 eye(0, 0, -100), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 640.0f / 480.0f, 1.0f, 1000.0f);
    const D3DVIEWPORT9 vp = {0, 0, 640, 480, 0.0f, 1.0f};
    float top = 480, bottom = 0;
    for (float y : {-extent, extent})
        for (float z : {-extent, extent}) {
            const D3DXVECTOR3 corner(extent, y, z);
            D3DXVECTOR3 s;
            D3DXVec3Project(&s, &corner, &vp, &proj, &view, nullptr);
            top = std::min(top, s.y);
            bottom = std::max(bottom, s.y);
        }
    EXPECT_GT((bottom - top) / 480.0f, 0.4f);
    EXPECT_LT((bottom - top) / 480.0f, 0.65f);
}

TEST(XFileReaderTest, BoxFacesAreClockwiseSeenFromOutside) {
    // Front faces under the default culling are clockwise on screen. In a
    // left-handed frame a triangle looks clockwise from the side its edge
    // cross product (b - a) x (c - a) points to: that must be outward.
    XMeshData data;
    ASSERT_EQ(Read(BoxX(), &data), S_OK);
    for (size_t t = 0; t < data.attributes.size(); ++t) {
        const D3DXVECTOR3 a(data.positions[data.corners[t * 3].vertex]);
        const D3DXVECTOR3 b(data.positions[data.corners[t * 3 + 1].vertex]);
        const D3DXVECTOR3 c(data.positions[data.corners[t * 3 + 2].vertex]);
        const D3DXVECTOR3 n(data.normals[data.corners[t * 3].normal]);
        D3DXVECTOR3 e1 = b - a, e2 = c - a, w;
        D3DXVec3Cross(&w, &e1, &e2);
        EXPECT_GT(D3DXVec3Dot(&w, &n), 0.0f) << "triangle " << t;
    }
}

TEST(XFileReaderTest, QuadWithMaterialsNormalsAndCoordinates) {
    XMeshData data;
    ASSERT_EQ(Read(std::string(kHeader) + kQuad, &data), S_OK);
    ASSERT_EQ(data.attributes.size(), 2u);
    EXPECT_EQ(data.attributes[0], 1u);
    EXPECT_EQ(data.attributes[1], 0u);
    ASSERT_EQ(data.materials.size(), 2u);
    EXPECT_EQ(data.materials[0].textureFile, "red.png");
    EXPECT_FALSE(data.materials[1].hasTexture);
    EXPECT_EQ(data.materials[1].material.Diffuse.a, 0.5f);
    EXPECT_EQ(data.materials[1].material.Emissive.r, 0.25f);
    EXPECT_EQ(data.materials[0].material.Specular.g, 0.5f);

    plat::MeshImage image;
    plat::BuildMeshImage(data, &image);
    // Faces are sorted by material: the second file face comes first.
    ASSERT_EQ(image.indices.size(), 6u);
    EXPECT_EQ(image.indices[0], 0u);
    EXPECT_EQ(image.indices[1], 2u);
    EXPECT_EQ(image.indices[2], 3u);
    EXPECT_EQ(image.attributes[0], 0u);
    EXPECT_EQ(image.attributes[1], 1u);
    // The two triangles share the diagonal 0-2.
    EXPECT_EQ(image.adjacency[0], 1u);
    EXPECT_EQ(image.adjacency[5], 0u);
    EXPECT_EQ(image.adjacency[1], 0xFFFFFFFFu);
}

TEST(XFileReaderTest, PolygonsBecomeFansAndSplitVerticesByNormal) {
    // A pentagon and a triangle sharing vertices 0 and 1 but with other normals.
    const std::string text = std::string(kHeader) + R"(
Mesh {
  6; 0;0;0;, 1;0;0;, 2;1;0;, 1;2;0;, 0;1;0;, 0;0;5;;
  2; 5;0,1,2,3,4;, 3;0,5,1;;
  MeshNormals { 2; 0;0;-1;, 0;-1;0;; 2; 5;0,0,0,0,0;, 3;1,1,1;; }
})";
    XMeshData data;
    ASSERT_EQ(Read(text, &data), S_OK);
    EXPECT_EQ(data.attributes.size(), 4u);  // 3 from the pentagon, 1 triangle
    EXPECT_TRUE(data.texCoords.empty());
    plat::MeshImage image;
    plat::BuildMeshImage(data, &image);
    EXPECT_EQ(image.fvf, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL));
    EXPECT_EQ(image.numVertices, 8u);  // 0 and 1 copied for the second normal; 5 keeps its slot
    // Fan order: (0,1,2), (0,2,3), (0,3,4).
    EXPECT_EQ(image.indices[3], 0u);
    EXPECT_EQ(image.indices[4], 2u);
    EXPECT_EQ(image.indices[5], 3u);
    // The last triangle uses the copies.
    EXPECT_EQ(image.indices[9], 6u);
    EXPECT_EQ(image.indices[10], 5u);
    EXPECT_EQ(image.indices[11], 7u);
    float n[3];
    std::memcpy(n, image.vertices.data() + 6 * image.stride + 12, 12);
    EXPECT_EQ(n[1], -1.0f);
    float p[3];
    std::memcpy(p, image.vertices.data() + 7 * image.stride, 12);
    EXPECT_EQ(p[0], 1.0f);
    // Split vertices still count as the same edge for adjacency (0-1 is shared).
    EXPECT_EQ(image.adjacency[0], 3u);
}

TEST(XFileReaderTest, FramesTransformMeshesAndAllMeshesCombine) {
    const std::string text = std::string(kHeader) + R"(
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Material Shared { 0;0;1;1;; 0; 0;0;0;; 0;0;0;; }
Frame Outer {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 10,0,0,1;; }
  Frame Inner {
    FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,1,0,1;; }
    Mesh { 3; 1;0;0;, 0;1;0;, 0;0;1;; 1; 3;0,1,2;;
      MeshMaterialList { 1; 1; 0; { Shared } } }
  }
  SomethingUnknown { 1; 2; { nested { deeper } } }
}
Mesh Loose { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
)";
    XMeshData data;
    ASSERT_EQ(Read(text, &data), S_OK);
    ASSERT_EQ(data.positions.size(), 6u);
    // Inner first (scale 2, up 1), then outer (right 10).
    EXPECT_EQ(data.positions[0].x, 12.0f);
    EXPECT_EQ(data.positions[0].y, 1.0f);
    EXPECT_EQ(data.positions[1].y, 3.0f);
    EXPECT_EQ(data.positions[2].z, 2.0f);
    EXPECT_EQ(data.positions[3].x, 0.0f);  // the loose mesh is not transformed
    // The referenced material, plus a default one for the mesh without a list.
    ASSERT_EQ(data.materials.size(), 2u);
    EXPECT_EQ(data.materials[0].material.Diffuse.b, 1.0f);
    EXPECT_EQ(data.attributes[0], 0u);
    EXPECT_EQ(data.attributes[1], 1u);
    // The second mesh's corners index its own vertices.
    EXPECT_EQ(data.corners[3].vertex, 3u);
}

TEST(XFileReaderTest, MaterialNamedInsideAListServesLaterReferences) {
    const std::string text = std::string(kHeader) + R"(
Mesh A { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0; Material Gold { 1;0.8;0;1;; 0; 0;0;0;; 0;0;0;; } } }
Mesh B { 3; 0;0;1;, 1;0;1;, 0;1;1;; 1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0; { Gold } } })";
    XMeshData data;
    ASSERT_EQ(Read(text, &data), S_OK);
    ASSERT_EQ(data.materials.size(), 2u);  // one record per mesh's list entry
    EXPECT_EQ(data.materials[1].material.Diffuse.g, 0.8f);
    EXPECT_EQ(data.attributes[1], 1u);
}

TEST(XFileReaderTest, LenientSeparatorsAndShortMaterialIndexList) {
    const std::string text = std::string(kHeader) + R"(
Mesh { 4; 0 0 0, 1 0 0, 1 1 0, 0 1 0
  3; 3;0,1,2, 3;0,2,3, 3;1,2,3
  MeshMaterialList { 2; 2; 0, 1
    Material { 1;1;1;1; 0; 0;0;0; 0;0;0; }
    Material { 1;1;1;1; 0; 0;0;0; 0;0;0; } } })";
    XMeshData data;
    ASSERT_EQ(Read(text, &data), S_OK);
    ASSERT_EQ(data.attributes.size(), 3u);
    EXPECT_EQ(data.attributes[2], 1u);  // the last index repeats
}

TEST(XFileReaderTest, MalformedFilesAreErrors) {
    const std::string h = kHeader;
    const struct {
        const char* what;
        std::string text;
        HRESULT expected;
    } cases[] = {
        {"empty", "", D3DXERR_INVALIDDATA},
        {"short header", "xof 0302txt", D3DXERR_INVALIDDATA},
        {"binary", "xof 0302bin 0032", D3DXERR_INVALIDDATA},
        {"compressed", "xof 0302tzip0032", D3DXERR_INVALIDDATA},
        {"no mesh", h + "Frame { }", D3DXERR_LOADEDMESHHASNODATA},
        {"absurd vertex count", h + "Mesh { 4000000000; 0;0;0;; }", D3DXERR_INVALIDDATA},
        {"count beyond input", h + "Mesh { 100; 0;0;0;, 1;1;1;; 0;; }", D3DXERR_INVALIDDATA},
        {"index out of range", h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }", D3DXERR_INVALIDDATA},
        {"negative index", h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,-1;; }", D3DXERR_INVALIDDATA},
        {"two-index face", h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }", D3DXERR_INVALIDDATA},
        {"broken number", h + "Mesh { 3; 0;0;0;, 1.0.0;0;0;, 0;1;0;; 1; 3;0,1,2;; }", D3DXERR_INVALIDDATA},
        {"overflowing float", h + "Mesh { 3; 0;0;0;, 1e39;0;0;, 0;1;0;; 1; 3;0,1,2;; }", D3DXERR_INVALIDDATA},
        {"nan", h + "Mesh { 3; 0;0;0;, nan;0;0;, 0;1;0;; 1; 3;0,1,2;; }", D3DXERR_INVALIDDATA},
        {"unclosed mesh", h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;", D3DXERR_INVALIDDATA},
        {"face normal count",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; "
             "} }",
         D3DXERR_INVALIDDATA},
        {"normal index",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 3;0,1,0;; } }",
         D3DXERR_INVALIDDATA},
        {"normal corner count",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 1; 4;0,0,0,0;; } }",
         D3DXERR_INVALIDDATA},
        {"coordinate count",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshTextureCoords { 2; 0;0;, 1;1;; } }",
         D3DXERR_INVALIDDATA},
        {"material index",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 1; Material { "
             "1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }",
         D3DXERR_INVALIDDATA},
        {"missing material",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 2; 1; 0; Material { "
             "1;1;1;1;; 0; 0;0;0;; 0;0;0;; } } }",
         D3DXERR_INVALIDDATA},
        {"unknown reference",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0; { Nowhere } } }",
         D3DXERR_INVALIDDATA},
        {"unterminated string",
         h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0; Material { "
             "1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"a.png; } } } }",
         D3DXERR_INVALIDDATA},
        {"stray byte", h + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; } \x01", D3DXERR_INVALIDDATA},
    };
    for (const auto& c : cases) {
        XMeshData data;
        data.positions.resize(3);
        EXPECT_EQ(Read(c.text, &data), c.expected) << c.what;
        EXPECT_TRUE(data.positions.empty()) << c.what;  // nothing half-read is left behind
    }
}

TEST(XFileReaderTest, DeepNestingIsRefusedNotOverflowed) {
    std::string text = kHeader;
    for (int i = 0; i < 100000; ++i) text += "Frame {";
    XMeshData data;
    EXPECT_EQ(Read(text, &data), D3DXERR_INVALIDDATA);
    text = std::string(kHeader) + "Unknown ";
    for (int i = 0; i < 100000; ++i) text += "{";
    EXPECT_EQ(Read(text, &data), D3DXERR_INVALIDDATA);
}

TEST(XFileReaderTest, EveryPrefixOfOurBoxIsAnErrorNeverACrash) {
    const std::string box = BoxX();
    ASSERT_FALSE(box.empty());
    // Cut inside every token (a cut between a ';' and a newline may still be complete).
    size_t accepted = 0;
    for (size_t n = 0; n < box.size(); ++n) {
        XMeshData data;
        // Reading from a copy of exactly n bytes lets the address sanitizer see any over-read.
        const std::string prefix = box.substr(0, n);
        if (SUCCEEDED(Read(prefix, &data))) ++accepted;
    }
    EXPECT_LE(accepted, 2u);  // only the whole file, possibly minus its trailing newline
}

}  // namespace
