// The dialog resource manager: font and texture pools with their matching
// rules, the device hooks that build and release what the pools name, the
// shared sprite and state block, and the ring of registered dialogs.
#include "common/kitgui/dialog_resource_manager.h"

#include <cstdlib>
#include <cwctype>

#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"
#include "common/kitgui/control_ime_edit_box.h"
#include "common/kitgui/dialog.h"
#include "common/kitgui/skin_image.h"
#include "common/kitgui/text_layout_service.h"
#include "common/kitmisc/media_search.h"
#include "platform/strsafe.h"

namespace {

// A stored name matches when it equals the given one without regard to case
// over the given name's length (so a longer stored name that starts with it
// matches too).
bool NameMatches(const WCHAR* strStored, const WCHAR* strGiven) {
    for (size_t i = 0; strGiven[i] != L'\0'; ++i)
        if (std::towlower(wint_t(strStored[i])) != std::towlower(wint_t(strGiven[i]))) return false;
    return true;
}

bool IsSkinRecord(const KitTextureSlot* pSlot) {
    return !pSlot->bFromFile &&
           pSlot->hModule == reinterpret_cast<HMODULE>(UINT_PTR(KIT_SKIN_MODULE_VALUE)) &&
           pSlot->wResourceId == KIT_SKIN_RESOURCE_ID;
}

template <typename T>
void SafeRelease(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

}  // namespace

CKitDialogResourceManager::~CKitDialogResourceManager() {
    for (int i = 0; i < m_FontPool.Length(); ++i) std::free(m_FontPool.GetAt(i));
    m_FontPool.Clear();
    for (int i = 0; i < m_TexturePool.Length(); ++i) std::free(m_TexturePool.GetAt(i));
    m_TexturePool.Clear();
    // The libraries the edit boxes loaded on demand.
    KitUnloadTextLayout();
    KitUnloadInputMethod();
}

HRESULT CKitDialogResourceManager::OnCreateDevice(IDirect3DDevice9* pd3dDevice) {
    HRESULT hr = S_OK;
    m_pd3dDevice = pd3dDevice;

    for (int i = 0; i < m_FontPool.Length(); ++i) {
        hr = BuildFont(i);
        if (FAILED(hr)) return hr;
    }
    for (int i = 0; i < m_TexturePool.Length(); ++i) {
        hr = BuildTexture(i);
        if (FAILED(hr)) return hr;
    }

    hr = D3DXCreateSprite(pd3dDevice, &m_pSpriteBatch);
    if (FAILED(hr)) return KIT_LOG_FAILURE(L"D3DXCreateSprite", hr);

    // Input-method support would fetch and release the window's default input
    // context here; it becomes active only with an input-method edit box.
    return S_OK;
}

HRESULT CKitDialogResourceManager::OnResetDevice() {
    HRESULT hr = S_OK;
    for (int i = 0; i < m_FontPool.Length(); ++i) {
        KitFontSlot* pFontNode = m_FontPool.GetAt(i);
        if (pFontNode->pFont) pFontNode->pFont->OnResetDevice();
    }
    if (m_pSpriteBatch) m_pSpriteBatch->OnResetDevice();

    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (!pd3dDevice)
        return KIT_LOG_FAILURE_POPUP(L"pd3dDevice->CreateStateBlock( D3DSBT_ALL, &m_pStateBlock )", E_FAIL);
    if (FAILED(hr = pd3dDevice->CreateStateBlock(D3DSBT_ALL, &m_pStateBlock)))
        return KIT_LOG_FAILURE_POPUP(L"pd3dDevice->CreateStateBlock( D3DSBT_ALL, &m_pStateBlock )", hr);
    return S_OK;
}

void CKitDialogResourceManager::OnDeviceLost() {
    for (int i = 0; i < m_FontPool.Length(); ++i) {
        KitFontSlot* pFontNode = m_FontPool.GetAt(i);
        if (pFontNode->pFont) pFontNode->pFont->OnLostDevice();
    }
    if (m_pSpriteBatch) m_pSpriteBatch->OnLostDevice();
    SafeRelease(m_pStateBlock);
}

void CKitDialogResourceManager::OnDeviceDestroyed() {
    m_pd3dDevice = nullptr;
    for (int i = 0; i < m_FontPool.Length(); ++i) SafeRelease(m_FontPool.GetAt(i)->pFont);
    for (int i = 0; i < m_TexturePool.Length(); ++i) SafeRelease(m_TexturePool.GetAt(i)->pTex);
    SafeRelease(m_pSpriteBatch);
}

bool CKitDialogResourceManager::MsgProc(HWND, UINT, WPARAM, LPARAM) {
    // Only an input-method edit box makes input-method support active, and
    // none exists: no message is consumed here.
    return false;
}

int CKitDialogResourceManager::RegisterFont(const WCHAR* strFaceName, LONG height, LONG weight) {
    if (!strFaceName) strFaceName = L"";
    for (int i = 0; i < m_FontPool.Length(); ++i) {
        const KitFontSlot* pFontNode = m_FontPool.GetAt(i);
        if (NameMatches(pFontNode->strFace, strFaceName) && pFontNode->nHeight == height &&
            pFontNode->nWeight == weight)
            return i;
    }

    auto* pNewFontNode = static_cast<KitFontSlot*>(std::calloc(1, sizeof(KitFontSlot)));
    if (!pNewFontNode) return -1;
    StringCchCopyW(pNewFontNode->strFace, MAX_PATH, strFaceName);
    pNewFontNode->nHeight = height;
    pNewFontNode->nWeight = weight;
    if (FAILED(m_FontPool.Add(pNewFontNode))) {
        std::free(pNewFontNode);
        return -1;
    }

    const int iFont = m_FontPool.Length() - 1;
    // With a device the font is built now; a failure was traced and the
    // dialog skips drawing with it.
    if (m_pd3dDevice) BuildFont(iFont);
    return iFont;
}

int CKitDialogResourceManager::RegisterTexture(const WCHAR* strFilename) {
    if (!strFilename) strFilename = L"";
    for (int i = 0; i < m_TexturePool.Length(); ++i) {
        const KitTextureSlot* pTextureNode = m_TexturePool.GetAt(i);
        if (pTextureNode->bFromFile && NameMatches(pTextureNode->strName, strFilename)) return i;
    }

    auto* pNewTextureNode = static_cast<KitTextureSlot*>(std::calloc(1, sizeof(KitTextureSlot)));
    if (!pNewTextureNode) return -1;
    pNewTextureNode->bFromFile = TRUE;
    StringCchCopyW(pNewTextureNode->strName, MAX_PATH, strFilename);
    if (FAILED(m_TexturePool.Add(pNewTextureNode))) {
        std::free(pNewTextureNode);
        return -1;
    }

    const int iTexture = m_TexturePool.Length() - 1;
    if (m_pd3dDevice) BuildTexture(iTexture);
    return iTexture;
}

int CKitDialogResourceManager::RegisterTexture(const WCHAR* strResourceName, HMODULE hResourceModule) {
    const bool bById = IS_INTRESOURCE(strResourceName);
    const UINT wId = bById ? UINT(LOWORD(reinterpret_cast<UINT_PTR>(strResourceName))) : 0;
    for (int i = 0; i < m_TexturePool.Length(); ++i) {
        const KitTextureSlot* pTextureNode = m_TexturePool.GetAt(i);
        if (pTextureNode->bFromFile || pTextureNode->hModule != hResourceModule) continue;
        if (bById ? pTextureNode->wResourceId == wId : NameMatches(pTextureNode->strName, strResourceName))
            return i;
    }

    auto* pNewTextureNode = static_cast<KitTextureSlot*>(std::calloc(1, sizeof(KitTextureSlot)));
    if (!pNewTextureNode) return -1;
    pNewTextureNode->hModule = hResourceModule;
    if (bById)
        pNewTextureNode->wResourceId = wId;
    else
        StringCchCopyW(pNewTextureNode->strName, MAX_PATH, strResourceName);
    if (FAILED(m_TexturePool.Add(pNewTextureNode))) {
        std::free(pNewTextureNode);
        return -1;
    }

    const int iTexture = m_TexturePool.Length() - 1;
    if (m_pd3dDevice) BuildTexture(iTexture);
    return iTexture;
}

HRESULT CKitDialogResourceManager::BuildFont(int iFont) {
    HRESULT hr = S_OK;
    KitFontSlot* pFontNode = m_FontPool.GetAt(iFont);
    SafeRelease(pFontNode->pFont);
    if (FAILED(hr = D3DXCreateFontW(m_pd3dDevice, pFontNode->nHeight, 0, UINT(pFontNode->nWeight), 1, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, pFontNode->strFace, &pFontNode->pFont)))
        return KIT_LOG_FAILURE_POPUP(
            L"D3DXCreateFont( m_pd3dDevice, pFontNode->nHeight, 0, pFontNode->nWeight, 1, FALSE, "
            L"DEFAULT_CHARSET, "
            L"OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, pFontNode->strFace, "
            L"&pFontNode->pFont )",
            hr);
    return S_OK;
}

HRESULT CKitDialogResourceManager::BuildTexture(int iTexture) {
    HRESULT hr = S_OK;
    KitTextureSlot* pTextureNode = m_TexturePool.GetAt(iTexture);
    D3DXIMAGE_INFO info{};

    if (!pTextureNode->bFromFile) {
        if (IsSkinRecord(pTextureNode)) {
            const void* pBytes = nullptr;
            UINT nBytes = 0;
            KitFindSkinImage(&pBytes, &nBytes);
            hr = D3DXCreateTextureFromFileInMemoryEx(m_pd3dDevice, pBytes, nBytes, D3DX_DEFAULT, D3DX_DEFAULT,
                                                     1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                     D3DX_DEFAULT, 0, &info, nullptr, &pTextureNode->pTex);
            if (FAILED(hr)) return KIT_LOG_FAILURE(L"D3DXCreateTextureFromFileInMemoryEx", hr);
        } else {
            LPCWSTR pID = pTextureNode->wResourceId ? MAKEINTRESOURCEW(pTextureNode->wResourceId)
                                                    : pTextureNode->strName;
            hr = D3DXCreateTextureFromResourceExW(
                m_pd3dDevice, pTextureNode->hModule, pID, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN,
                D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &pTextureNode->pTex);
            if (FAILED(hr)) return KIT_LOG_FAILURE(L"D3DXCreateTextureFromResourceEx", hr);
        }
    } else {
        if (pTextureNode->strName[0] == L'\0') return S_OK;
        WCHAR strPath[MAX_PATH];
        if (FAILED(hr = KitFindMediaFileCch(strPath, MAX_PATH, pTextureNode->strName)))
            return KIT_LOG_FAILURE(L"KitFindMediaFileCch", hr);
        hr = D3DXCreateTextureFromFileExW(m_pd3dDevice, strPath, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                          D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                          &info, nullptr, &pTextureNode->pTex);
        if (FAILED(hr)) return KIT_LOG_FAILURE(L"D3DXCreateTextureFromFileEx", hr);
    }

    pTextureNode->nTexWidth = info.Width;
    pTextureNode->nTexHeight = info.Height;
    return S_OK;
}

bool CKitDialogResourceManager::AttachDialog(CKitDialog* pDialog) {
    if (m_DialogList.Has(pDialog)) return true;
    if (FAILED(m_DialogList.Add(pDialog))) return false;

    const int nDialogs = m_DialogList.Length();
    if (nDialogs > 1) m_DialogList.GetAt(nDialogs - 2)->LinkRing(pDialog);
    pDialog->LinkRing(m_DialogList.GetAt(0));
    return true;
}

void CKitDialogResourceManager::DetachDialog(CKitDialog* pDialog) {
    const int i = m_DialogList.Find(pDialog);
    if (i < 0) return;
    m_DialogList.RemoveAt(i);
    const int nDialogs = m_DialogList.Length();
    if (nDialogs == 0) return;
    CKitDialog* pBefore = m_DialogList.GetAt(i > 0 ? i - 1 : nDialogs - 1);
    CKitDialog* pAfter = m_DialogList.GetAt(i < nDialogs ? i : 0);
    pBefore->LinkRing(pAfter);
}

void CKitDialogResourceManager::EnableKeyboardNavEverywhere() {
    for (int i = 0; i < m_DialogList.Length(); ++i) m_DialogList.GetAt(i)->SetKeyboardNav(true);
}
