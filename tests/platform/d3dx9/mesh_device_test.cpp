// Meshes on a device: loading our box.x with every output, buffers and
// references, drawing a subset, and load failures.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/d3dx9/d3dx_device_env.h"

namespace {

const char* const kTwoQuads = R"(xof 0302txt 0032
Mesh {
  8; -30;-30;1;, -2;-30;1;, -2;30;1;, -30;30;1;,
      2;-30;1;, 30;-30;1;, 30;30;1;, 2;30;1;;
  2; 4;3,2,1,0;, 4;7,6,5,4;;
  MeshMaterialList { 2; 2; 0, 1;
    Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }
    Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; } }
})";

class MeshDeviceTest : public D3dxDeviceTest {};

TEST_F(MeshDeviceTest, LoadsOurBoxWithAllOutputs) {
    const std::wstring path = TUMBRAL_SOURCE_DIR L"/app/media/box.x";
    const ULONG refsBefore = DeviceRefs();
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    ID3DXBuffer* effects = reinterpret_cast<ID3DXBuffer*>(1);
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXW(path.c_str(), D3DXMESH_MANAGED, m_pDevice, &adjacency, &materials, &effects,
                                 &count, &mesh),
              S_OK);
    EXPECT_EQ(effects, nullptr);
    EXPECT_GT(DeviceRefs(), refsBefore);  // the mesh holds the device

    EXPECT_EQ(mesh->GetNumVertices(), 32u);
    EXPECT_EQ(mesh->GetNumFaces(), 12u);
    EXPECT_EQ(mesh->GetFVF(), DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(mesh->GetOptions() & D3DXMESH_MANAGED, DWORD(D3DXMESH_MANAGED));

    DWORD tableSize = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &tableSize), S_OK);
    ASSERT_EQ(tableSize, 6u);
    D3DXATTRIBUTERANGE table[6];
    ASSERT_EQ(mesh->GetAttributeTable(table, &tableSize), S_OK);
    for (DWORD i = 0; i < 6; ++i) {
        EXPECT_EQ(table[i].AttribId, i);
        EXPECT_EQ(table[i].FaceStart, i * 2);
        EXPECT_EQ(table[i].FaceCount, 2u);
    }

    ASSERT_EQ(count, 6u);
    ASSERT_NE(materials, nullptr);
    const auto* mats = static_cast<const D3DXMATERIAL*>(materials->GetBufferPointer());
    const DWORD packed[6] = {0xFFFFFFFF, 0xFFFFD600, 0xFFC70D0D, 0xFFFF7300, 0xFF0045C7, 0xFF009938};
    for (DWORD i = 0; i < 6; ++i) {
        EXPECT_EQ(DWORD(D3DXCOLOR(mats[i].MatD3D.Diffuse)), packed[i]) << "material " << i;
        ASSERT_NE(mats[i].pTextureFilename, nullptr);
        EXPECT_STREQ(mats[i].pTextureFilename, "sticker.png");
        // The names live inside the buffer.
        const auto* base = static_cast<const char*>(materials->GetBufferPointer());
        EXPECT_GE(mats[i].pTextureFilename, base);
        EXPECT_LT(mats[i].pTextureFilename, base + materials->GetBufferSize());
    }

    // A closed cube: every triangle edge has a neighbour.
    ASSERT_NE(adjacency, nullptr);
    ASSERT_EQ(adjacency->GetBufferSize(), 12u * 3 * sizeof(DWORD));
    const auto* adj = static_cast<const DWORD*>(adjacency->GetBufferPointer());
    for (DWORD i = 0; i < 36; ++i) EXPECT_LT(adj[i], 12u) << "edge " << i;

    // The radius the cube spaces its cubies by.
    void* vertices = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &vertices), S_OK);
    D3DXVECTOR3 centre;
    float radius = 0;
    EXPECT_EQ(D3DXComputeBoundingSphere(static_cast<const D3DXVECTOR3*>(vertices), mesh->GetNumVertices(),
                                        D3DXGetFVFVertexSize(mesh->GetFVF()), &centre, &radius),
              S_OK);
    EXPECT_EQ(mesh->UnlockVertexBuffer(), S_OK);
    EXPECT_NEAR(radius, 12.0f, 1e-4f);
    EXPECT_NEAR(D3DXVec3Length(&centre), 0.0f, 1e-5f);

    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(mesh->GetDevice(&device), S_OK);
    EXPECT_EQ(device, m_pDevice);
    device->Release();

    adjacency->Release();
    materials->Release();
    EXPECT_EQ(mesh->Release(), 0u);
    EXPECT_EQ(DeviceRefs(), refsBefore);  // releasing the mesh released its buffers and the device
}

TEST_F(MeshDeviceTest, SixteenAndThirtyTwoBitIndices) {
    WriteFile("quads.x", std::string(kTwoQuads));
    for (const DWORD options : {DWORD(D3DXMESH_MANAGED), DWORD(D3DXMESH_MANAGED | D3DXMESH_32BIT)}) {
        ID3DXMesh* mesh = nullptr;
        ASSERT_EQ(
            D3DXLoadMeshFromXA("quads.x", options, m_pDevice, nullptr, nullptr, nullptr, nullptr, &mesh),
            S_OK);
        IDirect3DIndexBuffer9* ib = nullptr;
        ASSERT_EQ(mesh->GetIndexBuffer(&ib), S_OK);
        D3DINDEXBUFFER_DESC desc{};
        ib->GetDesc(&desc);
        const bool wide = (options & D3DXMESH_32BIT) != 0;
        EXPECT_EQ(desc.Format, wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16);
        EXPECT_EQ(desc.Size, 12u * (wide ? 4 : 2));
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        void* p = nullptr;
        ASSERT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &p), S_OK);
        const DWORD third = wide ? static_cast<const DWORD*>(p)[2] : static_cast<const WORD*>(p)[2];
        EXPECT_EQ(third, 1u);  // fan (3, 2, 1) of the first quad
        mesh->UnlockIndexBuffer();
        ib->Release();
        mesh->Release();
    }
}

TEST_F(MeshDeviceTest, DrawSubsetDrawsOnlyThatMaterialsFaces) {
    WriteFile("quads.x", std::string(kTwoQuads));
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(
        D3DXLoadMeshFromXA("quads.x", D3DXMESH_MANAGED, m_pDevice, nullptr, nullptr, nullptr, nullptr, &mesh),
        S_OK);
    D3DXMATRIX ident, proj;
    D3DXMatrixIdentity(&ident);
    D3DXMatrixOrthoLH(&proj, 64.0f, 64.0f, 0.0f, 10.0f);  // one world unit per pixel
    m_pDevice->SetTransform(D3DTS_WORLD, &ident);
    m_pDevice->SetTransform(D3DTS_VIEW, &ident);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &proj);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);

    for (DWORD subset = 0; subset < 3; ++subset) {
        ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0),
                  S_OK);
        ASSERT_EQ(m_pDevice->BeginScene(), S_OK);
        EXPECT_EQ(mesh->DrawSubset(subset), S_OK);  // subset 2 has no faces: nothing drawn, no error
        m_pDevice->EndScene();
        const DWORD left = ReadPixel(16, 32), right = ReadPixel(48, 32);
        EXPECT_EQ(left, subset == 0 ? 0xFFFFFFu : 0u) << "subset " << subset;
        EXPECT_EQ(right, subset == 1 ? 0xFFFFFFu : 0u) << "subset " << subset;
    }
    mesh->Release();
}

// 64 subsets, the faces' materials scrambled: each subset draws its own
// quad of an 8 x 8 grid, and only that one; an attribute no face carries draws nothing.
TEST_F(MeshDeviceTest, EachOfManySubsetsDrawsItsOwnFace) {
    constexpr int kQuads = 64;
    std::string x = "xof 0302txt 0032\nMesh { " + std::to_string(kQuads * 4) + ";\n";
    for (int i = 0; i < kQuads; ++i) {
        const int left = -32 + (i % 8) * 8, bottom = -32 + (i / 8) * 8;
        for (int c = 0; c < 4; ++c)
            x += std::to_string(left + (c == 1 || c == 2 ? 6 : 0)) + ";" +
                 std::to_string(bottom + (c >= 2 ? 6 : 0)) + ";1;" + (i + 1 == kQuads && c == 3 ? ";" : ",");
    }
    x += std::to_string(kQuads) + ";";
    for (int i = 0; i < kQuads; ++i)
        x += "4;" + std::to_string(i * 4 + 3) + "," + std::to_string(i * 4 + 2) + "," +
             std::to_string(i * 4 + 1) + "," + std::to_string(i * 4) + (i + 1 == kQuads ? ";;" : ";,");
    x += "MeshMaterialList { " + std::to_string(kQuads + 1) + "; " + std::to_string(kQuads) + ";";
    for (int i = 0; i < kQuads; ++i)
        x += std::to_string((i * 37 + 5) % kQuads) + (i + 1 == kQuads ? ";" : ",");
    for (int i = 0; i <= kQuads; ++i) x += "Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }";
    x += "} }";
    WriteFile("grid.x", x);
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(
        D3DXLoadMeshFromXA("grid.x", D3DXMESH_MANAGED, m_pDevice, nullptr, nullptr, nullptr, nullptr, &mesh),
        S_OK);
    D3DXMATRIX ident, proj;
    D3DXMatrixIdentity(&ident);
    D3DXMatrixOrthoLH(&proj, 64.0f, 64.0f, 0.0f, 10.0f);  // one world unit per pixel
    m_pDevice->SetTransform(D3DTS_WORLD, &ident);
    m_pDevice->SetTransform(D3DTS_VIEW, &ident);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &proj);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    for (DWORD subset = 0; subset <= kQuads; ++subset) {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        m_pDevice->BeginScene();
        EXPECT_EQ(mesh->DrawSubset(subset), S_OK);
        m_pDevice->EndScene();
        int lit = 0, litQuad = -1;
        for (int q = 0; q < kQuads; ++q)
            if (ReadPixel(UINT((q % 8) * 8 + 3), UINT(64 - ((q / 8) * 8 + 3))) != 0) ++lit, litQuad = q;
        const int expected = subset == kQuads ? -1 : [&] {
            for (int q = 0; q < kQuads; ++q)
                if ((q * 37 + 5) % kQuads == int(subset)) return q;
            return -2;
        }();
        EXPECT_EQ(lit, expected < 0 ? 0 : 1) << "subset " << subset;
        EXPECT_EQ(litQuad, expected) << "subset " << subset;
    }
    mesh->Release();
}

TEST_F(MeshDeviceTest, OurBoxFacesTheCameraUnderDefaultCulling) {
    const std::wstring path = TUMBRAL_SOURCE_DIR L"/app/media/box.x";
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXW(path.c_str(), D3DXMESH_MANAGED, m_pDevice, nullptr, nullptr, nullptr,
                                 nullptr, &mesh),
              S_OK);
    D3DXMATRIX world, view, proj;
    D3DXMatrixIdentity(&world);
    const D3DXVECTOR3 eye(0, 0, -30), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
    m_pDevice->SetTransform(D3DTS_WORLD, &world);
    m_pDevice->SetTransform(D3DTS_VIEW, &view);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &proj);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    // Subset 5 is the face towards the camera (-z), subset 4 the one away from it.
    for (DWORD cull : {DWORD(D3DCULL_CCW), DWORD(D3DCULL_NONE)}) {
        m_pDevice->SetRenderState(D3DRS_CULLMODE, cull);
        for (DWORD subset : {4u, 5u}) {
            m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
            m_pDevice->BeginScene();
            EXPECT_EQ(mesh->DrawSubset(subset), S_OK);
            m_pDevice->EndScene();
            const bool drawn = ReadPixel(32, 32) != 0;
            EXPECT_EQ(drawn, subset == 5 || cull == D3DCULL_NONE) << "cull " << cull << " subset " << subset;
        }
    }
    mesh->Release();
}

TEST_F(MeshDeviceTest, FailuresClearOutputsAndLeaveNoReferences) {
    const ULONG refsBefore = DeviceRefs();
    ID3DXBuffer* adjacency = reinterpret_cast<ID3DXBuffer*>(1);
    ID3DXBuffer* materials = reinterpret_cast<ID3DXBuffer*>(1);
    DWORD count = 7;
    ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(1);
    EXPECT_EQ(D3DXLoadMeshFromXW(L"missing.x", D3DXMESH_MANAGED, m_pDevice, &adjacency, &materials, nullptr,
                                 &count, &mesh),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(adjacency, nullptr);
    EXPECT_EQ(materials, nullptr);
    EXPECT_EQ(count, 0u);

    WriteFile("broken.x", std::string(kTwoQuads).substr(0, 120));
    EXPECT_EQ(D3DXLoadMeshFromXW(L"broken.x", D3DXMESH_MANAGED, m_pDevice, &adjacency, &materials, nullptr,
                                 &count, &mesh),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(mesh, nullptr);
    WriteFile("binary.x", std::string("xof 0302bin 0032\x01\x02\x03", 19));
    EXPECT_EQ(D3DXLoadMeshFromXW(L"binary.x", 0, m_pDevice, nullptr, nullptr, nullptr, nullptr, &mesh),
              D3DXERR_INVALIDDATA);
    const std::string noFaces = "xof 0302txt 0032 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 0;; }";
    EXPECT_EQ(D3DXLoadMeshFromXInMemory(noFaces.data(), DWORD(noFaces.size()), 0, m_pDevice, nullptr, nullptr,
                                        nullptr, nullptr, &mesh),
              D3DXERR_INVALIDMESH);
    EXPECT_EQ(D3DXLoadMeshFromXW(L"box.x", 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh),
              E_INVALIDARG);
    EXPECT_EQ(D3DXLoadMeshFromXW(nullptr, 0, m_pDevice, nullptr, nullptr, nullptr, nullptr, &mesh),
              E_INVALIDARG);
    EXPECT_EQ(DeviceRefs(), refsBefore);

    const std::string text = kTwoQuads;
    EXPECT_EQ(D3DXLoadMeshFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_SYSTEMMEM, m_pDevice,
                                        nullptr, nullptr, nullptr, &count, &mesh),
              S_OK);
    EXPECT_EQ(count, 2u);
    mesh->Release();
}

// Every interface of a mesh is the same object with one reference count, and
// the mesh's device reference lasts exactly as long as the mesh.
TEST_F(MeshDeviceTest, InterfacesShareOneCountAndTheDeviceLivesWithTheMesh) {
    const IID iidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
    const ULONG refsBefore = DeviceRefs();
    const std::string text = kTwoQuads;
    ID3DXMesh* mesh = nullptr;
    ASSERT_EQ(D3DXLoadMeshFromXInMemory(text.data(), DWORD(text.size()), D3DXMESH_MANAGED, m_pDevice, nullptr,
                                        nullptr, nullptr, nullptr, &mesh),
              S_OK);
    const ULONG refsWithMesh = DeviceRefs();
    EXPECT_GT(refsWithMesh, refsBefore);

    void* unknown = nullptr;
    void* base = nullptr;
    ASSERT_EQ(mesh->QueryInterface(iidUnknown, &unknown), S_OK);
    ASSERT_EQ(mesh->QueryInterface(IID_ID3DXBaseMesh, &base), S_OK);
    EXPECT_EQ(unknown, static_cast<void*>(mesh));
    EXPECT_EQ(base, static_cast<void*>(mesh));
    void* wrong = reinterpret_cast<void*>(1);
    EXPECT_EQ(mesh->QueryInterface(IID_ID3DXBuffer, &wrong), E_NOINTERFACE);
    EXPECT_EQ(wrong, nullptr);
    EXPECT_EQ(mesh->QueryInterface(IID_ID3DXMesh, nullptr), E_POINTER);
    EXPECT_EQ(mesh->AddRef(), 4u);          // the creator's, two queries, this one
    EXPECT_EQ(DeviceRefs(), refsWithMesh);  // more mesh references hold no more device references

    EXPECT_EQ(static_cast<ID3DXMesh*>(unknown)->Release(), 3u);
    EXPECT_EQ(static_cast<ID3DXMesh*>(base)->Release(), 2u);
    EXPECT_EQ(mesh->Release(), 1u);
    EXPECT_EQ(DeviceRefs(), refsWithMesh);
    EXPECT_EQ(mesh->Release(), 0u);
    EXPECT_EQ(DeviceRefs(), refsBefore);
}

TEST(MeshUtilTest, VertexSizesAndBoundingVolumes) {
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ), 12u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1), 28u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2 |
                                   D3DFVF_TEXCOORDSIZE3(0) | D3DFVF_TEXCOORDSIZE1(1)),
              12u + 4 + 4 + 12 + 4);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZB2 | D3DFVF_PSIZE), 24u);

    // Positions with a stride: a point far out sets the radius around the mean.
    struct V {
        float x, y, z, pad;
    };
    const V pts[4] = {{1, 0, 0, 99}, {-1, 0, 0, 99}, {0, 3, 0, 99}, {0, -3, 0, 99}};
    D3DXVECTOR3 c, lo, hi;
    float r = 0;
    ASSERT_EQ(D3DXComputeBoundingSphere(reinterpret_cast<const D3DXVECTOR3*>(pts), 4, sizeof(V), &c, &r),
              S_OK);
    EXPECT_EQ(c, D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(r, 3.0f);
    ASSERT_EQ(D3DXComputeBoundingBox(reinterpret_cast<const D3DXVECTOR3*>(pts), 4, sizeof(V), &lo, &hi),
              S_OK);
    EXPECT_EQ(lo, D3DXVECTOR3(-1, -3, 0));
    EXPECT_EQ(hi, D3DXVECTOR3(1, 3, 0));
    EXPECT_EQ(D3DXComputeBoundingSphere(reinterpret_cast<const D3DXVECTOR3*>(pts), 0, sizeof(V), &c, &r),
              E_INVALIDARG);
    EXPECT_EQ(D3DXComputeBoundingSphere(nullptr, 4, sizeof(V), &c, &r), E_INVALIDARG);

    ID3DXBuffer* b = nullptr;
    ASSERT_EQ(D3DXCreateBuffer(16, &b), S_OK);
    EXPECT_EQ(b->GetBufferSize(), 16u);
    EXPECT_EQ(static_cast<const BYTE*>(b->GetBufferPointer())[15], 0);
    ID3DXBuffer* same = nullptr;
    EXPECT_EQ(b->QueryInterface(IID_ID3DXBuffer, reinterpret_cast<void**>(&same)), S_OK);
    EXPECT_EQ(same, b);
    EXPECT_EQ(b->AddRef(), 3u);  // one count for the creator, the query and this one
    EXPECT_EQ(same->Release(), 2u);
    EXPECT_EQ(b->Release(), 1u);
    void* wrong = reinterpret_cast<void*>(1);
    EXPECT_EQ(b->QueryInterface(IID_ID3DXMesh, &wrong), E_NOINTERFACE);
    EXPECT_EQ(wrong, nullptr);
    EXPECT_EQ(b->Release(), 0u);
}

}  // namespace
