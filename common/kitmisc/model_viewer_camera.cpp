// Model-viewer camera: arcball drags, wheel zoom and the per-frame update of
// the view and world matrices.
#include "common/kitmisc/model_viewer_camera.h"

#include <cfloat>
#include <climits>

namespace {

// Whether a button message belongs to one of the BTN_MASK_* bits in nMask.
bool IsButtonDown(UINT uMsg, INT nMask) {
    return ((uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK) && (nMask & BTN_MASK_LEFT)) ||
           ((uMsg == WM_MBUTTONDOWN || uMsg == WM_MBUTTONDBLCLK) && (nMask & BTN_MASK_MIDDLE)) ||
           ((uMsg == WM_RBUTTONDOWN || uMsg == WM_RBUTTONDBLCLK) && (nMask & BTN_MASK_RIGHT));
}

bool IsButtonUp(UINT uMsg, INT nMask) {
    return (uMsg == WM_LBUTTONUP && (nMask & BTN_MASK_LEFT)) ||
           (uMsg == WM_MBUTTONUP && (nMask & BTN_MASK_MIDDLE)) ||
           (uMsg == WM_RBUTTONUP && (nMask & BTN_MASK_RIGHT));
}

// The distance from a to b, limited to what an INT holds.
INT SpanOf(LONG a, LONG b) {
    const long long span = static_cast<long long>(b) - a;
    return span > INT_MAX ? INT_MAX : span < INT_MIN ? INT_MIN : static_cast<INT>(span);
}

// The first three components of a matrix row as a vector.
D3DXVECTOR3 Row(const D3DXMATRIX& m, int r) { return D3DXVECTOR3(m.m[r][0], m.m[r][1], m.m[r][2]); }

void SetRow(D3DXMATRIX& m, int r, const D3DXVECTOR3& v) {
    m.m[r][0] = v.x;
    m.m[r][1] = v.y;
    m.m[r][2] = v.z;
}

}  // namespace

CModelViewerCamera::CModelViewerCamera() {
    m_vModelPivot = D3DXVECTOR3(0, 0, 0);
    D3DXMatrixIdentity(&m_mModelRotPrev);
    D3DXMatrixIdentity(&m_mModelRotation);
    D3DXMatrixIdentity(&m_mWorldMatrix);
    D3DXMatrixIdentity(&m_mOrbitRotPrev);
    m_nModelButtons = BTN_MASK_LEFT;
    m_nZoomButtons = BTN_MASK_WHEEL;
    m_nOrbitButtons = BTN_MASK_RIGHT;
    m_bCarryModel = false;
    m_fDistance = 5.0f;
    m_fStartDistance = 5.0f;
    m_fMinDistance = 1.0f;
    m_fMaxDistance = FLT_MAX;
    m_bDirty = true;
    // Only game-pad sticks move the target.
    m_bMoveEnabled = false;
}

bool CModelViewerCamera::ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CBaseCamera::ProcessMessage(hWnd, uMsg, wParam, lParam);

    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);

    if (IsButtonDown(uMsg, m_nModelButtons)) m_ModelArcBall.BeginDrag(x, y);
    if (IsButtonDown(uMsg, m_nOrbitButtons)) m_OrbitArcBall.BeginDrag(x, y);

    if (uMsg == WM_MOUSEMOVE) {
        m_ModelArcBall.ContinueDrag(x, y);
        m_OrbitArcBall.ContinueDrag(x, y);
    }

    if (IsButtonUp(uMsg, m_nModelButtons)) m_ModelArcBall.EndDrag();
    if (IsButtonUp(uMsg, m_nOrbitButtons)) m_OrbitArcBall.EndDrag();
    // The base let go of the buttons when the window lost activation.
    if (uMsg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        m_ModelArcBall.EndDrag();
        m_OrbitArcBall.EndDrag();
    }

    if (uMsg >= WM_MOUSEMOVE && uMsg <= WM_MOUSEWHEEL) m_bDirty = true;
    return false;
}

void CModelViewerCamera::Advance(float fElapsedTime) {
    if (IsKeyHeld(m_aKeyState[CamKeyReset])) ResetToDefault();

    // Idle between inputs: the matrices keep their values.
    if (!m_bDirty && m_nHeldKeys == 0) return;
    m_bDirty = false;

    GatherInput(m_bMoveEnabled, m_nButtonsDown != 0, true, false);
    UpdateMotion(fElapsedTime);
    const D3DXVECTOR3 vMove = m_vVelocityNow * fElapsedTime;

    if (m_nWheelNotches != 0 && m_nZoomButtons == BTN_MASK_WHEEL) {
        m_fDistance -= m_fDistance * m_nWheelNotches * 0.1f;
        if (m_fDistance > m_fMaxDistance) m_fDistance = m_fMaxDistance;
        if (m_fDistance < m_fMinDistance) m_fDistance = m_fMinDistance;
        m_nWheelNotches = 0;
    }

    // The camera's orientation in world space.
    D3DXMATRIX mOrbit;
    D3DXMatrixIdentity(&mOrbit);
    D3DXMatrixInverse(&mOrbit, nullptr, m_OrbitArcBall.SpinMatrix());
    const D3DXVECTOR3 vLocalUp(0.0f, 1.0f, 0.0f);
    const D3DXVECTOR3 vLocalAhead(0.0f, 0.0f, 1.0f);
    D3DXVECTOR3 vWorldUp;
    D3DXVECTOR3 vWorldAhead;
    D3DXVec3TransformCoord(&vWorldUp, &vLocalUp, &mOrbit);
    D3DXVec3TransformCoord(&vWorldAhead, &vLocalAhead, &mOrbit);

    D3DXVECTOR3 vWorldMove;
    D3DXVec3TransformCoord(&vWorldMove, &vMove, &mOrbit);
    m_vTargetPos += vWorldMove;
    if (m_bClampToBox) ClampToBounds(&m_vTargetPos);

    m_vEyePos = m_vTargetPos - vWorldAhead * m_fDistance;
    D3DXMatrixLookAtLH(&m_mViewMatrix, &m_vEyePos, &m_vTargetPos, &vWorldUp);

    // The model's rotation since the last update, made in view space, applied in world space.
    D3DXMATRIX mInvView;
    D3DXMatrixIdentity(&mInvView);
    D3DXMatrixInverse(&mInvView, nullptr, &m_mViewMatrix);
    mInvView._41 = 0.0f;
    mInvView._42 = 0.0f;
    mInvView._43 = 0.0f;
    D3DXMATRIX mPrevInv;
    D3DXMatrixIdentity(&mPrevInv);
    D3DXMatrixInverse(&mPrevInv, nullptr, &m_mModelRotPrev);
    const D3DXMATRIX mModelNow = *m_ModelArcBall.SpinMatrix();
    m_mModelRotation *= m_mViewMatrix * mPrevInv * mModelNow * mInvView;

    if (m_OrbitArcBall.IsDragging() && m_bCarryModel && !IsKeyHeld(m_aKeyState[CamKeyControl])) {
        D3DXMATRIX mOrbitPrevInv;
        D3DXMatrixIdentity(&mOrbitPrevInv);
        D3DXMatrixInverse(&mOrbitPrevInv, nullptr, &m_mOrbitRotPrev);
        m_mModelRotation *= mOrbitPrevInv * mOrbit;
    }
    m_mOrbitRotPrev = mOrbit;
    m_mModelRotPrev = mModelNow;

    // Keep the accumulated rotation orthonormal against drift.
    D3DXVECTOR3 vX = Row(m_mModelRotation, 0);
    D3DXVECTOR3 vY;
    D3DXVECTOR3 vZ = Row(m_mModelRotation, 2);
    D3DXVec3Normalize(&vX, &vX);
    D3DXVec3Cross(&vY, &vZ, &vX);
    D3DXVec3Normalize(&vY, &vY);
    D3DXVec3Cross(&vZ, &vX, &vY);
    SetRow(m_mModelRotation, 0, vX);
    SetRow(m_mModelRotation, 1, vY);
    SetRow(m_mModelRotation, 2, vZ);

    m_mModelRotation._41 = m_vTargetPos.x;
    m_mModelRotation._42 = m_vTargetPos.y;
    m_mModelRotation._43 = m_vTargetPos.z;

    D3DXMATRIX mPivot;
    D3DXMatrixTranslation(&mPivot, -m_vModelPivot.x, -m_vModelPivot.y, -m_vModelPivot.z);
    D3DXMatrixMultiply(&m_mWorldMatrix, &mPivot, &m_mModelRotation);
}

void CModelViewerCamera::SetEyeAndTarget(const D3DXVECTOR3* pvEye, const D3DXVECTOR3* pvTarget) {
    CBaseCamera::SetEyeAndTarget(pvEye, pvTarget);
    if (!pvEye || !pvTarget) return;

    const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
    D3DXMATRIX mLookAt;
    D3DXMatrixLookAtLH(&mLookAt, pvEye, pvTarget, &vUp);
    D3DXQUATERNION q;
    D3DXQuaternionRotationMatrix(&q, &mLookAt);
    m_OrbitArcBall.SetCurrentQuat(q);

    const D3DXVECTOR3 vToEye = *pvTarget - *pvEye;
    SetDistanceLimits(D3DXVec3Length(&vToEye), 1.0f, FLT_MAX);
    m_bDirty = true;
}

void CModelViewerCamera::ResetToDefault() {
    CBaseCamera::ResetToDefault();
    D3DXMatrixIdentity(&m_mWorldMatrix);
    D3DXMatrixIdentity(&m_mModelRotation);
    D3DXMatrixIdentity(&m_mModelRotPrev);
    D3DXMatrixIdentity(&m_mOrbitRotPrev);
    m_fDistance = m_fStartDistance;
    m_ModelArcBall.ResetBall();
    m_OrbitArcBall.ResetBall();
}

void CModelViewerCamera::SetDragArea(const RECT* pRect) {
    CBaseCamera::SetDragArea(pRect);
    if (!pRect) return;
    m_ModelArcBall.SetAreaOrigin(pRect->left, pRect->top);
    m_OrbitArcBall.SetAreaOrigin(pRect->left, pRect->top);
    // Measured wide: the unlimited default area spans more than an INT can hold.
    SetViewportSize(SpanOf(pRect->left, pRect->right), SpanOf(pRect->top, pRect->bottom), 0.9f);
}

void CModelViewerCamera::SetViewportSize(INT nWidth, INT nHeight, float fBallRadius) {
    m_ModelArcBall.SetArea(nWidth, nHeight, fBallRadius);
    m_OrbitArcBall.SetArea(nWidth, nHeight, fBallRadius);
}

void CModelViewerCamera::SetDistanceLimits(float fDistance, float fMinDistance, float fMaxDistance) {
    m_fDistance = m_fStartDistance = fDistance;
    m_fMinDistance = fMinDistance;
    m_fMaxDistance = fMaxDistance;
    m_bDirty = true;
}

void CModelViewerCamera::SetButtonRoles(INT nModelButtons, INT nZoomButtons, INT nOrbitButtons) {
    m_nModelButtons = nModelButtons;
    m_nZoomButtons = nZoomButtons;
    m_nOrbitButtons = nOrbitButtons;
}
