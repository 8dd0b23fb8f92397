// D3DXCheckVersion: the runtime and library versions a caller was built against.
#include "platform/d3dx9core.h"

BOOL D3DXCheckVersion(UINT d3dVersion, UINT d3dxVersion) {
    // The high bit only says whether debug information was requested.
    const UINT runtime = d3dVersion & 0x7FFFFFFFu;
    return (runtime == (D3D_SDK_VERSION & 0x7FFFFFFFu) && d3dxVersion == D3DX_SDK_VERSION) ? TRUE : FALSE;
}
