// Device state: state blocks, reads on pure devices, FVF and declarations,
// and invalid calls.
#include <cstring>

#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

using StateTest = DeviceTest;

D3DMATRIX Translation(float x, float y, float z) {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

TEST_F(StateTest, StateBlockApplyRestoresWhatCaptureSaw) {
    D3DPRESENT_PARAMETERS pp = Params(32, 32);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), S_OK);
    D3DMATRIX world = Translation(1, 2, 3);
    m_device->SetTransform(D3DTS_WORLD, &world);
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_device->SetTexture(0, texture);

    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(m_device->CreateStateBlock(D3DSBT_ALL, &block), S_OK);

    D3DMATRIX other = Translation(9, 9, 9);
    m_device->SetTransform(D3DTS_WORLD, &other);
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    m_device->SetTexture(0, nullptr);
    ASSERT_EQ(block->Apply(), S_OK);

    D3DMATRIX read;
    m_device->GetTransform(D3DTS_WORLD, &read);
    EXPECT_EQ(std::memcmp(&read, &world, sizeof read), 0);
    DWORD v = 0;
    m_device->GetRenderState(D3DRS_FILLMODE, &v);
    EXPECT_EQ(v, DWORD(D3DFILL_WIREFRAME));
    m_device->GetTextureStageState(1, D3DTSS_COLOROP, &v);
    EXPECT_EQ(v, DWORD(D3DTOP_ADD));
    m_device->GetSamplerState(0, D3DSAMP_MINFILTER, &v);
    EXPECT_EQ(v, DWORD(D3DTEXF_LINEAR));
    IDirect3DBaseTexture9* bound = nullptr;
    m_device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    if (bound) bound->Release();

    // Capture refreshes the block from the current state.
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    block->Capture();
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    block->Apply();
    m_device->GetRenderState(D3DRS_FILLMODE, &v);
    EXPECT_EQ(v, DWORD(D3DFILL_POINT));

    m_device->SetTexture(0, nullptr);
    EXPECT_EQ(block->Release(), 0u);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(StateTest, RecordedBlockHoldsOnlyRecordedStates) {
    D3DPRESENT_PARAMETERS pp = Params(32, 32);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    ASSERT_EQ(m_device->BeginStateBlock(), S_OK);
    EXPECT_EQ(m_device->BeginStateBlock(), D3DERR_INVALIDCALL);
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    IDirect3DStateBlock9* block = nullptr;
    ASSERT_EQ(m_device->EndStateBlock(&block), S_OK);

    // The settings dialog's pattern: capture, force solid, draw, apply back.
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    block->Capture();
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    block->Apply();
    DWORD v = 0;
    m_device->GetRenderState(D3DRS_FILLMODE, &v);
    EXPECT_EQ(v, DWORD(D3DFILL_WIREFRAME));
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
    EXPECT_EQ(v, DWORD(TRUE)) << "a state the block never recorded must stay as set";
    EXPECT_EQ(block->Release(), 0u);
}

TEST_F(StateTest, PureDeviceAnswersStateReads) {
    D3DPRESENT_PARAMETERS pp = Params(32, 32);
    ASSERT_EQ(CreateDevice(pp, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE), S_OK);
    D3DMATRIX view = Translation(0, 0, 5);
    ASSERT_EQ(m_device->SetTransform(D3DTS_VIEW, &view), S_OK);
    D3DMATRIX read{};
    ASSERT_EQ(m_device->GetTransform(D3DTS_VIEW, &read), S_OK);
    EXPECT_EQ(read._43, 5.0f);
    D3DVIEWPORT9 vp{};
    ASSERT_EQ(m_device->GetViewport(&vp), S_OK);
    EXPECT_EQ(vp.Width, 32u);
    DWORD v = 0;
    ASSERT_EQ(m_device->GetRenderState(D3DRS_ZENABLE, &v), S_OK);
    EXPECT_EQ(v, DWORD(D3DZB_TRUE));
    D3DCAPS9 caps{};
    ASSERT_EQ(m_device->GetDeviceCaps(&caps), S_OK);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_PUREDEVICE);
}

TEST_F(StateTest, FvfAndDeclarationRoundTrip) {
    D3DPRESENT_PARAMETERS pp = Params(32, 32);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    ASSERT_EQ(m_device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1), S_OK);
    IDirect3DVertexDeclaration9* saved = nullptr;
    ASSERT_EQ(m_device->GetVertexDeclaration(&saved), S_OK);
    ASSERT_NE(saved, nullptr);
    UINT count = 0;
    ASSERT_EQ(saved->GetDeclaration(nullptr, &count), S_OK);
    EXPECT_EQ(count, 4u);  // position, normal, texture coordinates, end

    ASSERT_EQ(m_device->SetFVF(kTLFvf), S_OK);
    ASSERT_EQ(m_device->SetVertexDeclaration(saved), S_OK);
    DWORD fvf = 0;
    m_device->GetFVF(&fvf);
    EXPECT_EQ(fvf, DWORD(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1));
    saved->Release();

    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT4, 0, D3DDECLUSAGE_POSITIONT, 0},
                                          {0, 16, D3DDECLTYPE_D3DCOLOR, 0, D3DDECLUSAGE_COLOR, 0},
                                          D3DDECL_END()};
    IDirect3DVertexDeclaration9* decl = nullptr;
    ASSERT_EQ(m_device->CreateVertexDeclaration(elements, &decl), S_OK);
    ASSERT_EQ(m_device->SetVertexDeclaration(decl), S_OK);
    m_device->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    struct V {
        float x, y, z, rhw;
        D3DCOLOR c;
    } quad[4] = {{-0.5f, -0.5f, 0, 1, 0xFF00FF00},
                 {9.5f, -0.5f, 0, 1, 0xFF00FF00},
                 {9.5f, 9.5f, 0, 1, 0xFF00FF00},
                 {-0.5f, 9.5f, 0, 1, 0xFF00FF00}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(V)), S_OK);
    EXPECT_EQ(Pixel(5, 5), 0xFF00FF00u);
    m_device->SetVertexDeclaration(nullptr);
    EXPECT_EQ(decl->Release(), 0u);
}

TEST_F(StateTest, IndexedDrawFromBuffers) {
    D3DPRESENT_PARAMETERS pp = Params(32, 32);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    m_device->SetFVF(kTLFvf);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(6 * sizeof(TLVertex), D3DUSAGE_WRITEONLY, kTLFvf, D3DPOOL_MANAGED,
                                           &vb, nullptr),
              S_OK);
    ASSERT_EQ(m_device->CreateIndexBuffer(6 * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), S_OK);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), S_OK);
    TLVertex* v = static_cast<TLVertex*>(data);
    v[0] = v[1] = {0, 0, 0, 1, 0xFFFF00FF, 0, 0};  // two unused vertices before the quad
    v[2] = {-0.5f, -0.5f, 0.5f, 1, 0xFFFF00FF, 0, 0};
    v[3] = {15.5f, -0.5f, 0.5f, 1, 0xFFFF00FF, 0, 0};
    v[4] = {15.5f, 15.5f, 0.5f, 1, 0xFFFF00FF, 0, 0};
    v[5] = {-0.5f, 15.5f, 0.5f, 1, 0xFFFF00FF, 0, 0};
    ASSERT_EQ(vb->Unlock(), S_OK);
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), S_OK);
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(data, indices, sizeof indices);
    ASSERT_EQ(ib->Unlock(), S_OK);
    m_device->SetStreamSource(0, vb, 0, sizeof(TLVertex));
    m_device->SetIndices(ib);
    ASSERT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 0, 4, 0, 2), S_OK);
    EXPECT_EQ(Pixel(8, 8), 0xFFFF00FFu);
    EXPECT_EQ(Pixel(20, 20), 0xFF000000u);
    // Indices beyond the stated vertex range are refused, not read.
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 0, 3, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 0, 4, 4, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 4, 1), D3DERR_INVALIDCALL);
    m_device->SetStreamSource(0, nullptr, 0, 0);
    m_device->SetIndices(nullptr);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
}

TEST_F(StateTest, InvalidCallsAreRefused) {
    D3DPRESENT_PARAMETERS pp = Params(32, 32);
    ASSERT_EQ(CreateDevice(pp), S_OK);
    IDirect3DTexture9* t = nullptr;
    EXPECT_EQ(m_device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(100000, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &t, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_D24S8, D3DPOOL_MANAGED, &t, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(4, 4, 9, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(m_device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTextureStageState(0, D3DTEXTURESTAGESTATETYPE(12), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetSamplerState(16, D3DSAMP_MINFILTER, D3DTEXF_POINT), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTexture(16, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderState(D3DRENDERSTATETYPE(1000), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->GetRenderState(D3DRS_LIGHTING, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->GetTransform(D3DTS_VIEW, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTransform(D3DTRANSFORMSTATETYPE(5), nullptr), D3DERR_INVALIDCALL);
    D3DLIGHT9 light{};
    EXPECT_EQ(m_device->SetLight(0, &light), D3DERR_INVALIDCALL);  // type 0
    EXPECT_EQ(m_device->GetLight(42, &light), D3DERR_INVALIDCALL);
    D3DVIEWPORT9 vp{16, 16, 32, 32, 0, 1};
    EXPECT_EQ(m_device->SetViewport(&vp), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 28), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateStateBlock(D3DSTATEBLOCKTYPE(9), nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->EndStateBlock(nullptr), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer9* vb = nullptr;
    EXPECT_EQ(m_device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3DERR_INVALIDCALL);
    IDirect3DIndexBuffer9* ib = nullptr;
    EXPECT_EQ(m_device->CreateIndexBuffer(64, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &ib, nullptr),
              D3DERR_INVALIDCALL);
    // Lock ranges beyond the buffer are refused.
    ASSERT_EQ(m_device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vb, nullptr), S_OK);
    void* data = nullptr;
    EXPECT_EQ(vb->Lock(32, 64, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Release(), 0u);

    // A depth-less device refuses to clear depth.
    D3DPRESENT_PARAMETERS flat = Params(16, 16);
    flat.EnableAutoDepthStencil = FALSE;
    ASSERT_EQ(m_device->Reset(&flat), S_OK);
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->GetRenderState(D3DRS_ZENABLE, reinterpret_cast<DWORD*>(&flat.Flags)), S_OK);
    EXPECT_EQ(flat.Flags, DWORD(D3DZB_FALSE));
}

}  // namespace
}  // namespace tumbral_test
