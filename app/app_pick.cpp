// Picking from the screen: unprojects a client-area point through the
// device's current projection and view into a world-space ray.
#include "app/app_pick.h"

#include "app/puzzle_cube.h"

bool AppPickRay(IDirect3DDevice9* pd3dDevice, UINT x, UINT y, D3DXVECTOR3* pvOrigin, D3DXVECTOR3* pvDir) {
    if (!pd3dDevice) return false;
    D3DVIEWPORT9 vp{};
    D3DXMATRIX mProj, mView;
    if (FAILED(pd3dDevice->GetViewport(&vp)) || vp.Width == 0 || vp.Height == 0) return false;
    if (FAILED(pd3dDevice->GetTransform(D3DTS_PROJECTION, &mProj))) return false;
    if (mProj._11 == 0.0f || mProj._22 == 0.0f) return false;

    // The viewport's own offsets are not subtracted: points are client coordinates.
    const float px = (2.0f * x / vp.Width - 1.0f) / mProj._11;
    const float py = (-2.0f * y / vp.Height + 1.0f) / mProj._22;
    const D3DXVECTOR3 vViewOrigin(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 vViewDir(px, py, 1.0f);

    D3DXMATRIX mViewInv;
    if (FAILED(pd3dDevice->GetTransform(D3DTS_VIEW, &mView))) return false;
    // A singular view leaves the inverse unwritten: no ray.
    if (!D3DXMatrixInverse(&mViewInv, nullptr, &mView)) return false;

    D3DXVec3TransformCoord(pvOrigin, &vViewOrigin, &mViewInv);
    D3DXVec3TransformNormal(pvDir, &vViewDir, &mViewInv);
    D3DXVec3Normalize(pvDir, pvDir);
    return true;
}

bool AppPick(IDirect3DDevice9* pd3dDevice, CPuzzleCube& cube, UINT x, UINT y) {
    D3DXVECTOR3 vOrigin, vDir;
    if (!AppPickRay(pd3dDevice, x, y, &vOrigin, &vDir)) return false;
    return cube.PickCubie(vOrigin, vDir);
}
