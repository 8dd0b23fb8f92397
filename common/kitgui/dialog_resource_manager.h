// CKitDialogResourceManager: what all dialogs share — one sprite, one state
// block that saves device state around dialog drawing, pools of fonts and
// textures (each built once however many dialogs name it) and the ring of
// registered dialogs that keyboard focus travels along.
#pragma once

#include "common/kit/base/growable_array.h"
#include "platform/d3dx9.h"
#include "platform/win32.h"

class CKitDialog;

// A font of the pool; its position in the pool is its index.
struct KitFontSlot {
    WCHAR strFace[MAX_PATH];  // face name
    ID3DXFont* pFont;         // device font; null until built
    LONG nHeight;             // character height in pixels
    LONG nWeight;             // 400 normal, 700 bold
};

// A texture of the pool; its position in the pool is its index.
struct KitTextureSlot {
    BOOL bFromFile;           // loaded from the file strName
    HMODULE hModule;          // module holding a resource texture
    UINT wResourceId;         // non-zero: resource named by this number; 0: by strName
    WCHAR strName[MAX_PATH];  // file or resource name
    IDirect3DTexture9* pTex;  // device texture; null until built
    DWORD nTexWidth;          // width of the source image
    DWORD nTexHeight;         // height of the source image
};

class CKitDialogResourceManager {
  public:
    CKitDialogResourceManager() = default;
    ~CKitDialogResourceManager();
    CKitDialogResourceManager(const CKitDialogResourceManager&) = delete;
    CKitDialogResourceManager& operator=(const CKitDialogResourceManager&) = delete;

    // Device hooks, called by the application before any dialog's.
    HRESULT OnCreateDevice(IDirect3DDevice9* pd3dDevice);
    HRESULT OnResetDevice();
    void OnDeviceLost();
    void OnDeviceDestroyed();
    // First stop of every window message: true when input-method support
    // consumed it (never here: no input-method edit box exists).
    bool MsgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    IDirect3DDevice9* GetD3DDevice() const { return m_pd3dDevice; }
    ID3DXSprite* GetSpriteBatch() const { return m_pSpriteBatch; }
    IDirect3DStateBlock9* GetStateBlock() const { return m_pStateBlock; }

    // Pool index of a font or texture, registering (and building, when a
    // device exists) a new record if none matches; -1 when out of memory.
    int RegisterFont(const WCHAR* strFaceName, LONG height, LONG weight);
    int RegisterTexture(const WCHAR* strFilename);
    int RegisterTexture(const WCHAR* strResourceName, HMODULE hResourceModule);

    KitFontSlot* PoolFontAt(int iIndex) const { return m_FontPool.GetAt(iIndex); }
    KitTextureSlot* PoolTextureAt(int iIndex) const { return m_TexturePool.GetAt(iIndex); }
    int FontCount() const { return m_FontPool.Length(); }
    int TextureCount() const { return m_TexturePool.Length(); }

    HRESULT BuildFont(int iFont);
    HRESULT BuildTexture(int iTexture);

    // The ring of registered dialogs.
    bool AttachDialog(CKitDialog* pDialog);
    void DetachDialog(CKitDialog* pDialog);
    void EnableKeyboardNavEverywhere();
    const CGrowableArray<CKitDialog*>& Dialogs() const { return m_DialogList; }

  private:
    IDirect3DStateBlock9* m_pStateBlock = nullptr;  // all device state; exists between reset and loss
    ID3DXSprite* m_pSpriteBatch = nullptr;          // the sprite every dialog draws with
    CGrowableArray<CKitDialog*> m_DialogList;       // registered dialogs in order; not owned
    CGrowableArray<KitTextureSlot*> m_TexturePool;  // owned texture records
    CGrowableArray<KitFontSlot*> m_FontPool;        // owned font records
    IDirect3DDevice9* m_pd3dDevice = nullptr;       // the device since OnCreateDevice
};
