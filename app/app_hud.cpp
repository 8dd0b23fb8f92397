// The HUD: two statistics lines at the top left, and near the bottom left
// either the help block or a one-line hint, and during a game its lines at
// the bottom right; its font and sprite follow the device.
#include "app/app_callbacks.h"
#include "app/app_game.h"
#include "app/app_globals.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/time/kit_frame_stats.h"
#include "common/kitmisc/text_writer.h"

void AppDrawHud() {
    CKitTextWriter txtHelper(g_pFont, g_pTextSprite, 15);
    txtHelper.BeginText();

    txtHelper.SetTextOrigin(5, 5);
    txtHelper.SetTextColor(D3DXCOLOR(1.0f, 1.0f, 0.0f, 1.0f));
    txtHelper.DrawTextLine(KitFrameStatsText(true));
    txtHelper.DrawTextLine(KitDeviceStatsText());

    const int nBackBufferHeight = static_cast<int>(KitGetBackBufferSurfaceDesc()->Height);
    if (g_bHelpVisible) {
        txtHelper.SetTextOrigin(10, nBackBufferHeight - 15 * 6);
        txtHelper.SetTextColor(D3DXCOLOR(1.0f, 0.75f, 0.0f, 1.0f));
        txtHelper.DrawTextLine(L"Controls (F1 to hide):");
        txtHelper.SetTextOrigin(40, nBackBufferHeight - 15 * 5);
        txtHelper.DrawTextLine(L"Quit: ESC");
    } else {
        txtHelper.SetTextOrigin(10, nBackBufferHeight - 15 * 2);
        txtHelper.SetTextColor(D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f));
        txtHelper.DrawTextLine(L"Press F1 for help");
    }
    AppDrawGameLines(txtHelper, static_cast<int>(KitGetBackBufferSurfaceDesc()->Width), nBackBufferHeight);
    txtHelper.EndText();
}

HRESULT AppHudDeviceCreated(IDirect3DDevice9* pd3dDevice) {
    HRESULT hr;
    if (FAILED(hr = D3DXCreateFontW(pd3dDevice, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &g_pFont)))
        return KIT_LOG_FAILURE(
            L"D3DXCreateFont( pd3dDevice, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, "
            L"OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L\"Arial\", "
            L"&g_pFont )",
            hr);
    return S_OK;
}

HRESULT AppHudDeviceReset(IDirect3DDevice9* pd3dDevice) {
    HRESULT hr;
    if (g_pFont && FAILED(hr = g_pFont->OnResetDevice()))
        return KIT_LOG_FAILURE(L"g_pFont->OnResetDevice()", hr);
    if (FAILED(hr = D3DXCreateSprite(pd3dDevice, &g_pTextSprite)))
        return KIT_LOG_FAILURE(L"D3DXCreateSprite(pd3dDevice,&g_pTextSprite)", hr);
    return S_OK;
}

void AppHudDeviceLost() {
    if (g_pFont) g_pFont->OnLostDevice();
    if (g_pTextSprite) {
        g_pTextSprite->Release();
        g_pTextSprite = nullptr;
    }
}

void AppHudDeviceDestroyed() {
    if (g_pFont) {
        g_pFont->Release();
        g_pFont = nullptr;
    }
}
