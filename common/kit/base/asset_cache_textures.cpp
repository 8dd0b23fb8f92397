// The asset cache's six texture loads (2D, cube and volume, each from a file
// or a module resource), their short forms and the key match they share.
#include <cwchar>

#include "common/kit/base/asset_cache.h"

namespace {

// A request's key as a record without an object; sizes a kind does not use stay 0.
KitCachedTexture TextureKey(D3DRESOURCETYPE eKind, KitAssetOrigin eOrigin, HMODULE hModule, UINT nWidth,
                            UINT nHeight, UINT nDepth, UINT nMipLevels, DWORD dwUsage, D3DFORMAT eFormat,
                            D3DPOOL ePool) {
    KitCachedTexture key{};
    key.eOrigin = eOrigin;
    key.hOriginModule = eOrigin == KIT_ASSET_FROM_RESOURCE ? hModule : nullptr;
    key.nWidth = nWidth;
    key.nHeight = nHeight;
    key.nDepth = nDepth;
    key.nMipLevels = nMipLevels;
    key.dwUsage = dwUsage;
    key.eFormat = eFormat;
    key.ePool = ePool;
    key.eKind = eKind;
    return key;
}

// Origin, module, name (exact), the size fields of the kind, mip levels,
// usage, format and pool.
bool SameTextureKey(const KitCachedTexture& rec, const KitCachedTexture& key) {
    if (rec.eKind != key.eKind || rec.eOrigin != key.eOrigin) return false;
    if (key.eOrigin == KIT_ASSET_FROM_RESOURCE && rec.hOriginModule != key.hOriginModule) return false;
    if (std::wcscmp(rec.wszOrigin, key.wszOrigin) != 0) return false;
    bool bSameSize = rec.nWidth == key.nWidth;
    if (key.eKind == D3DRTYPE_TEXTURE || key.eKind == D3DRTYPE_VOLUMETEXTURE)
        bSameSize = bSameSize && rec.nHeight == key.nHeight;
    if (key.eKind == D3DRTYPE_VOLUMETEXTURE) bSameSize = bSameSize && rec.nDepth == key.nDepth;
    return bSameSize && rec.nMipLevels == key.nMipLevels && rec.dwUsage == key.dwUsage &&
           rec.eFormat == key.eFormat && rec.ePool == key.ePool;
}

// The interface a caller of each kind receives.
REFIID TextureIid(IDirect3DTexture9**) { return IID_IDirect3DTexture9; }
REFIID TextureIid(IDirect3DCubeTexture9**) { return IID_IDirect3DCubeTexture9; }
REFIID TextureIid(IDirect3DVolumeTexture9**) { return IID_IDirect3DVolumeTexture9; }

}  // namespace

template <typename TEXTURE, typename LOADER>
HRESULT CKitAssetCache::LoadTextureKeyed(KitCachedTexture key, LPCWSTR pName, IDirect3DDevice9* pDevice,
                                         TEXTURE** ppOut, LOADER load) {
    if (pDevice == nullptr || pName == nullptr || ppOut == nullptr) return E_INVALIDARG;
    const bool bKeyed = KeyName(key.wszOrigin, pName);

    if (bKeyed) {
        for (int i = 0; i < m_TextureCache.Length(); ++i) {
            const KitCachedTexture& rec = m_TextureCache.GetAt(i);
            if (SameTextureKey(rec, key))
                return rec.pObject->QueryInterface(TextureIid(ppOut), reinterpret_cast<void**>(ppOut));
        }
    }

    HRESULT hr = load(ppOut);
    if (FAILED(hr)) return hr;
    if (!bKeyed) return S_OK;

    // The caller keeps the loader's reference; the record gets its own.
    if (FAILED((*ppOut)->QueryInterface(IID_IDirect3DBaseTexture9, reinterpret_cast<void**>(&key.pObject))))
        return S_OK;
    if (FAILED(m_TextureCache.Add(key))) key.pObject->Release();  // not remembered; the caller is unaffected
    return S_OK;
}

// ------------------------------------------------------------------- 2D

HRESULT CKitAssetCache::LoadTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                    IDirect3DTexture9** ppTexture) {
    return LoadTexture(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                       D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}

HRESULT CKitAssetCache::LoadTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                                    UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                    DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                    PALETTEENTRY* pPalette, IDirect3DTexture9** ppTexture) {
    KitCachedTexture key = TextureKey(D3DRTYPE_TEXTURE, KIT_ASSET_FROM_FILE, nullptr, Width, Height, 0,
                                      MipLevels, Usage, Format, Pool);
    return LoadTextureKeyed(key, pSrcFile, pDevice, ppTexture, [&](IDirect3DTexture9** ppOut) {
        return D3DXCreateTextureFromFileExW(pDevice, pSrcFile, Width, Height, MipLevels, Usage, Format, Pool,
                                            Filter, MipFilter, ColorKey, pSrcInfo, pPalette, ppOut);
    });
}

HRESULT CKitAssetCache::LoadTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                                LPCWSTR pSrcResource, IDirect3DTexture9** ppTexture) {
    return LoadTextureFromResource(pDevice, hSrcModule, pSrcResource, D3DX_DEFAULT, D3DX_DEFAULT,
                                   D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                   D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}

HRESULT CKitAssetCache::LoadTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                                LPCWSTR pSrcResource, UINT Width, UINT Height, UINT MipLevels,
                                                DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                PALETTEENTRY* pPalette, IDirect3DTexture9** ppTexture) {
    KitCachedTexture key = TextureKey(D3DRTYPE_TEXTURE, KIT_ASSET_FROM_RESOURCE, hSrcModule, Width, Height, 0,
                                      MipLevels, Usage, Format, Pool);
    return LoadTextureKeyed(key, pSrcResource, pDevice, ppTexture, [&](IDirect3DTexture9** ppOut) {
        return D3DXCreateTextureFromResourceExW(pDevice, hSrcModule, pSrcResource, Width, Height, MipLevels,
                                                Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo,
                                                pPalette, ppOut);
    });
}

// ----------------------------------------------------------------- cube

HRESULT CKitAssetCache::LoadCubeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                        IDirect3DCubeTexture9** ppCubeTexture) {
    return LoadCubeTexture(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                           D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, ppCubeTexture);
}

HRESULT CKitAssetCache::LoadCubeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Size,
                                        UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                        DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                        D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                        IDirect3DCubeTexture9** ppCubeTexture) {
    KitCachedTexture key = TextureKey(D3DRTYPE_CUBETEXTURE, KIT_ASSET_FROM_FILE, nullptr, Size, 0, 0,
                                      MipLevels, Usage, Format, Pool);
    return LoadTextureKeyed(key, pSrcFile, pDevice, ppCubeTexture, [&](IDirect3DCubeTexture9** ppOut) {
        return D3DXCreateCubeTextureFromFileExW(pDevice, pSrcFile, Size, MipLevels, Usage, Format, Pool,
                                                Filter, MipFilter, ColorKey, pSrcInfo, pPalette, ppOut);
    });
}

HRESULT CKitAssetCache::LoadCubeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                                    LPCWSTR pSrcResource,
                                                    IDirect3DCubeTexture9** ppCubeTexture) {
    return LoadCubeTextureFromResource(pDevice, hSrcModule, pSrcResource, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                       D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                       nullptr, nullptr, ppCubeTexture);
}

HRESULT CKitAssetCache::LoadCubeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                                    LPCWSTR pSrcResource, UINT Size, UINT MipLevels,
                                                    DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                    DWORD MipFilter, D3DCOLOR ColorKey,
                                                    D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                    IDirect3DCubeTexture9** ppCubeTexture) {
    KitCachedTexture key = TextureKey(D3DRTYPE_CUBETEXTURE, KIT_ASSET_FROM_RESOURCE, hSrcModule, Size, 0, 0,
                                      MipLevels, Usage, Format, Pool);
    return LoadTextureKeyed(key, pSrcResource, pDevice, ppCubeTexture, [&](IDirect3DCubeTexture9** ppOut) {
        return D3DXCreateCubeTextureFromResourceExW(pDevice, hSrcModule, pSrcResource, Size, MipLevels, Usage,
                                                    Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo,
                                                    pPalette, ppOut);
    });
}

// --------------------------------------------------------------- volume

HRESULT CKitAssetCache::LoadVolumeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                          IDirect3DVolumeTexture9** ppVolumeTexture) {
    return LoadVolumeTexture(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                             D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                             ppVolumeTexture);
}

HRESULT CKitAssetCache::LoadVolumeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width,
                                          UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                          D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                          D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                          IDirect3DVolumeTexture9** ppVolumeTexture) {
    KitCachedTexture key = TextureKey(D3DRTYPE_VOLUMETEXTURE, KIT_ASSET_FROM_FILE, nullptr, Width, Height,
                                      Depth, MipLevels, Usage, Format, Pool);
    return LoadTextureKeyed(key, pSrcFile, pDevice, ppVolumeTexture, [&](IDirect3DVolumeTexture9** ppOut) {
        return D3DXCreateVolumeTextureFromFileExW(pDevice, pSrcFile, Width, Height, Depth, MipLevels, Usage,
                                                  Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo,
                                                  pPalette, ppOut);
    });
}

HRESULT CKitAssetCache::LoadVolumeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                                      LPCWSTR pSrcResource,
                                                      IDirect3DVolumeTexture9** ppVolumeTexture) {
    return LoadVolumeTextureFromResource(pDevice, hSrcModule, pSrcResource, D3DX_DEFAULT, D3DX_DEFAULT,
                                         D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                         D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, ppVolumeTexture);
}

HRESULT CKitAssetCache::LoadVolumeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                                      LPCWSTR pSrcResource, UINT Width, UINT Height,
                                                      UINT Depth, UINT MipLevels, DWORD Usage,
                                                      D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                      DWORD MipFilter, D3DCOLOR ColorKey,
                                                      D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                      IDirect3DVolumeTexture9** ppVolumeTexture) {
    KitCachedTexture key = TextureKey(D3DRTYPE_VOLUMETEXTURE, KIT_ASSET_FROM_RESOURCE, hSrcModule, Width,
                                      Height, Depth, MipLevels, Usage, Format, Pool);
    return LoadTextureKeyed(
        key, pSrcResource, pDevice, ppVolumeTexture, [&](IDirect3DVolumeTexture9** ppOut) {
            return D3DXCreateVolumeTextureFromResourceExW(pDevice, hSrcModule, pSrcResource, Width, Height,
                                                          Depth, MipLevels, Usage, Format, Pool, Filter,
                                                          MipFilter, ColorKey, pSrcInfo, pPalette, ppOut);
        });
}
