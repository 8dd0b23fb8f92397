// The D3DX texture entry points: files (wide and narrow names), memory and
// built-in resources, for 2D, cube and volume textures, and image
// information. Each reads the bytes, decodes them and hands over to the
// creation code.
#include <new>
#include <vector>

#include "platform/d3dx9/file_bytes.h"
#include "platform/d3dx9/image.h"
#include "platform/win32/kernel_resources.h"
#include "platform/d3dx9/texture_create.h"
#include "platform/d3dx9tex.h"

namespace {

using plat::TextureRequest;

// Where the bytes come from, and whether they could be had.
struct Source {
    HRESULT hr = S_OK;
    const uint8_t* data = nullptr;
    size_t size = 0;
    std::vector<uint8_t> storage;  // for files
};

template <typename Char>
Source FromFile(const Char* path) {
    Source s;
    s.hr = plat::ReadFileBytes(path, &s.storage);
    s.data = s.storage.data();
    s.size = s.storage.size();
    return s;
}

Source FromMemory(LPCVOID data, UINT size) {
    Source s;
    if (!data || size == 0) {
        s.hr = E_INVALIDARG;
        return s;
    }
    s.data = static_cast<const uint8_t*>(data);
    s.size = size;
    return s;
}

Source FromResource(LPCWSTR name) {
    Source s;
    if (!name) {
        s.hr = E_INVALIDARG;
        return s;
    }
    const void* bytes = nullptr;
    if (!plat::FindBuiltinResource(name, &bytes, &s.size)) {
        s.hr = plat::FileNotFoundResult();
        return s;
    }
    s.data = static_cast<const uint8_t*>(bytes);
    return s;
}

TextureRequest Request(UINT w, UINT h, UINT d, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                       DWORD filter, DWORD mipFilter, D3DCOLOR key) {
    TextureRequest r;
    r.width = w;
    r.height = h;
    r.depth = d;
    r.mipLevels = levels;
    r.usage = usage;
    r.format = format;
    r.pool = pool;
    r.filter = filter;
    r.mipFilter = mipFilter;
    r.colorKey = key;
    return r;
}

// The creation step of each kind.
HRESULT CreateFromImage(IDirect3DDevice9* device, plat::Image& image, const TextureRequest& req,
                        IDirect3DTexture9** out) {
    return plat::CreateTextureFromImage(device, image, req, out);
}

HRESULT CreateFromImage(IDirect3DDevice9* device, plat::Image& image, const TextureRequest& req,
                        IDirect3DCubeTexture9** out) {
    return plat::CreateCubeTextureFromImage(device, image, req, out);
}

HRESULT CreateFromImage(IDirect3DDevice9* device, plat::Image& image, const TextureRequest& req,
                        IDirect3DVolumeTexture9** out) {
    return plat::CreateVolumeTextureFromImage(device, image, req, out);
}

// The three kinds share the whole path from bytes to texture.
// Decoding and level building allocate in proportion to the image; running
// out of memory there is E_OUTOFMEMORY, not an exception through the caller.
template <typename Tex>
HRESULT Load(IDirect3DDevice9* device, const Source& src, const TextureRequest& req, D3DXIMAGE_INFO* pInfo,
             Tex** ppOut) {
    if (ppOut) *ppOut = nullptr;
    if (!device || !ppOut) return E_INVALIDARG;
    if (FAILED(src.hr)) return src.hr;
    try {
        plat::Image image;
        HRESULT hr = plat::DecodeImage(src.data, src.size, false, &image);
        if (FAILED(hr)) return hr;
        const D3DXIMAGE_INFO info = image.info;
        hr = CreateFromImage(device, image, req, ppOut);
        if (SUCCEEDED(hr) && pInfo) *pInfo = info;
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT Info(const Source& src, D3DXIMAGE_INFO* pInfo) {
    if (!pInfo) return E_INVALIDARG;
    if (FAILED(src.hr)) return src.hr;
    try {
        plat::Image image;
        const HRESULT hr = plat::DecodeImage(src.data, src.size, true, &image);
        if (SUCCEEDED(hr)) *pInfo = image.info;
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

const TextureRequest kDefaults;

}  // namespace

// ---------------------------------------------------------------------------
// Image information.

HRESULT D3DXGetImageInfoFromFileW(LPCWSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
    return Info(FromFile(pSrcFile), pSrcInfo);
}

HRESULT D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
    return Info(FromFile(pSrcFile), pSrcInfo);
}

HRESULT D3DXGetImageInfoFromFileInMemory(LPCVOID pSrcData, UINT SrcDataSize, D3DXIMAGE_INFO* pSrcInfo) {
    return Info(FromMemory(pSrcData, SrcDataSize), pSrcInfo);
}

HRESULT D3DXGetImageInfoFromResourceW(HMODULE, LPCWSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo) {
    return Info(FromResource(pSrcResource), pSrcInfo);
}

// ---------------------------------------------------------------------------
// 2D textures.

HRESULT D3DXCreateTexture(IDirect3DDevice9* pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                          D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture) {
    if (ppTexture) *ppTexture = nullptr;
    if (!pDevice || !ppTexture) return E_INVALIDARG;
    const UINT w = (Width == 0 || Width >= D3DX_FROM_FILE) ? 256 : Width;
    const UINT h = (Height == 0 || Height >= D3DX_FROM_FILE) ? 256 : Height;
    if (Format == D3DFMT_UNKNOWN || Format == D3DFMT_FROM_FILE) Format = D3DFMT_A8R8G8B8;
    if (MipLevels == D3DX_DEFAULT) MipLevels = 0;  // the device builds the full chain for 0
    return pDevice->CreateTexture(w, h, MipLevels, Usage, Format, Pool, ppTexture, nullptr);
}

HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                   IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromFile(pSrcFile), kDefaults, nullptr, ppTexture);
}

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* pDevice, LPCSTR pSrcFile,
                                   IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromFile(pSrcFile), kDefaults, nullptr, ppTexture);
}

HRESULT D3DXCreateTextureFromFileExW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                     DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                     D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*, IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromFile(pSrcFile),
                Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppTexture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                     DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                     D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*, IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromFile(pSrcFile),
                Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppTexture);
}

HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                          IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromMemory(pSrcData, SrcDataSize), kDefaults, nullptr, ppTexture);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                            UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                            D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                            IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromMemory(pSrcData, SrcDataSize),
                Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppTexture);
}

HRESULT D3DXCreateTextureFromResourceW(IDirect3DDevice9* pDevice, HMODULE, LPCWSTR pSrcResource,
                                       IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromResource(pSrcResource), kDefaults, nullptr, ppTexture);
}

HRESULT D3DXCreateTextureFromResourceExW(IDirect3DDevice9* pDevice, HMODULE, LPCWSTR pSrcResource, UINT Width,
                                         UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                         D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                         D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                         IDirect3DTexture9** ppTexture) {
    return Load(pDevice, FromResource(pSrcResource),
                Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppTexture);
}

// ---------------------------------------------------------------------------
// Cube textures.

HRESULT D3DXCreateCubeTextureFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                       IDirect3DCubeTexture9** ppCubeTexture) {
    return Load(pDevice, FromFile(pSrcFile), kDefaults, nullptr, ppCubeTexture);
}

HRESULT D3DXCreateCubeTextureFromFileExW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Size,
                                         UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                         DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                         D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                         IDirect3DCubeTexture9** ppCubeTexture) {
    return Load(pDevice, FromFile(pSrcFile),
                Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey), pSrcInfo,
                ppCubeTexture);
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                UINT Size, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                                IDirect3DCubeTexture9** ppCubeTexture) {
    return Load(pDevice, FromMemory(pSrcData, SrcDataSize),
                Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey), pSrcInfo,
                ppCubeTexture);
}

HRESULT D3DXCreateCubeTextureFromResourceExW(IDirect3DDevice9* pDevice, HMODULE, LPCWSTR pSrcResource,
                                             UINT Size, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                             D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                             D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                             IDirect3DCubeTexture9** ppCubeTexture) {
    return Load(pDevice, FromResource(pSrcResource),
                Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey), pSrcInfo,
                ppCubeTexture);
}

// ---------------------------------------------------------------------------
// Volume textures.

HRESULT D3DXCreateVolumeTextureFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                         IDirect3DVolumeTexture9** ppVolumeTexture) {
    return Load(pDevice, FromFile(pSrcFile), kDefaults, nullptr, ppVolumeTexture);
}

HRESULT D3DXCreateVolumeTextureFromFileExW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width,
                                           UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                           D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                           D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                           IDirect3DVolumeTexture9** ppVolumeTexture) {
    return Load(pDevice, FromFile(pSrcFile),
                Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppVolumeTexture);
}

HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData,
                                                  UINT SrcDataSize, UINT Width, UINT Height, UINT Depth,
                                                  UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                  DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                  D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                                  IDirect3DVolumeTexture9** ppVolumeTexture) {
    return Load(pDevice, FromMemory(pSrcData, SrcDataSize),
                Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppVolumeTexture);
}

HRESULT D3DXCreateVolumeTextureFromResourceExW(IDirect3DDevice9* pDevice, HMODULE, LPCWSTR pSrcResource,
                                               UINT Width, UINT Height, UINT Depth, UINT MipLevels,
                                               DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                               DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                               PALETTEENTRY*, IDirect3DVolumeTexture9** ppVolumeTexture) {
    return Load(pDevice, FromResource(pSrcResource),
                Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey),
                pSrcInfo, ppVolumeTexture);
}
