// The desktop size of an adapter's display, from the system's saved display
// settings of the adapter's device name.
#include "common/devicecatalog/device_catalog.h"
#include "common/kitsettingsdlg/settings_dialog.h"

SIZE KitDesktopSizeOfAdapter(UINT nOrdinal) {
    SIZE size = {0, 0};
    CKitCatalogAdapter* pAdapter = KitPrepareDeviceCatalog()->FindAdapter(nOrdinal);
    if (!pAdapter) return size;

    WCHAR strDeviceName[256];
    const char* pName = pAdapter->m_Identifier.DeviceName;
    int nNameLength = 0;
    while (nNameLength < int(sizeof(pAdapter->m_Identifier.DeviceName)) && pName[nNameLength]) ++nNameLength;
    int nConverted = MultiByteToWideChar(CP_ACP, 0, pName, nNameLength, strDeviceName, 255);
    if (nConverted <= 0) return size;
    strDeviceName[nConverted] = 0;

    DEVMODEW devMode = {};
    devMode.dmSize = sizeof(devMode);
    if (!EnumDisplaySettingsW(strDeviceName, ENUM_REGISTRY_SETTINGS, &devMode)) return size;
    size.cx = LONG(devMode.dmPelsWidth);
    size.cy = LONG(devMode.dmPelsHeight);
    return size;
}
