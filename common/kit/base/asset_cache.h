// CKitAssetCache: the framework-wide cache of device objects loaded from files
// or module resources (2D, cube and volume textures, fonts, effects). A request
// whose key matches an earlier one gets the same object with one more
// reference instead of a second load. The framework drives it through the
// device lifecycle: default-pool textures go when the device is lost,
// everything goes when the device is destroyed.
//
// References: the cache keeps one reference per cached object; every caller
// that receives an object owns one more and releases it itself.
#pragma once

#include "common/kit/base/growable_array.h"
#include "platform/d3dx9.h"
#include "platform/strsafe.h"
#include "platform/win32.h"

// Where a cached object came from.
enum KitAssetOrigin : DWORD {
    KIT_ASSET_FROM_FILE = 0,      // a file name
    KIT_ASSET_FROM_RESOURCE = 1,  // a module resource
};

// One cached texture and the key it was loaded with.
struct KitCachedTexture {
    KitAssetOrigin eOrigin;          // file or resource
    WCHAR wszOrigin[MAX_PATH];       // file name or resource name ("#n" for an integer identifier)
    HMODULE hOriginModule;           // resource module (resource origin only)
    UINT nWidth;                     // requested width (cube: the edge length)
    UINT nHeight;                    // requested height (2D and volume)
    UINT nDepth;                     // requested depth (volume)
    UINT nMipLevels;                 // requested mip levels
    DWORD dwUsage;                   // requested usage
    D3DFORMAT eFormat;               // requested format
    D3DPOOL ePool;                   // requested pool
    D3DRESOURCETYPE eKind;           // D3DRTYPE_TEXTURE, D3DRTYPE_VOLUMETEXTURE or D3DRTYPE_CUBETEXTURE
    IDirect3DBaseTexture9* pObject;  // the cache's own reference
};

// One cached effect and its key.
struct KitCachedEffect {
    KitAssetOrigin eOrigin;     // file or resource
    WCHAR wszOrigin[MAX_PATH];  // file name or resource name
    HMODULE hOriginModule;      // resource module (resource origin only)
    DWORD dwFlags;              // compile flags
    ID3DXEffect* pObject;       // the cache's own reference
};

// One cached font: its description is the key.
struct KitCachedFont {
    D3DXFONT_DESCW Desc;  // height, width, weight, mip levels, italic, character set, precision, quality,
                          // pitch and family, face name
    ID3DXFont* pObject;   // the cache's own reference
};

class CKitAssetCache {
  public:
    CKitAssetCache() = default;
    ~CKitAssetCache();
    CKitAssetCache(const CKitAssetCache&) = delete;
    CKitAssetCache& operator=(const CKitAssetCache&) = delete;

    // 2D textures. The short forms load with default size and mip levels,
    // usage 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, default filters, no colour key.
    HRESULT LoadTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, IDirect3DTexture9** ppTexture);
    HRESULT LoadTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height, UINT MipLevels,
                        DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                        D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                        IDirect3DTexture9** ppTexture);
    HRESULT LoadTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                    IDirect3DTexture9** ppTexture);
    HRESULT LoadTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                    UINT Width, UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                    D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                    D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                    IDirect3DTexture9** ppTexture);

    // Cube textures; Size is the edge length.
    HRESULT LoadCubeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                            IDirect3DCubeTexture9** ppCubeTexture);
    HRESULT LoadCubeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Size, UINT MipLevels,
                            DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                            IDirect3DCubeTexture9** ppCubeTexture);
    HRESULT LoadCubeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                        IDirect3DCubeTexture9** ppCubeTexture);
    HRESULT LoadCubeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                        UINT Size, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                        D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                        D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                        IDirect3DCubeTexture9** ppCubeTexture);

    // Volume textures.
    HRESULT LoadVolumeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                              IDirect3DVolumeTexture9** ppVolumeTexture);
    HRESULT LoadVolumeTexture(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                              UINT Depth, UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                              PALETTEENTRY* pPalette, IDirect3DVolumeTexture9** ppVolumeTexture);
    HRESULT LoadVolumeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                          IDirect3DVolumeTexture9** ppVolumeTexture);
    HRESULT LoadVolumeTextureFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                          UINT Width, UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                          D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                          D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                          IDirect3DVolumeTexture9** ppVolumeTexture);

    // Fonts: LoadFont builds a description (face cut to 31 characters) and
    // calls LoadFontDesc, which shares fonts whose numbers are all equal and
    // whose faces are equal ignoring case.
    HRESULT LoadFont(IDirect3DDevice9* pDevice, INT Height, UINT Width, UINT Weight, UINT MipLevels,
                     BOOL Italic, DWORD CharSet, DWORD OutputPrecision, DWORD Quality, DWORD PitchAndFamily,
                     LPCWSTR pFacename, ID3DXFont** ppFont);
    HRESULT LoadFontDesc(IDirect3DDevice9* pDevice, const D3DXFONT_DESCW* pDesc, ID3DXFont** ppFont);

    // Effects, keyed by origin, name and compile flags.
    HRESULT LoadEffect(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, const D3DXMACRO* pDefines,
                       LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool, ID3DXEffect** ppEffect);
    HRESULT LoadEffectFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                   const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude, DWORD Flags,
                                   LPD3DXEFFECTPOOL pPool, ID3DXEffect** ppEffect);

    // Device hooks, called by the framework's device lifecycle; all succeed.
    HRESULT OnCreateDevice(IDirect3DDevice9* pd3dDevice);  // nothing to do
    HRESULT OnResetDevice(IDirect3DDevice9* pd3dDevice);   // effects and fonts are told
    HRESULT OnDeviceLost();       // effects and fonts are told; default-pool textures are released
    HRESULT OnDeviceDestroyed();  // everything is released

    // Records held, for inspection.
    int TextureCount() const { return m_TextureCache.Length(); }
    int EffectCount() const { return m_EffectCache.Length(); }
    int FontCount() const { return m_FontCache.Length(); }

  private:
    // The key text of a file or resource name: the name itself, "#n" for an
    // integer resource identifier. False when it does not fit (such names are
    // loaded but not cached, since a cut name could match another one).
    static bool KeyName(WCHAR (&strKey)[MAX_PATH], LPCWSTR pName);
    // The texture load shared by all six kinds: a record matching key (name
    // from pName) answers with the caller's own reference; otherwise
    // load(ppOut) runs and a success is remembered under key.
    template <typename TEXTURE, typename LOADER>
    HRESULT LoadTextureKeyed(KitCachedTexture key, LPCWSTR pName, IDirect3DDevice9* pDevice, TEXTURE** ppOut,
                             LOADER load);
    // The same for effects (key: origin, module, name, compile flags).
    template <typename LOADER>
    HRESULT LoadEffectKeyed(KitCachedEffect key, LPCWSTR pName, IDirect3DDevice9* pDevice,
                            ID3DXEffect** ppEffect, LOADER load);

    CGrowableArray<KitCachedTexture> m_TextureCache;  // in load order
    CGrowableArray<KitCachedEffect> m_EffectCache;
    CGrowableArray<KitCachedFont> m_FontCache;
};

// The framework's one cache, created on first use and destroyed at process
// exit. The framework state touches it before anything else, so that it
// outlives the state's exit action.
CKitAssetCache& KitAssetCache();
