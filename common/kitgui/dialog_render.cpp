// The dialog's drawing: render states around it, the background gradient,
// the caption, the controls (the focused one last), and the painting services
// the controls draw with (sprites, text, text extents, plain rectangles).
#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"
#include "platform/strsafe.h"

namespace {

const WCHAR kHookUpManager[] =
    L"To fix hook up CKitDialogResourceManager to device callbacks.  See comments for details";

// A pre-transformed, coloured vertex of the background.
struct BackgroundVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

// A pre-transformed, coloured vertex with one texture coordinate set (28 bytes).
struct RectVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float tu, tv;
};
static_assert(sizeof(RectVertex) == 28, "plain rectangles are drawn with 28-byte vertices");

void SetDialogRenderStates(IDirect3DDevice9* pd3dDevice) {
    pd3dDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pd3dDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    pd3dDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    pd3dDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    pd3dDevice->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);
    pd3dDevice->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    pd3dDevice->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
    pd3dDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    pd3dDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
    pd3dDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    pd3dDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    pd3dDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

    pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_RESULTARG, D3DTA_CURRENT);
    pd3dDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pd3dDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

}  // namespace

RECT CKitDialog::ToScreen(const RECT* prc) const {
    RECT rc = *prc;
    OffsetRect(&rc, m_nLeft, m_nTop);
    if (m_bHasTitleBar) OffsetRect(&rc, 0, m_nTitleHeight);
    return rc;
}

void CKitDialog::DrawBackground(IDirect3DDevice9* pd3dDevice) {
    const float l = float(m_nLeft), t = float(m_nTop);
    const float r = float(m_nLeft + m_nWidth), b = float(m_nTop + m_nHeight);
    const BackgroundVertex vertices[4] = {
        {l, t, 0.5f, 1.0f, m_clrTopLeft},
        {r, t, 0.5f, 1.0f, m_clrTopRight},
        {r, b, 0.5f, 1.0f, m_clrBottomRight},
        {l, b, 0.5f, 1.0f, m_clrBottomLeft},
    };
    pd3dDevice->SetVertexShader(nullptr);
    pd3dDevice->SetPixelShader(nullptr);
    pd3dDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    pd3dDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    pd3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(BackgroundVertex));
}

HRESULT CKitDialog::OnRender(float fElapsedTime) {
    if (!KitGuiCheck(m_pManager && m_pManager->GetD3DDevice() && m_pManager->GetStateBlock(), kHookUpManager))
        return E_FAIL;

    if (s_fRefreshStamp > m_fLastRefresh) {
        m_fLastRefresh = KitCurrentTime();
        ResetControls();
    }

    if (!m_bShown || (m_bCollapsed && !m_bHasTitleBar)) return S_OK;

    IDirect3DDevice9* pd3dDevice = m_pManager->GetD3DDevice();
    IDirect3DStateBlock9* pStateBlock = m_pManager->GetStateBlock();
    ID3DXSprite* pSprite = m_pManager->GetSpriteBatch();
    pStateBlock->Capture();
    SetDialogRenderStates(pd3dDevice);

    const bool bBackground =
        ((m_clrTopLeft | m_clrTopRight | m_clrBottomLeft | m_clrBottomRight) & 0xFF000000) != 0;
    if (!m_bCollapsed && bBackground) DrawBackground(pd3dDevice);

    pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    pd3dDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    KitTextureSlot* pTextureNode = TextureSlotAt(0);
    pd3dDevice->SetTexture(0, pTextureNode ? pTextureNode->pTex : nullptr);

    // The state block restores the device afterwards, so the sprite saves
    // nothing; it blends, as the render states above ask (this sprite turns
    // blending off unless told to blend).
    if (pSprite) pSprite->Begin(D3DXSPRITE_DONOTSAVESTATE | D3DXSPRITE_ALPHABLEND);

    if (m_bHasTitleBar) {
        RECT rc = {0, -m_nTitleHeight, m_nWidth, 0};
        PaintSprite(&m_TitleElement, &rc);
        rc.left += 5;
        WCHAR wszOutput[256];
        StringCchCopyW(wszOutput, 256, m_wszTitle);
        if (m_bCollapsed) StringCchCatW(wszOutput, 256, L" (Minimized)");
        PaintText(wszOutput, &m_TitleElement, &rc, true);
    }

    if (!m_bCollapsed) {
        for (int i = 0; i < m_ControlList.Length(); ++i) {
            CKitControl* pControl = m_ControlList.GetAt(i);
            if (pControl != s_pFocusedControl) pControl->Draw(pd3dDevice, fElapsedTime);
        }
        // The focused control last, on top (an open list covers what lies below).
        if (OwnsFocus()) s_pFocusedControl->Draw(pd3dDevice, fElapsedTime);
    }

    if (pSprite) pSprite->End();
    pStateBlock->Apply();
    return S_OK;
}

// ---------------------------------------------------------------------------
// Painting services

HRESULT CKitDialog::PaintSprite(CKitSkinElement* pElement, const RECT* prcDest) {
    if (pElement->TintColor.Current.a == 0.0f) return S_OK;

    const RECT rcScreen = ToScreen(prcDest);
    KitTextureSlot* pTextureNode = TextureSlotAt(pElement->nTexture);
    if (!pTextureNode) return E_FAIL;
    ID3DXSprite* pSprite = m_pManager->GetSpriteBatch();
    if (!pSprite || !pTextureNode->pTex) return S_OK;  // nothing to draw with; the build failure was traced

    const RECT& rcSource = pElement->rcSource;
    if (rcSource.right <= rcSource.left || rcSource.bottom <= rcSource.top)
        return S_OK;  // no picture to stretch
    const float fScaleX = float(rcScreen.right - rcScreen.left) / float(rcSource.right - rcSource.left);
    const float fScaleY = float(rcScreen.bottom - rcScreen.top) / float(rcSource.bottom - rcSource.top);
    D3DXMATRIX mTransform;
    D3DXMatrixScaling(&mTransform, fScaleX, fScaleY, 1.0f);
    pSprite->SetTransform(&mTransform);

    const D3DXVECTOR3 vPos(float(rcScreen.left) / fScaleX, float(rcScreen.top) / fScaleY, 0.0f);
    return pSprite->Draw(pTextureNode->pTex, &rcSource, nullptr, &vPos,
                         KitArgbFromColor(pElement->TintColor.Current));
}

HRESULT CKitDialog::PaintText(const WCHAR* strText, CKitSkinElement* pElement, const RECT* prcDest,
                              bool bShadow, int nCount) {
    if (pElement->TextColor.Current.a == 0.0f) return S_OK;

    RECT rcScreen = ToScreen(prcDest);
    ID3DXSprite* pSprite = m_pManager ? m_pManager->GetSpriteBatch() : nullptr;
    if (pSprite) {
        D3DXMATRIX mIdentity;
        D3DXMatrixIdentity(&mIdentity);
        pSprite->SetTransform(&mIdentity);
    }

    KitFontSlot* pFontNode = FontSlotAt(pElement->nFont);
    if (!pFontNode || !pFontNode->pFont) return S_OK;

    // DrawText answers with a height, never a failure code.
    if (bShadow) {
        RECT rcShadow = rcScreen;
        OffsetRect(&rcShadow, 1, 1);
        const D3DCOLOR shadow = D3DCOLOR_ARGB(DWORD(pElement->TextColor.Current.a * 255.0f), 0, 0, 0);
        pFontNode->pFont->DrawTextW(pSprite, strText, nCount, &rcShadow, pElement->dwFormat, shadow);
    }
    pFontNode->pFont->DrawTextW(pSprite, strText, nCount, &rcScreen, pElement->dwFormat,
                                KitArgbFromColor(pElement->TextColor.Current));
    return S_OK;
}

HRESULT CKitDialog::MeasureText(const WCHAR* strText, CKitSkinElement* pElement, RECT* prcDest, int nCount) {
    KitFontSlot* pFontNode = FontSlotAt(pElement->nFont);
    if (!pFontNode || !pFontNode->pFont) return E_FAIL;
    pFontNode->pFont->DrawTextW(nullptr, strText, nCount, prcDest, pElement->dwFormat | DT_CALCRECT, 0);
    return S_OK;
}

HRESULT CKitDialog::PaintRect(const RECT* prcDest, D3DCOLOR color) {
    if (!m_pManager || !m_pManager->GetD3DDevice()) return E_FAIL;
    const RECT rcScreen = ToScreen(prcDest);
    const float l = float(rcScreen.left) - 0.5f, t = float(rcScreen.top) - 0.5f;
    const float r = float(rcScreen.right) - 0.5f, b = float(rcScreen.bottom) - 0.5f;
    const RectVertex vertices[4] = {
        {l, t, 0.5f, 1.0f, color, 0.0f, 0.0f},
        {r, t, 0.5f, 1.0f, color, 0.0f, 0.0f},
        {r, b, 0.5f, 1.0f, color, 0.0f, 0.0f},
        {l, b, 0.5f, 1.0f, color, 0.0f, 0.0f},
    };

    IDirect3DDevice9* pd3dDevice = m_pManager->GetD3DDevice();
    if (ID3DXSprite* pSprite = m_pManager->GetSpriteBatch()) pSprite->Flush();
    IDirect3DVertexDeclaration9* pDecl = nullptr;
    pd3dDevice->GetVertexDeclaration(&pDecl);
    pd3dDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    const HRESULT hr = pd3dDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(RectVertex));
    pd3dDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pd3dDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    pd3dDevice->SetVertexDeclaration(pDecl);
    if (pDecl) pDecl->Release();
    return hr;
}
