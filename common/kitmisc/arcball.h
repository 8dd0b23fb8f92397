// Arcball: turns mouse drags inside a rectangular area into a rotation.
//
// The area is mapped onto a virtual ball; the press point and the current
// point become two points on it, and the rotation carrying one to the other
// is composed onto the rotation held when the drag began. The model-viewer
// camera drives two of these through BeginDrag / ContinueDrag / EndDrag.
#pragma once

#include "platform/d3dx9math.h"
#include "platform/win32.h"

class CKitArcBall {
  public:
    CKitArcBall();

    // Identity rotation and shifts, no drag, ball radius 1.0, shift scale 1.0.
    void ResetBall();
    void SetArea(INT nWidth, INT nHeight, float fBallRadius);
    void SetAreaOrigin(INT x, INT y);

    // x and y are window client pixels.
    void BeginDrag(int x, int y);
    void ContinueDrag(int x, int y);
    void EndDrag();

    // Own mouse handling: left drag rotates, right and middle drags shift.
    bool ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Rotation matrix of the current rotation (also cached in m_mSpin).
    const D3DXMATRIX* SpinMatrix();
    const D3DXMATRIX* ShiftMatrix() const { return &m_mShift; }
    D3DXQUATERNION CurrentQuat() const { return m_qCurrent; }
    void SetCurrentQuat(const D3DXQUATERNION& q) { m_qCurrent = q; }
    bool IsDragging() const { return m_bDragging; }

    // The ball point under a window point: x mirrored, y downwards; points
    // outside the ball's circle land on its rim (z = 0).
    D3DXVECTOR3 PointOnBall(float x, float y) const;

    // The quaternion (from × to, from · to): twice the angle between the points.
    static D3DXQUATERNION ArcQuaternion(const D3DXVECTOR3& vFrom, const D3DXVECTOR3& vTo);

  private:
    D3DXMATRIX m_mSpin;         // rotation matrix of m_qCurrent, refreshed by SpinMatrix
    D3DXMATRIX m_mShift;        // accumulated translation (own message handler only)
    D3DXMATRIX m_mShiftStep;    // last translation step (own message handler only)
    POINT m_ptOrigin;           // top-left corner of the area, client pixels
    INT m_nAreaWidth;           // area width in pixels
    INT m_nAreaHeight;          // area height in pixels
    D3DXVECTOR2 m_vAreaCenter;  // (width / 2, height / 2)
    float m_fBallRadius;        // ball radius as a fraction of the half-sizes
    float m_fShiftScale;        // scale of translation drags
    D3DXQUATERNION m_qAtPress;  // rotation when the current drag began
    D3DXQUATERNION m_qCurrent;  // current rotation
    bool m_bDragging;           // a rotation drag is under way
    POINT m_ptLastPointer;      // last pointer position of a translation drag
    D3DXVECTOR3 m_vPressPoint;  // ball point of the press
    D3DXVECTOR3 m_vDragPoint;   // ball point of the latest move
};
