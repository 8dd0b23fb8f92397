// The asset cache's fonts, effects and device hooks, its key names, and the
// framework's one instance.
#include "common/kit/base/asset_cache.h"

#include <cwchar>
#include <cwctype>

CKitAssetCache& KitAssetCache() {
    // A static object: destroyed at process exit, after every exit action
    // registered once it exists (the framework state's among them).
    static CKitAssetCache s_Cache;
    return s_Cache;
}

CKitAssetCache::~CKitAssetCache() {
    OnDeviceDestroyed();
    m_TextureCache.Clear();
    m_EffectCache.Clear();
    m_FontCache.Clear();
}

bool CKitAssetCache::KeyName(WCHAR (&strKey)[MAX_PATH], LPCWSTR pName) {
    if (IS_INTRESOURCE(pName)) {
        StringCchPrintfW(strKey, MAX_PATH, L"#%u", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(pName)));
        return true;
    }
    return SUCCEEDED(StringCchCopyW(strKey, MAX_PATH, pName));
}

// ------------------------------------------------------------------ fonts

namespace {

// Face names compare without regard to letter case, over the 31 characters
// a description holds (a caller's face need not be terminated within them).
bool SameFace(const WCHAR* a, const WCHAR* b) {
    for (int i = 0; i < LF_FACESIZE - 1; ++i) {
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
        if (a[i] == L'\0') return true;
    }
    return true;
}

bool SameFontDesc(const D3DXFONT_DESCW& a, const D3DXFONT_DESCW& b) {
    return a.Height == b.Height && a.Width == b.Width && a.Weight == b.Weight && a.MipLevels == b.MipLevels &&
           a.Italic == b.Italic && a.CharSet == b.CharSet && a.OutputPrecision == b.OutputPrecision &&
           a.Quality == b.Quality && a.PitchAndFamily == b.PitchAndFamily && SameFace(a.FaceName, b.FaceName);
}

}  // namespace

HRESULT CKitAssetCache::LoadFont(IDirect3DDevice9* pDevice, INT Height, UINT Width, UINT Weight,
                                 UINT MipLevels, BOOL Italic, DWORD CharSet, DWORD OutputPrecision,
                                 DWORD Quality, DWORD PitchAndFamily, LPCWSTR pFacename, ID3DXFont** ppFont) {
    D3DXFONT_DESCW desc{};
    desc.Height = Height;
    desc.Width = Width;
    desc.Weight = Weight;
    desc.MipLevels = MipLevels;
    desc.Italic = Italic;
    desc.CharSet = static_cast<BYTE>(CharSet);
    desc.OutputPrecision = static_cast<BYTE>(OutputPrecision);
    desc.Quality = static_cast<BYTE>(Quality);
    desc.PitchAndFamily = static_cast<BYTE>(PitchAndFamily);
    if (pFacename != nullptr) StringCchCopyW(desc.FaceName, LF_FACESIZE, pFacename);
    return LoadFontDesc(pDevice, &desc, ppFont);
}

HRESULT CKitAssetCache::LoadFontDesc(IDirect3DDevice9* pDevice, const D3DXFONT_DESCW* pDesc,
                                     ID3DXFont** ppFont) {
    if (pDevice == nullptr || pDesc == nullptr || ppFont == nullptr) return E_INVALIDARG;

    for (int i = 0; i < m_FontCache.Length(); ++i) {
        const KitCachedFont& rec = m_FontCache.GetAt(i);
        if (SameFontDesc(rec.Desc, *pDesc)) {
            rec.pObject->AddRef();  // the caller's reference
            *ppFont = rec.pObject;
            return S_OK;
        }
    }

    HRESULT hr = D3DXCreateFontIndirectW(pDevice, pDesc, ppFont);
    if (FAILED(hr)) return hr;

    KitCachedFont rec{};
    rec.Desc = *pDesc;
    rec.Desc.FaceName[LF_FACESIZE - 1] = L'\0';
    rec.pObject = *ppFont;
    rec.pObject->AddRef();  // the cache's reference
    if (FAILED(m_FontCache.Add(rec))) rec.pObject->Release();
    return S_OK;
}

// ---------------------------------------------------------------- effects

template <typename LOADER>
HRESULT CKitAssetCache::LoadEffectKeyed(KitCachedEffect key, LPCWSTR pName, IDirect3DDevice9* pDevice,
                                        ID3DXEffect** ppEffect, LOADER load) {
    if (pDevice == nullptr || pName == nullptr || ppEffect == nullptr) return E_INVALIDARG;
    const bool bKeyed = KeyName(key.wszOrigin, pName);

    if (bKeyed) {
        for (int i = 0; i < m_EffectCache.Length(); ++i) {
            const KitCachedEffect& rec = m_EffectCache.GetAt(i);
            if (rec.eOrigin == key.eOrigin && rec.hOriginModule == key.hOriginModule &&
                rec.dwFlags == key.dwFlags && std::wcscmp(rec.wszOrigin, key.wszOrigin) == 0) {
                rec.pObject->AddRef();  // the caller's reference
                *ppEffect = rec.pObject;
                return S_OK;
            }
        }
    }

    HRESULT hr = load(ppEffect);
    if (FAILED(hr)) return hr;
    if (!bKeyed) return S_OK;

    key.pObject = *ppEffect;
    key.pObject->AddRef();  // the cache's reference
    if (FAILED(m_EffectCache.Add(key))) key.pObject->Release();
    return S_OK;
}

HRESULT CKitAssetCache::LoadEffect(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, const D3DXMACRO* pDefines,
                                   LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool,
                                   ID3DXEffect** ppEffect) {
    KitCachedEffect key{};
    key.eOrigin = KIT_ASSET_FROM_FILE;
    key.dwFlags = Flags;
    return LoadEffectKeyed(key, pSrcFile, pDevice, ppEffect, [&](ID3DXEffect** ppOut) {
        return D3DXCreateEffectFromFileW(pDevice, pSrcFile, pDefines, pInclude, Flags, pPool, ppOut, nullptr);
    });
}

HRESULT CKitAssetCache::LoadEffectFromResource(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                               LPCWSTR pSrcResource, const D3DXMACRO* pDefines,
                                               LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool,
                                               ID3DXEffect** ppEffect) {
    KitCachedEffect key{};
    key.eOrigin = KIT_ASSET_FROM_RESOURCE;
    key.hOriginModule = hSrcModule;
    key.dwFlags = Flags;
    return LoadEffectKeyed(key, pSrcResource, pDevice, ppEffect, [&](ID3DXEffect** ppOut) {
        return D3DXCreateEffectFromResourceW(pDevice, hSrcModule, pSrcResource, pDefines, pInclude, Flags,
                                             pPool, ppOut, nullptr);
    });
}

// ----------------------------------------------------------- device hooks

HRESULT CKitAssetCache::OnCreateDevice(IDirect3DDevice9* /*pd3dDevice*/) { return S_OK; }

HRESULT CKitAssetCache::OnResetDevice(IDirect3DDevice9* /*pd3dDevice*/) {
    for (int i = 0; i < m_EffectCache.Length(); ++i) m_EffectCache.GetAt(i).pObject->OnResetDevice();
    for (int i = 0; i < m_FontCache.Length(); ++i) m_FontCache.GetAt(i).pObject->OnResetDevice();
    return S_OK;
}

HRESULT CKitAssetCache::OnDeviceLost() {
    for (int i = 0; i < m_EffectCache.Length(); ++i) m_EffectCache.GetAt(i).pObject->OnLostDevice();
    for (int i = 0; i < m_FontCache.Length(); ++i) m_FontCache.GetAt(i).pObject->OnLostDevice();

    // Default-pool textures cannot survive a reset.
    for (int i = m_TextureCache.Length() - 1; i >= 0; --i) {
        KitCachedTexture& rec = m_TextureCache.GetAt(i);
        if (rec.ePool != D3DPOOL_DEFAULT) continue;
        rec.pObject->Release();
        m_TextureCache.RemoveAt(i);
    }
    return S_OK;
}

HRESULT CKitAssetCache::OnDeviceDestroyed() {
    for (int i = m_EffectCache.Length() - 1; i >= 0; --i) {
        m_EffectCache.GetAt(i).pObject->Release();
        m_EffectCache.RemoveAt(i);
    }
    for (int i = m_FontCache.Length() - 1; i >= 0; --i) {
        m_FontCache.GetAt(i).pObject->Release();
        m_FontCache.RemoveAt(i);
    }
    for (int i = m_TextureCache.Length() - 1; i >= 0; --i) {
        m_TextureCache.GetAt(i).pObject->Release();
        m_TextureCache.RemoveAt(i);
    }
    return S_OK;
}
