// CD3DSettingsDlg: a full-screen GUI page on which the user picks every device
// setting (adapter, device type, windowed or full screen, formats, resolution,
// refresh rate, multisampling, vertex processing, vertical sync). Each combo
// box offers only what the device catalogue allows given the boxes above it;
// OK hands the edited record to the framework's device change.
#pragma once

#include "common/kit/state/kit_callbacks.h"
#include "common/kitgui/dialog.h"
#include "common/kitgui/dialog_resource_manager.h"

// Control ids of the page.
#define KIT_SETTINGS_OK 1
#define KIT_SETTINGS_CANCEL 2
#define KIT_SETTINGS_ADAPTER 3
#define KIT_SETTINGS_DEVICE_TYPE 4
#define KIT_SETTINGS_WINDOWED 5
#define KIT_SETTINGS_FULLSCREEN 6
#define KIT_SETTINGS_ADAPTER_FORMAT 7
#define KIT_SETTINGS_ADAPTER_FORMAT_LABEL 8
#define KIT_SETTINGS_RESOLUTION 9
#define KIT_SETTINGS_RESOLUTION_LABEL 10
#define KIT_SETTINGS_REFRESH_RATE 11
#define KIT_SETTINGS_REFRESH_RATE_LABEL 12
#define KIT_SETTINGS_BACK_BUFFER_FORMAT 13
#define KIT_SETTINGS_DEPTH_STENCIL 14
#define KIT_SETTINGS_MULTISAMPLE_TYPE 15
#define KIT_SETTINGS_MULTISAMPLE_QUALITY 16
#define KIT_SETTINGS_VERTEX_PROCESSING 17
#define KIT_SETTINGS_PRESENT_INTERVAL 18
#define KIT_SETTINGS_DEVICECLIP 19
#define KIT_SETTINGS_RESOLUTION_SHOW_ALL 20
#define KIT_SETTINGS_RADIO_GROUP 256

class CKitDeviceCatalog;
class CKitCatalogAdapter;
class CKitCatalogDevice;
class CKitCatalogCombo;

class CD3DSettingsDlg {
  public:
    CD3DSettingsDlg();
    ~CD3DSettingsDlg();
    CD3DSettingsDlg(const CD3DSettingsDlg&) = delete;
    CD3DSettingsDlg& operator=(const CD3DSettingsDlg&) = delete;

    // Initialises the panel with the manager (not attached to its dialog list) and builds the controls.
    void Setup(CKitDialogResourceManager* pManager);
    void BuildControls();

    HRESULT OnCreateDevice(IDirect3DDevice9* pd3dDevice);
    HRESULT OnResetDevice();
    void OnDeviceLost();
    HRESULT OnDeviceDestroyed();
    HRESULT OnRender(float fElapsedTime);
    LRESULT MsgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Activating reloads the page from the framework's current settings.
    void Activate(bool bActivated);
    bool IsActivated() const { return m_bActivated; }
    HRESULT Reload();

    static void WINAPI EventThunk(UINT nEvent, int nControlId, CKitControl* pControl, void* pUserContext);
    void HandleControlEvent(int nControlId);

    CKitDialog* GetPanel() { return &m_Panel; }
    // The record being edited; one per program.
    static KitDeviceSetup* EditedSetup() { return &s_EditedSetup; }

  private:
    CKitCatalogAdapter* CurrentAdapter();
    CKitCatalogDevice* CurrentDevice();
    CKitCatalogCombo* CurrentCombo();

    // The cascade: each stores its box's value and refills the boxes below.
    HRESULT AdapterPicked();
    HRESULT DeviceTypePicked();
    HRESULT WindowModePicked();
    HRESULT AdapterFormatPicked();
    HRESULT ResolutionPicked();
    HRESULT RefreshRatePicked();
    HRESULT BackBufferFormatPicked();
    HRESULT DepthFormatPicked();
    HRESULT SampleTypePicked();
    HRESULT SampleQualityPicked();
    HRESULT VertexProcessingPicked();
    HRESULT PresentIntervalPicked();
    HRESULT DeviceClipPicked();
    // OK: the edited record through the framework's device change.
    void ApplyEditedSetup();

    // Box helpers: an item is added only when no item has its text.
    void AddUnique(int nId, const WCHAR* strText, UINT_PTR data);
    void ChooseData(int nId, UINT_PTR data);
    UINT_PTR ChosenData(int nId) const;
    void Empty(int nId);
    void CheckWindowed(bool bWindowed);
    bool WindowedChecked() const;
    void AddAdapterFormat(D3DFORMAT fmt);
    void AddResolution(UINT width, UINT height);
    void AddRefreshRate(UINT rate);
    void AddBackBufferFormat(D3DFORMAT fmt);
    void AddDepthFormat(D3DFORMAT fmt);
    void AddSampleType(D3DMULTISAMPLE_TYPE type);
    void AddSampleQuality(DWORD level);
    void AddVertexProcessing(DWORD flag);
    void AddPresentInterval(UINT interval);

    IDirect3DStateBlock9* m_pSavedState;  // solid fill for the page; made on reset, released on loss
    CKitDialog m_Panel;                   // every control of the page
    bool m_bActivated;                    // drawn and given messages by the host

    static KitDeviceSetup s_EditedSetup;
};

// Desktop size of the adapter's display from the system's saved display
// settings; 0 x 0 when the lookup fails.
SIZE KitDesktopSizeOfAdapter(UINT nOrdinal);
