// The framework's one catalogue: created on first use, kept in the framework
// state, populated with the framework's Direct3D object and the application's
// device-acceptance callback; and the adapter-format lookup used when the
// framework adopts a device the application created.
#include "common/devicecatalog/device_catalog.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

CKitDeviceCatalog& ProcessCatalog() {
    static CKitDeviceCatalog s_catalog;
    return s_catalog;
}

}  // namespace

CKitDeviceCatalog* KitPrepareDeviceCatalog(bool bForce) {
    CKitCoreState& s = KitCore();
    CKitDeviceCatalog* pCatalog = s.Get(&CKitCoreState::m_pCatalog);
    if (pCatalog == nullptr) {
        pCatalog = &ProcessCatalog();
        s.Set(&CKitCoreState::m_pCatalog, pCatalog);
        bForce = true;
    }
    if (bForce) {
        // A failure leaves the catalogue empty or as it was; users see no adapter then.
        pCatalog->Populate(KitGetD3DObject(), s.Get(&CKitCoreState::m_pfnAcceptDevice),
                           s.Get(&CKitCoreState::m_pAcceptDeviceContext));
    }
    return pCatalog;
}

HRESULT KitLookUpAdapterFormat(UINT nOrdinal, D3DDEVTYPE DeviceType, D3DFORMAT BackBufferFormat,
                               BOOL bWindowed, D3DFORMAT* pAdapterFormat) {
    if (pAdapterFormat == nullptr) return E_INVALIDARG;
    CKitCatalogDevice* pDevice = KitPrepareDeviceCatalog()->FindDevice(nOrdinal, DeviceType);
    if (pDevice != nullptr) {
        for (int i = 0; i < pDevice->m_Combos.Length(); ++i) {
            CKitCatalogCombo* pCombo = pDevice->m_Combos.GetAt(i);
            if (pCombo->m_BackBufferFormat == BackBufferFormat &&
                pCombo->m_bWindowed == (bWindowed ? 1 : 0)) {
                *pAdapterFormat = pCombo->m_AdapterFormat;
                return S_OK;
            }
        }
    }
    *pAdapterFormat = BackBufferFormat;
    return E_FAIL;
}
