// The dialog's set-up: Init, setters, the dialog's font and texture indices,
// default looks, and the ring links.
#include <new>

#include "common/kitgui/dialog.h"
#include "common/kitgui/skin_image.h"
#include "platform/strsafe.h"

CKitControl* CKitDialog::s_pFocusedControl = nullptr;
CKitControl* CKitDialog::s_pPressedControl = nullptr;
double CKitDialog::s_fRefreshStamp = 0.0;

namespace {

const WCHAR kInitFirst[] = L"To fix call CKitDialog::Init() first.  See comments for details.";
const WCHAR kInitFirstTexture[] = L"To fix this, call CKitDialog::Init() first.  See comments for details.";

// Grows an index table with -1 entries until iIndex exists, then stores the value.
HRESULT PutSlot(CGrowableArray<int>& slots, UINT iIndex, int iPool) {
    while (slots.Length() <= int(iIndex)) {
        HRESULT hr = slots.Add(-1);
        if (FAILED(hr)) return hr;
    }
    return slots.Put(int(iIndex), iPool);
}

}  // namespace

CKitDialog::CKitDialog() : m_pNextInRing(this), m_pPrevInRing(this) {}

CKitDialog::~CKitDialog() {
    DeleteAllControls();
    m_FontSlots.Clear();
    m_TextureSlots.Clear();
    for (int i = 0; i < m_ElementDefaults.Length(); ++i) delete m_ElementDefaults.GetAt(i);
    m_ElementDefaults.Clear();
}

void CKitDialog::Init(CKitDialogResourceManager* pManager, bool bRegisterDialog) {
    m_pManager = pManager;
    if (bRegisterDialog && pManager) pManager->AttachDialog(this);
    AssignTexture(0, MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID),
                  reinterpret_cast<HMODULE>(UINT_PTR(KIT_SKIN_MODULE_VALUE)));
    LoadDefaultElements();
}

void CKitDialog::Init(CKitDialogResourceManager* pManager, bool bRegisterDialog,
                      const WCHAR* strTextureFilename) {
    m_pManager = pManager;
    if (bRegisterDialog && pManager) pManager->AttachDialog(this);
    AssignTexture(0, strTextureFilename);
    LoadDefaultElements();
}

void CKitDialog::Init(CKitDialogResourceManager* pManager, bool bRegisterDialog,
                      const WCHAR* strTextureResourceName, HMODULE hTextureResourceModule) {
    m_pManager = pManager;
    if (bRegisterDialog && pManager) pManager->AttachDialog(this);
    AssignTexture(0, strTextureResourceName, hTextureResourceModule);
    LoadDefaultElements();
}

void CKitDialog::LoadDefaultElements() {
    AssignFont(0, L"Arial", 14, FW_NORMAL);
    m_TitleElement = KitCaptionElement();
    int nDefaults = 0;
    const KitElementDefault* pDefaults = KitDefaultElements(&nDefaults);
    for (int i = 0; i < nDefaults; ++i)
        SetElementDefault(pDefaults[i].nKind, pDefaults[i].iElement, &pDefaults[i].Element);
}

void CKitDialog::SetEventHandler(KitGuiEventHandler pfnHandler, void* pUserContext) {
    if (!KitGuiCheck(m_pManager != nullptr, kInitFirst)) return;
    m_pfnEventHandler = pfnHandler;
    m_pHandlerContext = pUserContext;
}

void CKitDialog::SetTitle(const WCHAR* strTitle) {
    StringCchCopyW(m_wszTitle, 256, strTitle ? strTitle : L"");
}

void CKitDialog::SetCornerColors(D3DCOLOR colorTopLeft, D3DCOLOR colorTopRight, D3DCOLOR colorBottomLeft,
                                 D3DCOLOR colorBottomRight) {
    m_clrTopLeft = colorTopLeft;
    m_clrTopRight = colorTopRight;
    m_clrBottomLeft = colorBottomLeft;
    m_clrBottomRight = colorBottomRight;
}

void CKitDialog::LinkRing(CKitDialog* pNextDialog) {
    if (!pNextDialog) pNextDialog = this;
    m_pNextInRing = pNextDialog;
    pNextDialog->m_pPrevInRing = this;
}

// ---------------------------------------------------------------------------
// Fonts and textures

HRESULT CKitDialog::AssignFont(UINT iFont, const WCHAR* strFaceName, LONG height, LONG weight) {
    if (!KitGuiCheck(m_pManager != nullptr, kInitFirst)) return E_FAIL;
    const int iPool = m_pManager->RegisterFont(strFaceName, height, weight);
    return PutSlot(m_FontSlots, iFont, iPool);
}

KitFontSlot* CKitDialog::FontSlotAt(UINT iFont) const {
    if (!m_pManager || int(iFont) >= m_FontSlots.Length()) return nullptr;
    const int iPool = m_FontSlots.GetAt(int(iFont));
    if (iPool < 0 || iPool >= m_pManager->FontCount()) return nullptr;
    return m_pManager->PoolFontAt(iPool);
}

HRESULT CKitDialog::AssignTexture(UINT iTexture, const WCHAR* strFilename) {
    if (!KitGuiCheck(m_pManager != nullptr, kInitFirstTexture)) return E_FAIL;
    const int iPool = m_pManager->RegisterTexture(strFilename);
    return PutSlot(m_TextureSlots, iTexture, iPool);
}

HRESULT CKitDialog::AssignTexture(UINT iTexture, const WCHAR* strResourceName, HMODULE hResourceModule) {
    if (!KitGuiCheck(m_pManager != nullptr, kInitFirstTexture)) return E_FAIL;
    const int iPool = m_pManager->RegisterTexture(strResourceName, hResourceModule);
    return PutSlot(m_TextureSlots, iTexture, iPool);
}

KitTextureSlot* CKitDialog::TextureSlotAt(UINT iTexture) const {
    if (!m_pManager || int(iTexture) >= m_TextureSlots.Length()) return nullptr;
    const int iPool = m_TextureSlots.GetAt(int(iTexture));
    if (iPool < 0 || iPool >= m_pManager->TextureCount()) return nullptr;
    return m_pManager->PoolTextureAt(iPool);
}

// ---------------------------------------------------------------------------
// Default looks

HRESULT CKitDialog::SetElementDefault(UINT nKind, UINT iElement, const CKitSkinElement* pElement) {
    if (!pElement) return E_INVALIDARG;
    for (int i = 0; i < m_ElementDefaults.Length(); ++i) {
        KitElementDefault* pDefault = m_ElementDefaults.GetAt(i);
        if (pDefault->nKind == nKind && pDefault->iElement == iElement) {
            pDefault->Element = *pElement;
            return S_OK;
        }
    }
    auto* pNew = new (std::nothrow) KitElementDefault();
    if (!pNew) return E_OUTOFMEMORY;
    pNew->nKind = nKind;
    pNew->iElement = iElement;
    pNew->Element = *pElement;
    HRESULT hr = m_ElementDefaults.Add(pNew);
    if (FAILED(hr)) delete pNew;
    return hr;
}

CKitSkinElement* CKitDialog::ElementDefault(UINT nKind, UINT iElement) const {
    for (int i = 0; i < m_ElementDefaults.Length(); ++i) {
        KitElementDefault* pDefault = m_ElementDefaults.GetAt(i);
        if (pDefault->nKind == nKind && pDefault->iElement == iElement) return &pDefault->Element;
    }
    return nullptr;
}
