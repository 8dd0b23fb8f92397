// Base camera: view and projection matrices, eye and look-at point, and the
// input state every camera shares (camera keys, mouse buttons inside a drag
// rectangle, wheel, smoothed cursor movement, game pads), turned into a
// movement velocity with optional decay and a rotation rate. Derived cameras
// supply the per-frame Advance.
#pragma once

#include "common/kitmisc/camera_gamepad.h"
#include "platform/d3dx9math.h"
#include "platform/win32.h"

// Camera keys: indices into the key-state bytes.
enum CamKey {
    CamKeyStrafeLeft = 0,
    CamKeyStrafeRight = 1,
    CamKeyForward = 2,
    CamKeyBackward = 3,
    CamKeyUp = 4,
    CamKeyDown = 5,
    CamKeyReset = 6,
    CamKeyControl = 7,
    CamKeyCount = 8,
    CamKeyNone = 255,
};

// Bits of a key-state byte.
#define KEYSTATE_HELD 0x01  // held now
#define KEYSTATE_SEEN 0x80  // pressed at least once since the state was cleared

// Mouse input masks (button flags and the zoom/orbit/model roles).
#define BTN_MASK_LEFT 0x01
#define BTN_MASK_MIDDLE 0x02
#define BTN_MASK_RIGHT 0x04
#define BTN_MASK_WHEEL 0x08

class CBaseCamera {
  public:
    CBaseCamera();
    virtual ~CBaseCamera() = default;

    // Key states, button flags, capture and wheel notches.
    virtual bool ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // One frame of camera update.
    virtual void Advance(float fElapsedTime) = 0;
    // Back to the start eye and target.
    virtual void ResetToDefault();
    // New eye and target (both become the defaults); ignored when either is null.
    virtual void SetEyeAndTarget(const D3DXVECTOR3* pvEye, const D3DXVECTOR3* pvTarget);
    virtual void SetPerspective(float fFovY, float fAspectRatio, float fNearZ, float fFarZ);
    // Presses count only inside this rectangle (client pixels).
    virtual void SetDragArea(const RECT* pRect);
    virtual CamKey KeyToAction(UINT nKey);

    const D3DXMATRIX* ViewMatrix() const { return &m_mViewMatrix; }
    const D3DXMATRIX* ProjMatrix() const { return &m_mProjMatrix; }
    const D3DXVECTOR3* EyePos() const { return &m_vEyePos; }
    const D3DXVECTOR3* TargetPos() const { return &m_vTargetPos; }
    float Yaw() const { return m_fYaw; }
    float Pitch() const { return m_fPitch; }
    const D3DXVECTOR3* VelocityNow() const { return &m_vVelocityNow; }
    const D3DXVECTOR2* TurnRate() const { return &m_vTurnRate; }
    // BTN_MASK_* bits of the buttons held after a press inside the drag area.
    INT ButtonsDown() const { return m_nButtonsDown; }

    // Velocity decays to zero over fDampTime seconds after input stops.
    void SetDamping(bool bDamping, float fDampTime);
    // Keyboard movement, and whether the up and down keys move too.
    void SetMoveEnabled(bool bMoveEnabled, bool bVerticalMove);
    void SetScales(float fTurnScale, float fMoveScale);
    // Keep positions inside the box; a null corner keeps the old one.
    void SetClampToBox(bool bClampToBox, const D3DXVECTOR3* pvMin, const D3DXVECTOR3* pvMax);

  protected:
    // Lets go of every held camera key and mouse button (the window lost activation).
    void ForgetHeldInput();
    // Reads this frame's keyboard, mouse and game-pad input.
    void GatherInput(bool bKeyboard, bool bMouse, bool bGamePads, bool bRecentreCursor);
    // Velocity and rotation rate from the gathered input.
    void UpdateMotion(float fElapsedTime);
    // Each component into [m_vBoxMin, m_vBoxMax].
    void ClampToBounds(D3DXVECTOR3* pv) const;

    static bool IsKeyHeld(BYTE state) { return (state & KEYSTATE_HELD) != 0; }

    D3DXMATRIX m_mViewMatrix;                    // view matrix
    D3DXMATRIX m_mProjMatrix;                    // projection matrix
    KitGamePad m_aPads[KIT_MAX_GAMEPADS];        // last polled state of each pad
    D3DXVECTOR3 m_vLeftStick;                    // left stick (x, 0, y) of the latest active pad
    D3DXVECTOR3 m_vRightStick;                   // right stick (x, 0, y) of that pad
    double m_adPadLastActive[KIT_MAX_GAMEPADS];  // framework time each pad was last active
    INT m_nHeldKeys;                             // number of camera keys held
    BYTE m_aKeyState[CamKeyCount];               // one state byte per camera key
    D3DXVECTOR3 m_vKeyMove;                      // keyboard movement direction of this frame
    POINT m_ptLastCursor;                        // last cursor position (screen)
    bool m_bLeftDown;                            // left button held after a press in the drag area
    bool m_bMiddleDown;                          // middle button likewise
    bool m_bRightDown;                           // right button likewise
    INT m_nButtonsDown;                          // the three flags as BTN_MASK_* bits
    INT m_nWheelNotches;                         // notches of the last wheel message
    D3DXVECTOR2 m_vCursorDelta;                  // smoothed cursor movement per frame
    float m_fSmoothFrames;                       // frames over which cursor movement is averaged
    D3DXVECTOR3 m_vStartEye;                     // default eye
    D3DXVECTOR3 m_vStartTarget;                  // default look-at point
    D3DXVECTOR3 m_vEyePos;                       // eye
    D3DXVECTOR3 m_vTargetPos;                    // look-at point
    float m_fYaw;                                // view angle about y
    float m_fPitch;                              // view angle about x
    RECT m_rcDragArea;                           // presses count only inside
    D3DXVECTOR3 m_vVelocityNow;                  // velocity of this frame
    bool m_bDamping;                             // velocity decays after input stops
    D3DXVECTOR3 m_vDampStep;                     // velocity removed per second while decaying
    float m_fDampTimer;                          // remaining decay time
    float m_fDampTime;                           // total decay time, seconds
    D3DXVECTOR2 m_vTurnRate;                     // rotation rate
    float m_fFovY;                               // projection: vertical field of view
    float m_fAspectRatio;                        // projection: width / height
    float m_fNearZ;                              // projection: near plane
    float m_fFarZ;                               // projection: far plane
    float m_fTurnScale;                          // cursor movement to rotation
    float m_fMoveScale;                          // movement speed, units per second
    bool m_bInvertY;                             // invert pitch input
    bool m_bMoveEnabled;                         // keyboard movement on
    bool m_bVerticalMove;                        // up and down keys move
    bool m_bClampToBox;                          // keep positions inside the box
    D3DXVECTOR3 m_vBoxMin;                       // the box
    D3DXVECTOR3 m_vBoxMax;
};
