// Arcball: ball mapping, arc quaternion, drags and the arcball's own mouse handler.
#include "common/kitmisc/arcball.h"

#include <cmath>

CKitArcBall::CKitArcBall() {
    ResetBall();
    m_vPressPoint = D3DXVECTOR3(0, 0, 0);
    m_vDragPoint = D3DXVECTOR3(0, 0, 0);
    m_ptOrigin.x = 0;
    m_ptOrigin.y = 0;
    m_ptLastPointer.x = 0;
    m_ptLastPointer.y = 0;

    // The foreground window's client size; the owner sets the real size later.
    RECT rc = {0, 0, 0, 0};
    GetClientRect(GetForegroundWindow(), &rc);
    SetArea(rc.right, rc.bottom, 0.9f);
}

void CKitArcBall::ResetBall() {
    D3DXQuaternionIdentity(&m_qAtPress);
    D3DXQuaternionIdentity(&m_qCurrent);
    D3DXMatrixIdentity(&m_mSpin);
    D3DXMatrixIdentity(&m_mShift);
    D3DXMatrixIdentity(&m_mShiftStep);
    m_bDragging = false;
    m_fShiftScale = 1.0f;
    m_fBallRadius = 1.0f;
}

void CKitArcBall::SetArea(INT nWidth, INT nHeight, float fBallRadius) {
    m_nAreaWidth = nWidth;
    m_nAreaHeight = nHeight;
    m_fBallRadius = fBallRadius;
    m_vAreaCenter = D3DXVECTOR2(nWidth / 2.0f, nHeight / 2.0f);
}

void CKitArcBall::SetAreaOrigin(INT x, INT y) {
    m_ptOrigin.x = x;
    m_ptOrigin.y = y;
}

D3DXVECTOR3 CKitArcBall::PointOnBall(float x, float y) const {
    // Half-sizes in integer arithmetic, as the area is measured in whole pixels.
    const INT hx = m_nAreaWidth / 2;
    const INT hy = m_nAreaHeight / 2;
    float bx = -((x - m_ptOrigin.x) - hx) / (m_nAreaWidth * m_fBallRadius / 2);
    float by = ((y - m_ptOrigin.y) - hy) / (m_nAreaHeight * m_fBallRadius / 2);

    const float m = bx * bx + by * by;
    if (m > 1.0f) {
        const float s = 1.0f / sqrtf(m);
        return D3DXVECTOR3(bx * s, by * s, 0.0f);
    }
    return D3DXVECTOR3(bx, by, sqrtf(1.0f - m));
}

D3DXQUATERNION CKitArcBall::ArcQuaternion(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo) {
    D3DXVECTOR3 axis;
    D3DXVec3Cross(&axis, &vFrom, &vTo);
    return D3DXQUATERNION(axis.x, axis.y, axis.z, D3DXVec3Dot(&vFrom, &vTo));
}

void CKitArcBall::BeginDrag(int x, int y) {
    if (x < m_ptOrigin.x || x >= m_ptOrigin.x + m_nAreaWidth || y < m_ptOrigin.y ||
        y >= m_ptOrigin.y + m_nAreaHeight)
        return;
    m_bDragging = true;
    m_qAtPress = m_qCurrent;
    m_vPressPoint = PointOnBall(static_cast<float>(x), static_cast<float>(y));
}

void CKitArcBall::ContinueDrag(int x, int y) {
    if (!m_bDragging) return;
    m_vDragPoint = PointOnBall(static_cast<float>(x), static_cast<float>(y));
    const D3DXQUATERNION qArc = ArcQuaternion(m_vPressPoint, m_vDragPoint);
    D3DXQuaternionMultiply(&m_qCurrent, &m_qAtPress, &qArc);
}

void CKitArcBall::EndDrag() { m_bDragging = false; }

const D3DXMATRIX* CKitArcBall::SpinMatrix() { return D3DXMatrixRotationQuaternion(&m_mSpin, &m_qCurrent); }

bool CKitArcBall::ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg < WM_MOUSEMOVE || uMsg > WM_MBUTTONDBLCLK) return false;

    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);

    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCapture(hWnd);
            BeginDrag(x, y);
            break;
        case WM_LBUTTONUP:
            ReleaseCapture();
            EndDrag();
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            SetCapture(hWnd);
            m_ptLastPointer.x = x;
            m_ptLastPointer.y = y;
            break;
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            ReleaseCapture();
            break;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) {
                ContinueDrag(x, y);
            } else if (wParam & (MK_RBUTTON | MK_MBUTTON)) {
                // An empty area has no scale for a shift: nothing moves.
                if (m_nAreaWidth <= 0 || m_nAreaHeight <= 0) break;
                const float dy = (m_ptLastPointer.y - y) * m_fShiftScale / m_nAreaHeight;
                if (wParam & MK_RBUTTON) {
                    const float dx = -2.0f * m_fShiftScale * (m_ptLastPointer.x - x) / m_nAreaWidth;
                    D3DXMatrixTranslation(&m_mShiftStep, dx, 2.0f * dy, 0.0f);
                } else {
                    D3DXMatrixTranslation(&m_mShiftStep, 0.0f, 0.0f, 5.0f * dy);
                }
                m_mShift *= m_mShiftStep;
                m_ptLastPointer.x = x;
                m_ptLastPointer.y = y;
            }
            break;
    }
    return true;
}
