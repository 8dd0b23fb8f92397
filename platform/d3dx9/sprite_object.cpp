// ID3DXSprite: batches textured quads in screen pixels and draws them as
// pre-transformed triangles (XYZRHW | DIFFUSE | TEX1) through DrawPrimitiveUP.
// Positions are shifted by -0.5 so that texel centres land on pixel centres;
// quads drawn at their texel size sample by point, scaled ones linearly.
// The queue grows with the quads drawn; when memory runs out the quad (or
// the batch) is refused with E_OUTOFMEMORY and the sprite stays usable.
#include <algorithm>
#include <new>
#include <vector>

#include "platform/d3dx9/device_child.h"
#include "platform/d3dx9core.h"

namespace plat {
namespace {

constexpr DWORD kSpriteFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct SpriteVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
static_assert(sizeof(SpriteVertex) == 28);

struct SpriteQuad {
    SpriteQuad() {}  // every field is set by Draw: no zeroing first

    IDirect3DTexture9* texture;  // one reference held while queued
    bool scaled;                 // not drawn at one texel per pixel: sample linearly
    float depth;                 // for depth sorting
    SpriteVertex corners[4];     // top-left, top-right, bottom-right, bottom-left
};

class Sprite final : public DeviceChild<ID3DXSprite> {
  public:
    explicit Sprite(IDirect3DDevice9* device) : DeviceChild(device) { D3DXMatrixIdentity(&m_transform); }

    HRESULT GetTransform(D3DXMATRIX* pTransform) override {
        if (!pTransform) return D3DERR_INVALIDCALL;
        *pTransform = m_transform;
        return S_OK;
    }
    HRESULT SetTransform(const D3DXMATRIX* pTransform) override {
        if (!pTransform) return D3DERR_INVALIDCALL;
        m_transform = *pTransform;
        return S_OK;
    }

    HRESULT Begin(DWORD Flags) override;
    HRESULT Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect, const D3DXVECTOR3* pCenter,
                 const D3DXVECTOR3* pPosition, D3DCOLOR Color) override;
    HRESULT Flush() override;
    HRESULT End() override;

    HRESULT OnLostDevice() override {
        // Queued quads and an open batch do not outlive the device's state.
        DropQueued();
        m_begun = false;
        if (m_saved) {
            m_saved->Release();
            m_saved = nullptr;
        }
        return S_OK;
    }
    HRESULT OnResetDevice() override { return S_OK; }  // the state block is made again at the next Begin

  private:
    ~Sprite() override {
        DropQueued();
        if (m_saved) m_saved->Release();
    }
    void SetRenderStates();
    void FlushRuns(bool ownStates, HRESULT* result);
    void DropQueued() {
        for (SpriteQuad& quad : m_quads) quad.texture->Release();
        m_quads.clear();
    }

    D3DXMATRIX m_transform;
    bool m_begun = false;
    DWORD m_flags = 0;
    IDirect3DStateBlock9* m_saved = nullptr;  // device state from before Begin
    std::vector<SpriteQuad> m_quads;
    std::vector<SpriteVertex> m_corners;  // scratch for Flush: four corners per quad
    std::vector<WORD> m_indices;          // and the two triangles of each
};

HRESULT Sprite::Begin(DWORD Flags) {
    if (m_begun) return D3DERR_INVALIDCALL;
    if (!(Flags & D3DXSPRITE_DONOTSAVESTATE)) {
        const HRESULT hr = m_saved ? m_saved->Capture() : m_device->CreateStateBlock(D3DSBT_ALL, &m_saved);
        if (FAILED(hr)) return hr;
    }
    m_flags = Flags;
    m_begun = true;
    if (!(Flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE)) SetRenderStates();
    return S_OK;
}

void Sprite::SetRenderStates() {
    IDirect3DDevice9* d = m_device;
    d->SetVertexShader(nullptr);
    d->SetPixelShader(nullptr);
    d->SetFVF(kSpriteFVF);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, (m_flags & D3DXSPRITE_ALPHABLEND) ? TRUE : FALSE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    d->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
    // Blending skips fully transparent texels: same picture, no blend work for glyph backgrounds.
    d->SetRenderState(D3DRS_ALPHATESTENABLE, (m_flags & D3DXSPRITE_ALPHABLEND) ? TRUE : FALSE);
    d->SetRenderState(D3DRS_ALPHAREF, 0);
    d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    d->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_FOGENABLE, FALSE);
    d->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    d->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    d->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    d->SetRenderState(D3DRS_CLIPPING, TRUE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    d->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    d->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    d->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
}

HRESULT Sprite::Draw(IDirect3DTexture9* pTexture, const RECT* pSrcRect, const D3DXVECTOR3* pCenter,
                     const D3DXVECTOR3* pPosition, D3DCOLOR Color) {
    if (!m_begun || !pTexture) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    HRESULT hr = pTexture->GetLevelDesc(0, &desc);
    if (FAILED(hr)) return hr;
    if (desc.Width == 0 || desc.Height == 0) return D3DERR_INVALIDCALL;
    const RECT src =
        pSrcRect ? *pSrcRect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    const float cx = pCenter ? pCenter->x : 0.f, cy = pCenter ? pCenter->y : 0.f,
                cz = pCenter ? pCenter->z : 0.f;
    const float px = pPosition ? pPosition->x : 0.f, py = pPosition ? pPosition->y : 0.f;
    const float pz = pPosition ? pPosition->z : 0.f;
    const float w = static_cast<float>(src.right - src.left), h = static_cast<float>(src.bottom - src.top);
    const float invW = 1.f / static_cast<float>(desc.Width), invH = 1.f / static_cast<float>(desc.Height);
    const D3DXMATRIX& m = m_transform;

    // Built in place: a quad built aside and copied in was read back in wider pieces than it was
    // written, which stalls the stores.
    try {
        m_quads.emplace_back();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    SpriteQuad& quad = m_quads.back();
    quad.texture = pTexture;
    quad.scaled = m._11 != 1.f || m._22 != 1.f || m._12 != 0.f || m._21 != 0.f;
    const float localX[4] = {0, w, w, 0}, localY[4] = {0, 0, h, h};
    for (int i = 0; i < 4; ++i) {
        const float x = localX[i] - cx + px, y = localY[i] - cy + py, z = pz - cz;
        SpriteVertex& v = quad.corners[i];
        v.x = x * m._11 + y * m._21 + z * m._31 + m._41 - 0.5f;
        v.y = x * m._12 + y * m._22 + z * m._32 + m._42 - 0.5f;
        v.z = x * m._13 + y * m._23 + z * m._33 + m._43;
        v.rhw = 1.f;
        v.color = Color;
        v.u = (static_cast<float>(src.left) + localX[i]) * invW;
        v.v = (static_cast<float>(src.top) + localY[i]) * invH;
    }
    quad.depth = quad.corners[0].z;
    pTexture->AddRef();  // only once the quad is queued, so a refused quad holds nothing
    return S_OK;
}

HRESULT Sprite::Flush() {
    if (!m_begun) return D3DERR_INVALIDCALL;
    if (m_quads.empty()) return S_OK;
    if (m_flags & D3DXSPRITE_SORT_DEPTH_FRONTTOBACK)
        std::stable_sort(m_quads.begin(), m_quads.end(),
                         [](const SpriteQuad& a, const SpriteQuad& b) { return a.depth < b.depth; });
    else if (m_flags & D3DXSPRITE_SORT_DEPTH_BACKTOFRONT)
        std::stable_sort(m_quads.begin(), m_quads.end(),
                         [](const SpriteQuad& a, const SpriteQuad& b) { return a.depth > b.depth; });
    else if (m_flags & D3DXSPRITE_SORT_TEXTURE)
        std::stable_sort(m_quads.begin(), m_quads.end(),
                         [](const SpriteQuad& a, const SpriteQuad& b) { return a.texture < b.texture; });

    const bool ownStates = !(m_flags & D3DXSPRITE_DONOTMODIFY_RENDERSTATE);
    if (ownStates) m_device->SetFVF(kSpriteFVF);
    HRESULT result = S_OK;
    try {
        FlushRuns(ownStates, &result);
    } catch (const std::bad_alloc&) {
        result = E_OUTOFMEMORY;
    }
    DropQueued();
    return result;
}

// Draws the queued quads, a run of one texture and one filter per draw: four corners per quad and
// six 16-bit indices, so each corner is transformed once.
void Sprite::FlushRuns(bool ownStates, HRESULT* result) {
    constexpr size_t kMaxQuadsPerDraw = 65536 / 4;  // corners a 16-bit index reaches
    size_t first = 0;
    while (first < m_quads.size()) {
        // A run of quads with one texture and one filter is one draw.
        size_t last = first + 1;
        while (last < m_quads.size() && last - first < kMaxQuadsPerDraw &&
               m_quads[last].texture == m_quads[first].texture &&
               m_quads[last].scaled == m_quads[first].scaled)
            ++last;
        m_corners.clear();
        m_indices.clear();
        for (size_t q = first; q < last; ++q) {
            const SpriteVertex* c = m_quads[q].corners;
            const WORD at = static_cast<WORD>(m_corners.size());
            m_corners.insert(m_corners.end(), c, c + 4);
            m_indices.insert(m_indices.end(),
                             {at, WORD(at + 1), WORD(at + 2), at, WORD(at + 2), WORD(at + 3)});
        }
        m_device->SetTexture(0, m_quads[first].texture);
        if (ownStates) {
            const DWORD filter = m_quads[first].scaled ? D3DTEXF_LINEAR : D3DTEXF_POINT;
            m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
            m_device->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        }
        const HRESULT hr = m_device->DrawIndexedPrimitiveUP(
            D3DPT_TRIANGLELIST, 0, static_cast<UINT>(m_corners.size()), static_cast<UINT>((last - first) * 2),
            m_indices.data(), D3DFMT_INDEX16, m_corners.data(), sizeof(SpriteVertex));
        if (FAILED(hr) && SUCCEEDED(*result)) *result = hr;
        first = last;
    }
}

HRESULT Sprite::End() {
    if (!m_begun) return D3DERR_INVALIDCALL;
    const HRESULT hr = Flush();
    m_begun = false;
    if (!(m_flags & D3DXSPRITE_DONOTSAVESTATE) && m_saved) m_saved->Apply();
    return hr;
}

}  // namespace
}  // namespace plat

HRESULT D3DXCreateSprite(IDirect3DDevice9* pDevice, ID3DXSprite** ppSprite) {
    if (!pDevice || !ppSprite) return D3DERR_INVALIDCALL;
    *ppSprite = new (std::nothrow) plat::Sprite(pDevice);
    return *ppSprite ? S_OK : E_OUTOFMEMORY;
}
