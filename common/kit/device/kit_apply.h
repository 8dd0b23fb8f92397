// The one place where devices change.
#pragma once

#include "common/kit/state/kit_callbacks.h"

// Veto, window preparation, reset or recreation with the device callbacks,
// window sizing and showing.
HRESULT KitApplyDeviceSetup(const KitDeviceSetup* pNewSetup, IDirect3DDevice9* pd3dDeviceFromApp,
                            bool bForceRecreate, bool bClipWindowToAdapter);
