// The device's resources: creation with validation, render target and depth
// bindings, surface copies, colour fills and Clear.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "platform/d3d9/buffers.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/formats.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/texture.h"

namespace plat::d3d9 {

namespace {

constexpr UINT kMaxTextureSide = 8192;
constexpr UINT kMaxVolumeSide = 2048;
constexpr UINT kMaxBufferBytes = 256u * 1024u * 1024u;

bool ValidPool(D3DPOOL pool) { return pool >= D3DPOOL_DEFAULT && pool <= D3DPOOL_SCRATCH; }

// Usage bits a texture may carry; render targets need a renderable format and the default pool.
bool ValidTextureUsage(DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    const DWORD allowed = D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC | D3DUSAGE_AUTOGENMIPMAP;
    if (usage & ~allowed) return false;
    if ((usage & D3DUSAGE_RENDERTARGET) && (pool != D3DPOOL_DEFAULT || !IsRenderTargetFormat(format)))
        return false;
    if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return false;
    return true;
}

// Every resource lives in system memory here, so running out of it while
// making one is E_OUTOFMEMORY (the constructors release what they took).
template <class T, class Make>
HRESULT Construct(T** out, Make make) {
    try {
        *out = make();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

}  // namespace

// ---- Textures and buffers ---------------------------------------------------------

HRESULT Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format,
                              D3DPOOL Pool, IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) {
    if (!ppTexture || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (Width == 0 || Height == 0 || Width > kMaxTextureSide || Height > kMaxTextureSide ||
        !IsTextureFormat(Format) || !ValidPool(Pool) || !ValidTextureUsage(Usage, Format, Pool) ||
        Levels > FullMipCount(Width, Height))
        return D3DERR_INVALIDCALL;
    Texture2D* texture = nullptr;
    HRESULT hr =
        Construct(&texture, [&] { return new Texture2D(this, Width, Height, Levels, Usage, Format, Pool); });
    *ppTexture = texture;
    return hr;
}

HRESULT Device::CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) {
    if (!ppCubeTexture || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppCubeTexture = nullptr;
    if (EdgeLength == 0 || EdgeLength > kMaxTextureSide || !IsTextureFormat(Format) || !ValidPool(Pool) ||
        !ValidTextureUsage(Usage, Format, Pool) || Levels > FullMipCount(EdgeLength, EdgeLength))
        return D3DERR_INVALIDCALL;
    CubeTexture* texture = nullptr;
    HRESULT hr =
        Construct(&texture, [&] { return new CubeTexture(this, EdgeLength, Levels, Usage, Format, Pool); });
    *ppCubeTexture = texture;
    return hr;
}

HRESULT Device::CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage,
                                    D3DFORMAT Format, D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture,
                                    HANDLE* pSharedHandle) {
    if (!ppVolumeTexture || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppVolumeTexture = nullptr;
    if (Width == 0 || Height == 0 || Depth == 0 || Width > kMaxVolumeSide || Height > kMaxVolumeSide ||
        Depth > kMaxVolumeSide || uint64_t(Width) * Height * Depth > (uint64_t(1) << 26) ||
        !IsTextureFormat(Format) || !ValidPool(Pool) || (Usage & ~DWORD(D3DUSAGE_DYNAMIC)) ||
        Levels > FullMipCount(Width, Height, Depth))
        return D3DERR_INVALIDCALL;
    VolumeTexture* texture = nullptr;
    HRESULT hr = Construct(
        &texture, [&] { return new VolumeTexture(this, Width, Height, Depth, Levels, Usage, Format, Pool); });
    *ppVolumeTexture = texture;
    return hr;
}

HRESULT Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                   IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) {
    if (!ppVertexBuffer || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppVertexBuffer = nullptr;
    const DWORD allowed = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_DONOTCLIP | D3DUSAGE_POINTS |
                          D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_RTPATCHES | D3DUSAGE_NPATCHES;
    if (Length == 0 || Length > kMaxBufferBytes || (Usage & ~allowed) || !ValidPool(Pool) ||
        Pool == D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    if (FVF != 0 && (FvfVertexSize(FVF) == 0 || Length < FvfVertexSize(FVF))) return D3DERR_INVALIDCALL;
    VertexBuffer* buffer = nullptr;
    HRESULT hr = Construct(&buffer, [&] { return new VertexBuffer(this, Length, Usage, FVF, Pool); });
    *ppVertexBuffer = buffer;
    return hr;
}

HRESULT Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) {
    if (!ppIndexBuffer || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppIndexBuffer = nullptr;
    const DWORD allowed = D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_DONOTCLIP | D3DUSAGE_POINTS |
                          D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_RTPATCHES | D3DUSAGE_NPATCHES;
    if (Length == 0 || Length > kMaxBufferBytes || (Usage & ~allowed) || !ValidPool(Pool) ||
        Pool == D3DPOOL_SCRATCH || (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    IndexBuffer* buffer = nullptr;
    HRESULT hr = Construct(&buffer, [&] { return new IndexBuffer(this, Length, Usage, Format, Pool); });
    *ppIndexBuffer = buffer;
    return hr;
}

// ---- Surfaces -----------------------------------------------------------------------

HRESULT Device::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                   DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                                   HANDLE* pSharedHandle) {
    if (!ppSurface || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > kMaxTextureSide || Height > kMaxTextureSide ||
        !IsRenderTargetFormat(Format) || MultiSample != D3DMULTISAMPLE_NONE || MultisampleQuality != 0)
        return D3DERR_INVALIDCALL;
    Surface* s = nullptr;
    HRESULT hr = Construct(&s, [&] {
        return new Surface(this, nullptr, Width, Height, Format, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                           Lockable != 0);
    });
    *ppSurface = s;
    return hr;
}

HRESULT Device::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                          D3DMULTISAMPLE_TYPE MultiSample, DWORD MultisampleQuality, BOOL,
                                          IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
    if (!ppSurface || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > kMaxTextureSide || Height > kMaxTextureSide ||
        !IsDepthFormat(Format) || MultiSample != D3DMULTISAMPLE_NONE || MultisampleQuality != 0)
        return D3DERR_INVALIDCALL;
    Surface* s = nullptr;
    HRESULT hr = Construct(&s, [&] {
        return new Surface(this, nullptr, Width, Height, Format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT,
                           false);
    });
    *ppSurface = s;
    return hr;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                            IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
    if (!ppSurface || pSharedHandle) return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > kMaxTextureSide || Height > kMaxTextureSide ||
        !IsTextureFormat(Format) || !ValidPool(Pool) || Pool == D3DPOOL_MANAGED)
        return D3DERR_INVALIDCALL;
    Surface* s = nullptr;
    HRESULT hr =
        Construct(&s, [&] { return new Surface(this, nullptr, Width, Height, Format, 0, Pool, true); });
    *ppSurface = s;
    return hr;
}

namespace {

Surface* AsSurface(Device* device, IDirect3DSurface9* s) {
    auto* surface = dynamic_cast<Surface*>(s);
    return surface && surface->OwnerDevice() == device ? surface : nullptr;
}

bool RectInside(const RECT& r, UINT w, UINT h) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom && r.right <= LONG(w) &&
           r.bottom <= LONG(h);
}

// Copies a rectangle of A8R8G8B8 pixels, scaling by point sampling when the sizes differ.
void CopyRect(Surface* src, const RECT& sr, Surface* dst, const RECT& dr) {
    ImageLevel image = src->Image();
    LONG dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    LONG sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    std::vector<uint32_t> pixels(size_t(dw) * dh);
    for (LONG y = 0; y < dh; ++y) {
        LONG sy = sr.top + y * sh / dh;
        for (LONG x = 0; x < dw; ++x)
            pixels[size_t(y) * dw + x] = image.texels[sy * image.pitch + sr.left + x * sw / dw];
    }
    dst->WriteArgb(dr, pixels.data(), int(dw));
}

}  // namespace

HRESULT Device::UpdateSurface(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                              IDirect3DSurface9* pDestinationSurface, const POINT* pDestPoint) {
    FinishDrawing();  // the copy reads or writes pixels queued work may still change
    Surface* src = AsSurface(this, pSourceSurface);
    Surface* dst = AsSurface(this, pDestinationSurface);
    if (!src || !dst || src == dst || src->IsDepth() || dst->IsDepth()) return D3DERR_INVALIDCALL;
    if (src->Desc().Pool != D3DPOOL_SYSTEMMEM || dst->Desc().Pool != D3DPOOL_DEFAULT ||
        src->Desc().Format != dst->Desc().Format)
        return D3DERR_INVALIDCALL;
    RECT sr = pSourceRect ? *pSourceRect : RECT{0, 0, LONG(src->Desc().Width), LONG(src->Desc().Height)};
    POINT at = pDestPoint ? *pDestPoint : POINT{0, 0};
    RECT dr{at.x, at.y, at.x + (sr.right - sr.left), at.y + (sr.bottom - sr.top)};
    if (!RectInside(sr, src->Desc().Width, src->Desc().Height) ||
        !RectInside(dr, dst->Desc().Width, dst->Desc().Height))
        return D3DERR_INVALIDCALL;
    CopyRect(src, sr, dst, dr);
    return S_OK;
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture9* pSourceTexture,
                              IDirect3DBaseTexture9* pDestinationTexture) {
    FinishDrawing();  // the copy reads or writes pixels queued work may still change
    auto* src = dynamic_cast<Texture2D*>(pSourceTexture);
    auto* dst = dynamic_cast<Texture2D*>(pDestinationTexture);
    if (!src || !dst || !Owns(src) || !Owns(dst) || src == dst) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC sd, dd;
    src->GetLevelDesc(0, &sd);
    dst->GetLevelDesc(0, &dd);
    if (sd.Pool != D3DPOOL_SYSTEMMEM || dd.Pool != D3DPOOL_DEFAULT || sd.Format != dd.Format ||
        src->GetLevelCount() < dst->GetLevelCount())
        return D3DERR_INVALIDCALL;
    // Source levels are matched to destination levels by size.
    for (DWORD s = 0; s < src->GetLevelCount(); ++s) {
        D3DSURFACE_DESC l;
        src->GetLevelDesc(s, &l);
        if (l.Width != dd.Width || l.Height != dd.Height) continue;
        for (DWORD d = 0; d < dst->GetLevelCount() && s + d < src->GetLevelCount(); ++d) {
            Surface* from = src->Level(s + d);
            Surface* to = dst->Level(d);
            RECT r{0, 0, LONG(to->Desc().Width), LONG(to->Desc().Height)};
            CopyRect(from, r, to, r);
        }
        return S_OK;
    }
    return D3DERR_INVALIDCALL;
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface) {
    FinishDrawing();  // the copy reads or writes pixels queued work may still change
    Surface* src = AsSurface(this, pRenderTarget);
    Surface* dst = AsSurface(this, pDestSurface);
    if (!src || !dst || src->IsDepth() || dst->IsDepth() || !(src->Desc().Usage & D3DUSAGE_RENDERTARGET) ||
        dst->Desc().Pool != D3DPOOL_SYSTEMMEM || src->Desc().Width != dst->Desc().Width ||
        src->Desc().Height != dst->Desc().Height || src->Desc().Format != dst->Desc().Format)
        return D3DERR_INVALIDCALL;
    RECT r{0, 0, LONG(src->Desc().Width), LONG(src->Desc().Height)};
    CopyRect(src, r, dst, r);
    return S_OK;
}

HRESULT Device::StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                            IDirect3DSurface9* pDestSurface, const RECT* pDestRect,
                            D3DTEXTUREFILTERTYPE Filter) {
    FinishDrawing();  // the copy reads or writes pixels queued work may still change
    Surface* src = AsSurface(this, pSourceSurface);
    Surface* dst = AsSurface(this, pDestSurface);
    if (!src || !dst || src->IsDepth() || dst->IsDepth() || src->IsLocked() || dst->IsLocked())
        return D3DERR_INVALIDCALL;
    if (Filter != D3DTEXF_NONE && Filter != D3DTEXF_POINT && Filter != D3DTEXF_LINEAR)
        return D3DERR_INVALIDCALL;
    if (src->Desc().Pool != D3DPOOL_DEFAULT || dst->Desc().Pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
    RECT sr = pSourceRect ? *pSourceRect : RECT{0, 0, LONG(src->Desc().Width), LONG(src->Desc().Height)};
    RECT dr = pDestRect ? *pDestRect : RECT{0, 0, LONG(dst->Desc().Width), LONG(dst->Desc().Height)};
    if (!RectInside(sr, src->Desc().Width, src->Desc().Height) ||
        !RectInside(dr, dst->Desc().Width, dst->Desc().Height))
        return D3DERR_INVALIDCALL;
    CopyRect(src, sr, dst, dr);
    return S_OK;
}

HRESULT Device::ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color) {
    FinishDrawing();  // the copy reads or writes pixels queued work may still change
    Surface* s = AsSurface(this, pSurface);
    if (!s || s->IsDepth() || s->Desc().Pool != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
    RECT r = pRect ? *pRect : RECT{0, 0, LONG(s->Desc().Width), LONG(s->Desc().Height)};
    if (!RectInside(r, s->Desc().Width, s->Desc().Height)) return D3DERR_INVALIDCALL;
    s->Fill(r, color);
    return S_OK;
}

// ---- Render target and depth bindings --------------------------------------------------

void Device::SetRenderTargetInternal(Surface* surface) {
    if (surface == m_renderTarget) return;
    if (surface) surface->AddInternalRef();
    if (m_renderTarget) m_renderTarget->ReleaseInternal();
    m_renderTarget = surface;
    m_pixelDirty = true;
}

void Device::SetDepthInternal(Surface* surface) {
    if (surface == m_depthStencil) return;
    if (surface) surface->AddInternalRef();
    if (m_depthStencil) m_depthStencil->ReleaseInternal();
    m_depthStencil = surface;
    m_pixelDirty = true;
}

void Device::FullViewport() {
    const D3DSURFACE_DESC& d = m_renderTarget->Desc();
    m_state.viewport = D3DVIEWPORT9{0, 0, d.Width, d.Height, 0.0f, 1.0f};
    m_state.scissor = RECT{0, 0, LONG(d.Width), LONG(d.Height)};
    m_vertexDirty = m_pixelDirty = true;
}

HRESULT Device::SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) {
    Surface* s = AsSurface(this, pRenderTarget);
    if (RenderTargetIndex != 0 || !s || !(s->Desc().Usage & D3DUSAGE_RENDERTARGET)) return D3DERR_INVALIDCALL;
    SetRenderTargetInternal(s);
    FullViewport();
    return S_OK;
}

HRESULT Device::GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) {
    if (RenderTargetIndex != 0 || !ppRenderTarget) return D3DERR_INVALIDCALL;
    *ppRenderTarget = m_renderTarget;
    if (!m_renderTarget) return D3DERR_NOTFOUND;
    m_renderTarget->AddRef();
    return S_OK;
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) {
    Surface* s = pNewZStencil ? AsSurface(this, pNewZStencil) : nullptr;
    if (pNewZStencil && (!s || !s->IsDepth())) return D3DERR_INVALIDCALL;
    SetDepthInternal(s);
    return S_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) {
    if (!ppZStencilSurface) return D3DERR_INVALIDCALL;
    *ppZStencilSurface = m_depthStencil;
    if (!m_depthStencil) return D3DERR_NOTFOUND;
    m_depthStencil->AddRef();
    return S_OK;
}

// ---- Clear ------------------------------------------------------------------------------

// Clears the given rectangles (or the whole viewport), always limited to the viewport.
HRESULT Device::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD) {
    if ((Count > 0 && !pRects) || !(Flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) ||
        (Flags & ~DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if ((Flags & D3DCLEAR_ZBUFFER) && !m_depthStencil) return D3DERR_INVALIDCALL;
    if ((Flags & D3DCLEAR_STENCIL) && (!m_depthStencil || StencilBits(m_depthStencil->Desc().Format) == 0))
        return D3DERR_INVALIDCALL;
    if ((Flags & D3DCLEAR_ZBUFFER) && !(Z >= 0.0f && Z <= 1.0f)) return D3DERR_INVALIDCALL;
    if (!m_renderTarget) return D3DERR_INVALIDCALL;
    const D3DVIEWPORT9& v = m_state.viewport;
    RECT viewport{LONG(v.X), LONG(v.Y), LONG(v.X + v.Width), LONG(v.Y + v.Height)};
    auto clearRect = [&](RECT r) {
        r.left = std::max(r.left, viewport.left);
        r.top = std::max(r.top, viewport.top);
        r.right = std::min(r.right, viewport.right);
        r.bottom = std::min(r.bottom, viewport.bottom);
        if (r.left >= r.right || r.top >= r.bottom) return;
        bool color = (Flags & D3DCLEAR_TARGET) != 0, depth = (Flags & D3DCLEAR_ZBUFFER) != 0;
        if (color && !m_renderTarget->FillsInPlace()) {
            // A stored copy in another format is updated by the surface itself.
            FinishDrawing();
            m_renderTarget->Fill(r, Color);
            color = false;
        }
        ColorTarget ct = m_renderTarget->AsColorTarget();
        DepthTarget dt = depth ? m_depthStencil->AsDepthTarget() : DepthTarget{};
        auto within = [&](int width, int height) {
            return RECT{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width),
                        std::min<LONG>(r.bottom, height)};
        };
        RECT cr = within(ct.width, ct.height), dr = within(dt.width, dt.height);
        if (color && depth && std::memcmp(&cr, &dr, sizeof cr) == 0) {
            m_queue.Clear(&ct, Color, &dt, Z, cr);
        } else {
            if (color) m_queue.Clear(&ct, Color, nullptr, Z, cr);
            if (depth) m_queue.Clear(nullptr, Color, &dt, Z, dr);
        }
    };
    if (Count == 0) {
        clearRect(viewport);
    } else {
        for (DWORD i = 0; i < Count; ++i)
            clearRect(RECT{pRects[i].x1, pRects[i].y1, pRects[i].x2, pRects[i].y2});
    }
    return S_OK;
}

}  // namespace plat::d3d9
