// The settings and device statistics texts, composed after device changes
// from the current settings and the device catalogue.
#include "common/kit/time/kit_settings_stats.h"

#include <cstring>

#include "common/devicecatalog/device_catalog.h"
#include "common/devicecatalog/enum_names.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

void KitComposeStaticStats() {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bNoStats)) return;
    if (s.Get(&CKitCoreState::m_pCurrentSetup) == nullptr) return;
    KitDeviceSetup setup = KitCurrentSetup();

    CKitDeviceCatalog* pCatalog = KitPrepareDeviceCatalog();
    CKitCatalogCombo* pCombo =
        pCatalog->GetDeviceSettingsCombo(setup.AdapterOrdinal, setup.DeviceType, setup.AdapterFormat,
                                         setup.PresentParams.BackBufferFormat, setup.PresentParams.Windowed);
    if (pCombo == nullptr) return;

    WCHAR strFmt[100];
    if (pCombo->m_AdapterFormat == pCombo->m_BackBufferFormat) {
        StringCchCopyW(strFmt, 100, KitFormatName(pCombo->m_AdapterFormat, false));
    } else {
        StringCchPrintfW(strFmt, 100, L"backbuf %ls, adapter %ls",
                         KitFormatName(pCombo->m_BackBufferFormat, false),
                         KitFormatName(pCombo->m_AdapterFormat, false));
    }

    WCHAR strDepthFmt[100];
    if (setup.PresentParams.EnableAutoDepthStencil)
        StringCchPrintfW(strDepthFmt, 100, L" (%ls)",
                         KitFormatName(setup.PresentParams.AutoDepthStencilFormat, false));
    else
        strDepthFmt[0] = L'\0';

    WCHAR strMultiSample[100];
    switch (static_cast<int>(setup.PresentParams.MultiSampleType)) {
        case 0:
            strMultiSample[0] = L'\0';
            break;
        case 1:
            StringCchCopyW(strMultiSample, 100, L" (Nonmaskable Multisample)");
            break;
        default:
            StringCchPrintfW(strMultiSample, 100, L" (%dx Multisample)",
                             static_cast<int>(setup.PresentParams.MultiSampleType));
            break;
    }

    // The result begins with the slot for the frame-rate text.
    KitStateLock lock;
    StringCchPrintfW(
        s.m_szStaticStats, 256, L"%%lsVsync %ls (%dx%d), %ls%ls%ls",
        setup.PresentParams.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? L"off" : L"on",
        static_cast<int>(setup.PresentParams.BackBufferWidth),
        static_cast<int>(setup.PresentParams.BackBufferHeight), strFmt, strDepthFmt, strMultiSample);
}

void KitComposeDeviceStats(D3DDEVTYPE DeviceType, DWORD BehaviorFlags,
                           D3DADAPTER_IDENTIFIER9* pAdapterIdentifier) {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bNoStats)) return;

    WCHAR strStats[256];
    switch (static_cast<int>(DeviceType)) {
        case 1:
            StringCchCopyW(strStats, 256, L"HAL");
            break;
        case 2:
            StringCchCopyW(strStats, 256, L"REF");
            break;
        case 3:
            StringCchCopyW(strStats, 256, L"SW");
            break;
        default:
            strStats[0] = L'\0';
            break;
    }

    bool bHal = static_cast<int>(DeviceType) == 1;
    if ((BehaviorFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING) && (BehaviorFlags & D3DCREATE_PUREDEVICE))
        StringCchCatW(strStats, 256, bHal ? L" (pure hw vp)" : L" (simulated pure hw vp)");
    else if (BehaviorFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING)
        StringCchCatW(strStats, 256, bHal ? L" (hw vp)" : L" (simulated hw vp)");
    else if (BehaviorFlags & D3DCREATE_MIXED_VERTEXPROCESSING)
        StringCchCatW(strStats, 256, bHal ? L" (mixed vp)" : L" (simulated mixed vp)");
    else if (BehaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING)
        StringCchCatW(strStats, 256, L" (sw vp)");

    if (bHal) {
        StringCchCatW(strStats, 256, L": ");
        KitDeviceSetup setup = KitCurrentSetup();
        CKitDeviceCatalog* pCatalog = KitPrepareDeviceCatalog();
        CKitCatalogCombo* pCombo = pCatalog->GetDeviceSettingsCombo(
            setup.AdapterOrdinal, setup.DeviceType, setup.AdapterFormat, setup.PresentParams.BackBufferFormat,
            setup.PresentParams.Windowed);
        if (pCombo != nullptr) {
            StringCchCatW(strStats, 256, pCombo->m_pAdapter->m_szLabel);
        } else if (pAdapterIdentifier != nullptr) {
            WCHAR strDescription[512];
            strDescription[0] = L'\0';
            // The narrow description need not be terminated within its 512 bytes.
            int cbDescription = static_cast<int>(strnlen(pAdapterIdentifier->Description, 511));
            int cchDescription = MultiByteToWideChar(CP_ACP, 0, pAdapterIdentifier->Description,
                                                     cbDescription, strDescription, 511);
            strDescription[cchDescription > 0 ? cchDescription : 0] = L'\0';
            StringCchCatW(strStats, 256, strDescription);
        }
    }

    KitStateLock lock;
    StringCchCopyW(s.m_szDeviceStats, 256, strStats);
}
