// Model-viewer camera: looks at a target from a distance. One arcball orbits
// the camera around the target, a second turns the model, the wheel zooms.
// Produces a view matrix for the scene and a world matrix for the model.
#pragma once

#include "common/kitmisc/arcball.h"
#include "common/kitmisc/base_camera.h"

class CModelViewerCamera : public CBaseCamera {
  public:
    CModelViewerCamera();

    bool ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    // Recomputes view and world matrices when input arrived since the last call.
    void Advance(float fElapsedTime) override;
    void ResetToDefault() override;
    void SetEyeAndTarget(const D3DXVECTOR3* pvEye, const D3DXVECTOR3* pvTarget) override;
    void SetDragArea(const RECT* pRect) override;

    // Area size of both arcballs (the back-buffer size, usually).
    void SetViewportSize(INT nWidth, INT nHeight, float fBallRadius);
    // Distance (also the reset distance) and its limits.
    void SetDistanceLimits(float fDistance, float fMinDistance, float fMaxDistance);
    // Which BTN_MASK_* inputs turn the model, zoom and orbit the camera.
    void SetButtonRoles(INT nModelButtons, INT nZoomButtons, INT nOrbitButtons);
    INT ModelButtons() const { return m_nModelButtons; }
    INT ZoomButtons() const { return m_nZoomButtons; }
    INT OrbitButtons() const { return m_nOrbitButtons; }
    // The model turns along with the camera orbit (unless Control is held).
    void SetCarryModel(bool bCarryModel) { m_bCarryModel = bCarryModel; }
    void SetModelPivot(const D3DXVECTOR3& vPivot) { m_vModelPivot = vPivot; }

    const D3DXMATRIX* WorldMatrix() const { return &m_mWorldMatrix; }
    float Distance() const { return m_fDistance; }
    float MinDistance() const { return m_fMinDistance; }
    float MaxDistance() const { return m_fMaxDistance; }

  protected:
    CKitArcBall m_ModelArcBall;   // turns the model
    CKitArcBall m_OrbitArcBall;   // orbits the camera
    D3DXVECTOR3 m_vModelPivot;    // model centre
    D3DXMATRIX m_mModelRotPrev;   // model arcball matrix seen by the previous update
    D3DXMATRIX m_mModelRotation;  // accumulated model rotation
    D3DXMATRIX m_mWorldMatrix;    // world matrix output
    INT m_nModelButtons;          // buttons that turn the model
    INT m_nZoomButtons;           // input that zooms
    INT m_nOrbitButtons;          // buttons that orbit the camera
    bool m_bCarryModel;           // the model turns with the camera orbit
    float m_fDistance;            // eye distance from the target
    float m_fStartDistance;       // distance restored by ResetToDefault
    float m_fMinDistance;         // smallest distance
    float m_fMaxDistance;         // largest distance
    bool m_bDirty;                // mouse input arrived since the last update
    D3DXMATRIX m_mOrbitRotPrev;   // orbit rotation of the previous update
};
