// Hello, Tumbral: the smallest complete program on the framework. A window,
// a device, and every frame cleared with one line of text and one button that
// counts its clicks. Copy this file (and its CMakeLists.txt) to start a program
// of your own; docs/writing-an-app.md walks through it.
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/loop/kit_mainloop.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"
#include "common/kitgui/dialog.h"
#include "common/kitmisc/text_writer.h"
#include "platform/d3dx9.h"
#include "platform/win32.h"

namespace {

const int IDC_CLICK_ME = 1;  // the button's control id, as GUI events report it

CKitDialogResourceManager g_DialogResourceManager;  // what every dialog shares: sprite, fonts, textures
CKitDialog g_HelloUI;                               // our one dialog, holding the button
ID3DXFont* g_pFont = nullptr;                       // the line of text
ID3DXSprite* g_pTextSprite = nullptr;               // batches the text's glyphs
int g_nClicks = 0;                                  // what the button counts

// GUI events arrive here from the dialog: which event, from which control.
void OnGuiEvent(UINT nEvent, int nControlId, CKitControl*, void*) {
    if (nEvent == KIT_EVT_BUTTON_CLICKED && nControlId == IDC_CLICK_ME) ++g_nClicks;
}

// The device's life: created, then reset; before every later reset it is lost;
// at the end lost and destroyed. Objects made in "created" (the font) are
// released in "destroyed"; objects tied to the back buffer (the sprite) are made
// in "reset" and released in "lost".
HRESULT OnDeviceCreated(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC*, void*) {
    HRESULT hr = g_DialogResourceManager.OnCreateDevice(pd3dDevice);
    if (FAILED(hr)) return hr;
    return D3DXCreateFontW(pd3dDevice, 20, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &g_pFont);
}

HRESULT OnDeviceReset(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC* pBackBuffer, void*) {
    HRESULT hr = g_DialogResourceManager.OnResetDevice();
    if (FAILED(hr)) return hr;
    if (FAILED(hr = g_pFont->OnResetDevice())) return hr;
    if (FAILED(hr = D3DXCreateSprite(pd3dDevice, &g_pTextSprite))) return hr;
    // The back buffer may have a new size: the button stays centred below the text.
    g_HelloUI.MoveTo(int(pBackBuffer->Width) / 2 - 80, int(pBackBuffer->Height) / 2 - 20);
    g_HelloUI.SetDialogSize(160, 40);
    return S_OK;
}

void OnDeviceLost(void*) {
    g_DialogResourceManager.OnDeviceLost();
    if (g_pFont) g_pFont->OnLostDevice();
    if (g_pTextSprite) g_pTextSprite->Release();
    g_pTextSprite = nullptr;
}

void OnDeviceDestroyed(void*) {
    g_DialogResourceManager.OnDeviceDestroyed();
    if (g_pFont) g_pFont->Release();
    g_pFont = nullptr;
}

// One frame: clear, then draw inside BeginScene / EndScene; the framework presents.
void OnFrameRender(IDirect3DDevice9* pd3dDevice, double, float fElapsedTime, void*) {
    pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(32, 64, 96), 1.0f, 0);
    if (FAILED(pd3dDevice->BeginScene())) return;

    CKitTextWriter text(g_pFont, g_pTextSprite, 24);
    text.BeginText();
    text.SetTextOrigin(20, 20);
    text.SetTextColor(D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f));
    text.DrawTextLineFormatted(L"Hello, Tumbral! The button has been clicked %d times.", g_nClicks);
    text.EndText();

    g_HelloUI.OnRender(fElapsedTime);
    pd3dDevice->EndScene();
}

// Window messages: the GUI sees them first; what it takes goes no further.
// (Escape, Alt+Enter and the other hot keys are the framework's own.)
LRESULT OnMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool* pbNoFurtherProcessing, void*) {
    *pbNoFurtherProcessing = g_DialogResourceManager.MsgProc(hWnd, uMsg, wParam, lParam);
    if (*pbNoFurtherProcessing) return 0;
    *pbNoFurtherProcessing = g_HelloUI.ProcessMessage(hWnd, uMsg, wParam, lParam);
    return 0;
}

}  // namespace

// The platform's entry calls wWinMain, as Windows does.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // 1. Tell the framework what to call.
    KitRegisterDeviceCreated(OnDeviceCreated);
    KitRegisterDeviceReset(OnDeviceReset);
    KitRegisterDeviceLost(OnDeviceLost);
    KitRegisterDeviceDestroyed(OnDeviceDestroyed);
    KitRegisterFrameRender(OnFrameRender);
    KitRegisterMsgProc(OnMessage);

    // 2. The dialog and its button (hot key C), before any device exists.
    g_HelloUI.Init(&g_DialogResourceManager);
    g_HelloUI.SetEventHandler(OnGuiEvent);
    g_HelloUI.CreateButton(IDC_CLICK_ME, L"Click me", 0, 0, 160, 40, 'C');

    // 3. Start the framework, make the window and the device, run until the window closes.
    KitStartup();
    KitCreateWindow(L"Hello, Tumbral");
    KitBuildDevice(0, true, 640, 480);
    KitMainLoop();

    // 4. Release the device now, so that a leaked reference shows in the exit code.
    KitTerminate(0);
    return KitProcessExitCode();
}
