// Base camera: construction, message handling, placement, projection and the
// input-to-motion steps the derived cameras run each frame.
#include "common/kit/state/kit_getters.h"
#include "common/kitmisc/base_camera.h"

#include <climits>
#include <cmath>
#include <cstring>

CBaseCamera::CBaseCamera() {
    memset(m_aPads, 0, sizeof(m_aPads));
    m_vLeftStick = D3DXVECTOR3(0, 0, 0);
    m_vRightStick = D3DXVECTOR3(0, 0, 0);
    for (double& t : m_adPadLastActive) t = 0.0;
    m_nHeldKeys = 0;
    memset(m_aKeyState, 0, sizeof(m_aKeyState));
    m_vKeyMove = D3DXVECTOR3(0, 0, 0);
    m_ptLastCursor.x = 0;
    m_ptLastCursor.y = 0;
    GetCursorPos(&m_ptLastCursor);
    m_bLeftDown = false;
    m_bMiddleDown = false;
    m_bRightDown = false;
    m_nButtonsDown = 0;
    m_nWheelNotches = 0;
    m_vCursorDelta = D3DXVECTOR2(0, 0);
    m_fSmoothFrames = 2.0f;
    m_fYaw = 0.0f;
    m_fPitch = 0.0f;
    m_rcDragArea.left = INT_MIN;
    m_rcDragArea.top = INT_MIN;
    m_rcDragArea.right = INT_MAX;
    m_rcDragArea.bottom = INT_MAX;
    m_vVelocityNow = D3DXVECTOR3(0, 0, 0);
    m_bDamping = false;
    m_vDampStep = D3DXVECTOR3(0, 0, 0);
    m_fDampTimer = 0.0f;
    m_fDampTime = 0.25f;
    m_vTurnRate = D3DXVECTOR2(0, 0);
    m_fTurnScale = 0.01f;
    m_fMoveScale = 5.0f;
    m_bInvertY = false;
    m_bMoveEnabled = true;
    m_bVerticalMove = true;
    m_bClampToBox = false;
    m_vBoxMin = D3DXVECTOR3(-1.0f, -1.0f, -1.0f);
    m_vBoxMax = D3DXVECTOR3(1.0f, 1.0f, 1.0f);

    // This class's placement, not a derived one's: the derived part does not exist yet.
    const D3DXVECTOR3 vEye(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 vTarget(0.0f, 0.0f, 1.0f);
    CBaseCamera::SetEyeAndTarget(&vEye, &vTarget);
    SetPerspective(D3DX_PI / 4, 1.0f, 1.0f, 1000.0f);
}

CamKey CBaseCamera::KeyToAction(UINT nKey) {
    switch (nKey) {
        case VK_CONTROL:
            return CamKeyControl;
        case VK_LEFT:
        case 'A':
        case VK_NUMPAD4:
            return CamKeyStrafeLeft;
        case VK_RIGHT:
        case 'D':
        case VK_NUMPAD6:
            return CamKeyStrafeRight;
        case VK_UP:
        case 'W':
        case VK_NUMPAD8:
            return CamKeyForward;
        case VK_DOWN:
        case 'S':
        case VK_NUMPAD2:
            return CamKeyBackward;
        case VK_PRIOR:
        case 'E':
        case VK_NUMPAD9:
            return CamKeyUp;
        case VK_NEXT:
        case 'Q':
        case VK_NUMPAD3:
            return CamKeyDown;
        case VK_HOME:
            return CamKeyReset;
        default:
            return CamKeyNone;
    }
}

bool CBaseCamera::ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    POINT pt;
    pt.x = GET_X_LPARAM(lParam);
    pt.y = GET_Y_LPARAM(lParam);

    switch (uMsg) {
        case WM_KEYDOWN: {
            const CamKey k = KeyToAction(static_cast<UINT>(wParam));
            if (k != CamKeyNone && !IsKeyHeld(m_aKeyState[k])) {
                m_aKeyState[k] = KEYSTATE_HELD | KEYSTATE_SEEN;
                ++m_nHeldKeys;
            }
            break;
        }
        case WM_KEYUP: {
            // Only a key this camera saw go down counts down again: a key whose
            // press went to another window must not make the count negative.
            const CamKey k = KeyToAction(static_cast<UINT>(wParam));
            if (k != CamKeyNone && k < CamKeyCount && IsKeyHeld(m_aKeyState[k])) {
                m_aKeyState[k] &= ~KEYSTATE_HELD;
                --m_nHeldKeys;
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: {
            const bool bInside = PtInRect(&m_rcDragArea, pt) != FALSE;
            if (bInside && (uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK)) {
                m_bLeftDown = true;
                m_nButtonsDown |= BTN_MASK_LEFT;
            }
            if (bInside && (uMsg == WM_MBUTTONDOWN || uMsg == WM_MBUTTONDBLCLK)) {
                m_bMiddleDown = true;
                m_nButtonsDown |= BTN_MASK_MIDDLE;
            }
            if (bInside && (uMsg == WM_RBUTTONDOWN || uMsg == WM_RBUTTONDBLCLK)) {
                m_bRightDown = true;
                m_nButtonsDown |= BTN_MASK_RIGHT;
            }
            SetCapture(hWnd);
            GetCursorPos(&m_ptLastCursor);
            return true;
        }
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
        case WM_RBUTTONUP:
            if (uMsg == WM_LBUTTONUP) {
                m_bLeftDown = false;
                m_nButtonsDown &= ~BTN_MASK_LEFT;
            } else if (uMsg == WM_MBUTTONUP) {
                m_bMiddleDown = false;
                m_nButtonsDown &= ~BTN_MASK_MIDDLE;
            } else {
                m_bRightDown = false;
                m_nButtonsDown &= ~BTN_MASK_RIGHT;
            }
            if (!m_bLeftDown && !m_bMiddleDown && !m_bRightDown) ReleaseCapture();
            break;
        case WM_MOUSEWHEEL:
            // Replaced, not added: only the last wheel message of a frame counts.
            m_nWheelNotches = GET_WHEEL_DELTA_WPARAM(wParam) / 120;
            break;
        case WM_ACTIVATE:
            // Releases made while another window is active never arrive here:
            // nothing may stay held across the deactivation.
            if (LOWORD(wParam) == WA_INACTIVE) ForgetHeldInput();
            break;
    }
    return false;
}

void CBaseCamera::ForgetHeldInput() {
    for (BYTE& state : m_aKeyState) state &= ~KEYSTATE_HELD;
    m_nHeldKeys = 0;
    const bool bHadButtons = m_bLeftDown || m_bMiddleDown || m_bRightDown;
    m_bLeftDown = false;
    m_bMiddleDown = false;
    m_bRightDown = false;
    m_nButtonsDown = 0;
    if (bHadButtons) ReleaseCapture();
}

void CBaseCamera::SetEyeAndTarget(const D3DXVECTOR3* pvEye, const D3DXVECTOR3* pvTarget) {
    if (!pvEye || !pvTarget) return;

    m_vStartEye = m_vEyePos = *pvEye;
    m_vStartTarget = m_vTargetPos = *pvTarget;

    const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&m_mViewMatrix, pvEye, pvTarget, &vUp);

    // The camera's world orientation: the third row of the inverse view is the view direction.
    D3DXMATRIX mInvView;
    D3DXMatrixIdentity(&mInvView);
    D3DXMatrixInverse(&mInvView, nullptr, &m_mViewMatrix);
    const float u = mInvView._31;
    const float v = mInvView._32;
    const float w = mInvView._33;
    m_fYaw = atan2f(u, w);
    m_fPitch = -atan2f(v, sqrtf(w * w + u * u));
}

void CBaseCamera::SetPerspective(float fFovY, float fAspectRatio, float fNearZ, float fFarZ) {
    m_fFovY = fFovY;
    m_fAspectRatio = fAspectRatio;
    m_fNearZ = fNearZ;
    m_fFarZ = fFarZ;
    D3DXMatrixPerspectiveFovLH(&m_mProjMatrix, fFovY, fAspectRatio, fNearZ, fFarZ);
}

void CBaseCamera::ResetToDefault() {
    const D3DXVECTOR3 vEye = m_vStartEye;
    const D3DXVECTOR3 vTarget = m_vStartTarget;
    SetEyeAndTarget(&vEye, &vTarget);
}

void CBaseCamera::SetDragArea(const RECT* pRect) {
    if (pRect) m_rcDragArea = *pRect;
}

void CBaseCamera::SetDamping(bool bDamping, float fDampTime) {
    m_bDamping = bDamping;
    m_fDampTime = fDampTime;
}

void CBaseCamera::SetMoveEnabled(bool bMoveEnabled, bool bVerticalMove) {
    m_bMoveEnabled = bMoveEnabled;
    m_bVerticalMove = bVerticalMove;
}

void CBaseCamera::SetScales(float fTurnScale, float fMoveScale) {
    m_fTurnScale = fTurnScale;
    m_fMoveScale = fMoveScale;
}

void CBaseCamera::SetClampToBox(bool bClampToBox, const D3DXVECTOR3* pvMin, const D3DXVECTOR3* pvMax) {
    m_bClampToBox = bClampToBox;
    if (pvMin) m_vBoxMin = *pvMin;
    if (pvMax) m_vBoxMax = *pvMax;
}

void CBaseCamera::GatherInput(bool bKeyboard, bool bMouse, bool bGamePads, bool bRecentreCursor) {
    m_vKeyMove = D3DXVECTOR3(0, 0, 0);
    if (bKeyboard) {
        if (IsKeyHeld(m_aKeyState[CamKeyForward])) m_vKeyMove.z += 1.0f;
        if (IsKeyHeld(m_aKeyState[CamKeyBackward])) m_vKeyMove.z -= 1.0f;
        if (m_bVerticalMove) {
            if (IsKeyHeld(m_aKeyState[CamKeyUp])) m_vKeyMove.y += 1.0f;
            if (IsKeyHeld(m_aKeyState[CamKeyDown])) m_vKeyMove.y -= 1.0f;
        }
        if (IsKeyHeld(m_aKeyState[CamKeyStrafeRight])) m_vKeyMove.x += 1.0f;
        if (IsKeyHeld(m_aKeyState[CamKeyStrafeLeft])) m_vKeyMove.x -= 1.0f;
    }

    if (bMouse) {
        POINT ptCursor;
        POINT ptRawDelta = {0, 0};
        if (GetCursorPos(&ptCursor)) {
            ptRawDelta.x = ptCursor.x - m_ptLastCursor.x;
            ptRawDelta.y = ptCursor.y - m_ptLastCursor.y;
            m_ptLastCursor = ptCursor;
        }
        if (bRecentreCursor && KitAppActive()) {
            MONITORINFO mi;
            mi.cbSize = sizeof(mi);
            HMONITOR hMonitor = MonitorFromWindow(KitActiveWindow(), MONITOR_DEFAULTTONEAREST);
            if (GetMonitorInfoW(hMonitor, &mi)) {
                POINT ptCentre;
                ptCentre.x = (mi.rcMonitor.left + mi.rcMonitor.right) / 2;
                ptCentre.y = (mi.rcMonitor.top + mi.rcMonitor.bottom) / 2;
                SetCursorPos(ptCentre.x, ptCentre.y);
                m_ptLastCursor = ptCentre;
            }
        }
        const float f = 1.0f / m_fSmoothFrames;
        m_vCursorDelta.x = m_vCursorDelta.x * (1.0f - f) + ptRawDelta.x * f;
        m_vCursorDelta.y = m_vCursorDelta.y * (1.0f - f) + ptRawDelta.y * f;
    }

    if (bGamePads) {
        m_vLeftStick = D3DXVECTOR3(0, 0, 0);
        m_vRightStick = D3DXVECTOR3(0, 0, 0);
        for (DWORD i = 0; i < KIT_MAX_GAMEPADS; ++i) {
            KitPollGamePad(i, &m_aPads[i], true, true);
            if (KitGamePadActive(m_aPads[i])) m_adPadLastActive[i] = KitCurrentTime();
        }

        // The pad used most recently; ties keep the lower index.
        int nMostRecent = -1;
        double dMostRecent = 0.0;
        for (int i = 0; i < KIT_MAX_GAMEPADS; ++i) {
            if (m_adPadLastActive[i] > dMostRecent) {
                dMostRecent = m_adPadLastActive[i];
                nMostRecent = i;
            }
        }
        if (nMostRecent >= 0 && m_aPads[nMostRecent].bConnected) {
            const KitGamePad& pad = m_aPads[nMostRecent];
            m_vLeftStick = D3DXVECTOR3(pad.fThumbLX, 0.0f, pad.fThumbLY);
            m_vRightStick = D3DXVECTOR3(pad.fThumbRX, 0.0f, pad.fThumbRY);
        }
    }
}

void CBaseCamera::UpdateMotion(float fElapsedTime) {
    const D3DXVECTOR2 vStickTurn(m_vRightStick.x * 0.02f, -m_vRightStick.z * 0.02f);
    m_vTurnRate = m_vCursorDelta * m_fTurnScale + vStickTurn;

    D3DXVECTOR3 vAccel = m_vKeyMove + m_vLeftStick;
    D3DXVec3Normalize(&vAccel, &vAccel);
    vAccel *= m_fMoveScale;

    // A decay time of zero stops at once, as without damping.
    if (!m_bDamping || m_fDampTime <= 0.0f) {
        m_vVelocityNow = vAccel;
        return;
    }
    if (D3DXVec3LengthSq(&vAccel) > 0.0f) {
        m_vVelocityNow = vAccel;
        m_fDampTimer = m_fDampTime;
        m_vDampStep = vAccel / m_fDampTimer;
    } else if (m_fDampTimer > 0.0f) {
        // The last step removes only what is left, so the velocity ends at
        // zero instead of overshooting into reverse.
        const float fStep = fElapsedTime < m_fDampTimer ? fElapsedTime : m_fDampTimer;
        m_vVelocityNow -= m_vDampStep * fStep;
        m_fDampTimer -= fElapsedTime;
    } else {
        m_vVelocityNow = D3DXVECTOR3(0, 0, 0);
    }
}

void CBaseCamera::ClampToBounds(D3DXVECTOR3* pv) const {
    pv->x = pv->x <= m_vBoxMin.x ? m_vBoxMin.x : pv->x;
    pv->y = pv->y <= m_vBoxMin.y ? m_vBoxMin.y : pv->y;
    pv->z = pv->z <= m_vBoxMin.z ? m_vBoxMin.z : pv->z;
    pv->x = pv->x >= m_vBoxMax.x ? m_vBoxMax.x : pv->x;
    pv->y = pv->y >= m_vBoxMax.y ? m_vBoxMax.y : pv->y;
    pv->z = pv->z >= m_vBoxMax.z ? m_vBoxMax.z : pv->z;
}
