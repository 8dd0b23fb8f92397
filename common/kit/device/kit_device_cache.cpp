// The device lifecycle's forwarding to the framework-wide resource cache.
#include "common/kit/device/kit_device_cache.h"

#include "common/kit/base/asset_cache.h"

HRESULT KitCacheOnCreateDevice(IDirect3DDevice9* pd3dDevice) {
    return KitAssetCache().OnCreateDevice(pd3dDevice);
}
HRESULT KitCacheOnResetDevice(IDirect3DDevice9* pd3dDevice) {
    return KitAssetCache().OnResetDevice(pd3dDevice);
}
void KitCacheOnDeviceLost() { KitAssetCache().OnDeviceLost(); }
void KitCacheOnDeviceDestroyed() { KitAssetCache().OnDeviceDestroyed(); }
