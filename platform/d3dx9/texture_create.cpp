// Texture creation from decoded images. Levels are made on the CPU as ARGB
// (the top level read through from the image, each further level
// box-filtered from the one above; see texture_levels.h) and encoded into the
// texture's format as they are made. Textures in the default pool that cannot
// be locked are filled through a system-memory copy and UpdateTexture.
#include "platform/d3dx9/texture_create.h"

#include <cstring>
#include <vector>

#include "platform/d3dx9/pixel_format.h"
#include "platform/d3dx9/texture_levels.h"

namespace plat {
namespace {

UINT NextPowerOfTwo(UINT v) {
    UINT p = 1;
    while (p < v && p < 0x80000000u) p <<= 1;
    return p;
}

UINT ResolveDimension(UINT requested, UINT fromFile) {
    if (requested == 0 || requested == D3DX_DEFAULT) return NextPowerOfTwo(fromFile);
    if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) return fromFile;
    return requested;
}

UINT FullChain(Extent e) {
    UINT n = 1;
    while (e.w > 1 || e.h > 1 || e.d > 1) {
        e = HalfExtent(e);
        ++n;
    }
    return n;
}

UINT ResolveLevels(UINT requested, UINT fromFile, Extent top) {
    const UINT chain = FullChain(top);
    UINT n = requested;
    if (requested == 0 || requested == D3DX_DEFAULT)
        n = chain;
    else if (requested == D3DX_FROM_FILE)
        n = fromFile;
    return n < chain ? (n ? n : 1) : chain;
}

D3DFORMAT ResolveFormat(D3DFORMAT requested, const Image& image, D3DCOLOR colorKey) {
    const bool alpha = image.hasAlpha || colorKey != 0;
    if (requested == D3DFMT_UNKNOWN || requested == D3DFMT_FROM_FILE || TexelSize(requested) == 0)
        return alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    return requested;
}

DWORD ResolveFilter(DWORD f) { return f == D3DX_DEFAULT ? D3DX_FILTER_BOX : f; }

Extent LevelExtent(Extent top, UINT level) {
    for (UINT l = 0; l < level; ++l) top = HalfExtent(top);
    return top;
}

HRESULT WriteRect(const D3DLOCKED_RECT& lr, RowReader& rows, Extent e, D3DFORMAT format) {
    if (!lr.pBits) return D3DERR_INVALIDCALL;
    auto* row = static_cast<uint8_t*>(lr.pBits);
    for (UINT y = 0; y < e.h; ++y, row += lr.Pitch) EncodeTexels(rows.Row(0, y), e.w, format, row);
    return S_OK;
}

// Where the levels come from, and how: the image, one face of it, the
// texture's top extent, level count and format, and the filters.
struct LevelSource {
    const Image& image;
    const TextureRequest& req;
    Extent top;
    UINT levels;
    D3DFORMAT format;
};

// Fills every level of a 2D texture (or one cube face) through the lock
// function given, each level made while it is locked.
template <typename LockFn, typename UnlockFn>
HRESULT FillLevels(const LevelSource& src, UINT face, LockFn lock, UnlockFn unlock) {
    TopLevelRows top(src.image, face, src.req.colorKey, src.top, ResolveFilter(src.req.filter));
    LevelChain chain(top, src.top, ResolveFilter(src.req.mipFilter));
    for (UINT l = 0; l < src.levels; ++l) {
        D3DLOCKED_RECT lr{};
        HRESULT hr = lock(l, &lr);
        if (FAILED(hr)) return hr;
        hr = WriteRect(lr, chain.Level(l), LevelExtent(src.top, l), src.format);
        const HRESULT hrUnlock = unlock(l);
        if (FAILED(hr)) return hr;
        if (FAILED(hrUnlock)) return hrUnlock;
    }
    return S_OK;
}

HRESULT Fill2D(IDirect3DTexture9* tex, const LevelSource& src) {
    return FillLevels(
        src, 0, [&](UINT l, D3DLOCKED_RECT* lr) { return tex->LockRect(l, lr, nullptr, 0); },
        [&](UINT l) { return tex->UnlockRect(l); });
}

HRESULT FillCube(IDirect3DCubeTexture9* tex, const LevelSource& src) {
    for (UINT f = 0; f < 6; ++f) {
        const auto face = static_cast<D3DCUBEMAP_FACES>(f);
        const HRESULT hr = FillLevels(
            src, f, [&](UINT l, D3DLOCKED_RECT* lr) { return tex->LockRect(face, l, lr, nullptr, 0); },
            [&](UINT l) { return tex->UnlockRect(face, l); });
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT FillVolume(IDirect3DVolumeTexture9* tex, const LevelSource& src) {
    TopLevelRows top(src.image, 0, src.req.colorKey, src.top, ResolveFilter(src.req.filter));
    LevelChain chain(top, src.top, ResolveFilter(src.req.mipFilter));
    for (UINT l = 0; l < src.levels; ++l) {
        const Extent e = LevelExtent(src.top, l);
        D3DLOCKED_BOX lb{};
        HRESULT hr = tex->LockBox(l, &lb, nullptr, 0);
        if (FAILED(hr)) return hr;
        if (!lb.pBits) hr = D3DERR_INVALIDCALL;
        RowReader& rows = chain.Level(l);
        for (UINT z = 0; SUCCEEDED(hr) && z < e.d; ++z) {
            auto* row = static_cast<uint8_t*>(lb.pBits) + size_t(z) * lb.SlicePitch;
            for (UINT y = 0; y < e.h; ++y, row += lb.RowPitch)
                EncodeTexels(rows.Row(z, y), e.w, src.format, row);
        }
        const HRESULT hrUnlock = tex->UnlockBox(l);
        if (FAILED(hr)) return hr;
        if (FAILED(hrUnlock)) return hrUnlock;
    }
    return S_OK;
}

// Creates a texture of some kind and fills it; when the texture cannot be
// locked in the default pool, fills a system-memory twin and copies it over.
template <typename Tex, typename CreateFn, typename FillFn>
HRESULT CreateAndFill(IDirect3DDevice9* device, D3DPOOL pool, CreateFn create, FillFn fill, Tex** ppOut) {
    Tex* tex = nullptr;
    HRESULT hr = create(pool, &tex);
    if (FAILED(hr)) return hr;
    hr = fill(tex);
    if (FAILED(hr) && pool == D3DPOOL_DEFAULT) {
        Tex* staging = nullptr;
        hr = create(D3DPOOL_SYSTEMMEM, &staging);
        if (SUCCEEDED(hr)) hr = fill(staging);
        if (SUCCEEDED(hr)) hr = device->UpdateTexture(staging, tex);
        if (staging) staging->Release();
    }
    if (FAILED(hr)) {
        tex->Release();
        return hr;
    }
    *ppOut = tex;
    return S_OK;
}

}  // namespace

HRESULT CreateTextureFromImage(IDirect3DDevice9* device, const Image& image, const TextureRequest& req,
                               IDirect3DTexture9** ppTexture) {
    if (image.faces != 1 || image.info.Depth != 1) return D3DXERR_INVALIDDATA;  // cube maps and volumes
    const Extent src{image.info.Width, image.info.Height, 1};
    const Extent top{ResolveDimension(req.width, src.w), ResolveDimension(req.height, src.h), 1};
    if (top.w == 0 || top.h == 0 || top.w > kMaxImageDimension || top.h > kMaxImageDimension)
        return D3DERR_INVALIDCALL;
    const UINT levels = ResolveLevels(req.mipLevels, image.info.MipLevels, top);
    const D3DFORMAT format = ResolveFormat(req.format, image, req.colorKey);
    const LevelSource levelSource{image, req, top, levels, format};
    return CreateAndFill<IDirect3DTexture9>(
        device, req.pool,
        [&](D3DPOOL pool, IDirect3DTexture9** t) {
            return device->CreateTexture(top.w, top.h, levels, req.usage, format, pool, t, nullptr);
        },
        [&](IDirect3DTexture9* t) { return Fill2D(t, levelSource); }, ppTexture);
}

HRESULT CreateCubeTextureFromImage(IDirect3DDevice9* device, const Image& image, const TextureRequest& req,
                                   IDirect3DCubeTexture9** ppTexture) {
    if (image.faces != 6) return D3DXERR_INVALIDDATA;
    const UINT edge = image.info.Width;
    const UINT size = ResolveDimension(req.width, edge);
    if (size == 0 || size > kMaxImageDimension) return D3DERR_INVALIDCALL;
    const Extent top{size, size, 1};
    const UINT levels = ResolveLevels(req.mipLevels, image.info.MipLevels, top);
    const D3DFORMAT format = ResolveFormat(req.format, image, req.colorKey);
    const LevelSource levelSource{image, req, top, levels, format};
    return CreateAndFill<IDirect3DCubeTexture9>(
        device, req.pool,
        [&](D3DPOOL pool, IDirect3DCubeTexture9** t) {
            return device->CreateCubeTexture(size, levels, req.usage, format, pool, t, nullptr);
        },
        [&](IDirect3DCubeTexture9* t) { return FillCube(t, levelSource); }, ppTexture);
}

HRESULT CreateVolumeTextureFromImage(IDirect3DDevice9* device, const Image& image, const TextureRequest& req,
                                     IDirect3DVolumeTexture9** ppTexture) {
    if (image.faces != 1) return D3DXERR_INVALIDDATA;
    const Extent src{image.info.Width, image.info.Height, image.info.Depth};
    const Extent top{ResolveDimension(req.width, src.w), ResolveDimension(req.height, src.h),
                     ResolveDimension(req.depth, src.d)};
    if (top.w == 0 || top.h == 0 || top.d == 0 || top.w > kMaxImageDimension || top.h > kMaxImageDimension ||
        top.d > kMaxImageDimension || uint64_t(top.w) * top.h * top.d > (uint64_t(1) << 28))
        return D3DERR_INVALIDCALL;
    const UINT levels = ResolveLevels(req.mipLevels, image.info.MipLevels, top);
    const D3DFORMAT format = ResolveFormat(req.format, image, req.colorKey);
    const LevelSource levelSource{image, req, top, levels, format};
    return CreateAndFill<IDirect3DVolumeTexture9>(
        device, req.pool,
        [&](D3DPOOL pool, IDirect3DVolumeTexture9** t) {
            return device->CreateVolumeTexture(top.w, top.h, top.d, levels, req.usage, format, pool, t,
                                               nullptr);
        },
        [&](IDirect3DVolumeTexture9* t) { return FillVolume(t, levelSource); }, ppTexture);
}

}  // namespace plat
