// D3DXCheckVersion: the runtime and library versions a caller was built against.
#include "platform/d3dx9core.h"

BOOL D3DXCheckVersion(UINT D3DSdkVersion, UINT D3DXSdkVersion) {
    // The high bit only says whether debug information was requested.
    const UINT runtime = D3DSdkVersion & 0x7FFFFFFFu;
    return (runtime == (D3D_SDK_VERSION & 0x7FFFFFFFu) && D3DXSdkVersion == D3DX_SDK_VERSION) ? TRUE : FALSE;
}
