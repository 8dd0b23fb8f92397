// The puzzle cube: 27 cubies of one mesh on a 3x3x3 grid, picking by ray,
// the per-frame layer turn with its exact snap, drawing, and the game's
// share: turns applied at once, the turn history with undo and redo, and
// whether every face shows one colour.
//
// The cube's device objects (mesh, textures) can be released and created
// again for a new device without touching the puzzle's state, so a device
// re-creation keeps every cubie where it is.
#pragma once

#include <vector>

#include "platform/d3d9.h"
#include "platform/d3dx9.h"

// Angle covered by the current turn about each world axis (radians). They
// belong to the application and survive a rebuild of the cube.
extern float g_fTurnedX;
extern float g_fTurnedY;
extern float g_fTurnedZ;

// A quarter turn of one layer: the axis (0 x, 1 y, 2 z), the layer along it
// (-1, 0 or +1, in cubie spacings) and the direction (+1: a positive angle
// about the axis, -1: a negative one).
struct LayerTurn {
    int nAxis;
    int nLayer;
    int nDir;
};

// A completed quarter turn and its layer as it was before, which is what an
// undo puts back (exactly, not by turning back).
struct TurnRecord {
    LayerTurn turn;
    int aCubie[9];           // the layer's cubies in increasing index; -1 for none
    D3DXMATRIX aSettled[9];  // their settled matrices before the turn
    D3DXVECTOR3 aCenter[9];  // their centres before the turn
};

// How the last completed turn came about.
enum class TurnKind {
    None,    // no turn completed
    Marked,  // two marked cubies
    Undo,    // an undo took a turn back
    Redo,    // a redo made it again
};

// One small cube.
struct Cubie {
    float fPickDistSq;    // squared distance from the last pick ray's origin to vCenter, / 100
    D3DXMATRIX mWorld;    // current world matrix
    bool bSelected;       // selection mark
    D3DXVECTOR3 vCenter;  // centre in world space; changes at build and at a snap
    float fPickRadius;    // radius of the picking sphere: 0.707 R
};

// One cubie moved by the last snap, and the rotation it received.
struct SnapEntry {
    int nCubie;            // index into m_aCubies; -1 when the snap wrote no entry here
    D3DXMATRIX mRotation;  // the rotation the snap applied
};

class CPuzzleCube {
  public:
    static constexpr int kCubieCount = 27;
    static constexpr int kLayerSize = 9;

    // Geometry and turn constants.
    static constexpr float kPickRadiusScale = 0.707f;             // picking radius / R
    static constexpr float kLayerTolerance = 2.0f;                // two centres share a coordinate
    static constexpr float kCornerTolerance = 1.0f;               // corner test of IsTurnablePair
    static constexpr double kStepNumerator = 3.1415927;           // step = dir * this / 100, in double
    static constexpr double kSnapThreshold = 1.5707963705062866;  // pi/2 as a float, compared in double
    static constexpr float kTurnIncrement = 0.03141593f;          // added to the accumulator per frame
    static constexpr float kSnapAngle = 1.5707964f;               // exact quarter turn of the snap

    CPuzzleCube();
    ~CPuzzleCube();
    CPuzzleCube(const CPuzzleCube&) = delete;
    CPuzzleCube& operator=(const CPuzzleCube&) = delete;

    // Loads box.x with its materials and textures and lays the cubies out in
    // their home cells. When the file cannot be used a message box is shown
    // and the cube is left as it was; out of memory leaves it without a mesh
    // (DeviceObjectsResult tells which).
    bool Build(IDirect3DDevice9* pd3dDevice);

    // Loads box.x, its materials and textures for the given device, replacing
    // any objects held; the cubies' positions and marks are not touched.
    bool CreateDeviceObjects(IDirect3DDevice9* pd3dDevice);
    // Releases the mesh and textures (before their device goes away).
    void ReleaseDeviceObjects();
    bool HasDeviceObjects() const { return m_pMesh != nullptr; }
    // How the last Build or CreateDeviceObjects ended: S_OK, E_FAIL (the file
    // could not be used; its message was shown) or E_OUTOFMEMORY (loading the
    // mesh or taking over its materials ran out of memory).
    HRESULT DeviceObjectsResult() const { return m_hrDeviceObjects; }
    // True once a Build has laid the cubies out.
    bool IsLaidOut() const { return m_bLaidOut; }

    // Bounding-sphere radius of the mesh: the cubie spacing R; 0 on failure.
    float ComputeRadius();

    // Flips the mark of the nearest cubie whose picking sphere the ray hits.
    bool PickCubie(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDir);

    // One frame of the layer turn (of two marked cubies, or an undo or
    // redo), then the cubies are drawn.
    void AdvanceTurn(IDirect3DDevice9* pd3dDevice);

    // The next turn of two marked cubies goes the other way (step and snap
    // angles negated). Cleared when that turn snaps or its pair is refused.
    void SetReverseTurn(bool bReverse) { m_bReverseTurn = bReverse; }
    bool IsReverseTurn() const { return m_bReverseTurn; }
    int MarkedCount() const;

    // Back to the start position without loading the mesh again (marks and
    // history cleared); nothing before the first build.
    void ReturnToStart();
    // A quarter turn applied at once, without animation or history; nothing
    // while a turn runs.
    void TurnAtOnce(const LayerTurn& turn);

    // Undo: the last completed turn is taken back, animated as the opposite
    // turn, and ends with the layer exactly as it was. Redo makes it again.
    // Either clears every mark; false (nothing starts) while a turn runs or
    // when there is nothing to take back or make again.
    bool StartUndo();
    bool StartRedo();
    void ClearHistory();
    size_t UndoCount() const { return m_Undo.size(); }
    size_t RedoCount() const { return m_Redo.size(); }
    // How the turn that completed since the last call came about (None when
    // none did); the next call answers None.
    TurnKind TakeFinishedTurn();

    // Every outer face shows one colour: read from the settled orientations
    // and the colour each side of the mesh shows. False when the mesh does
    // not show a colour on each of its six sides.
    bool ShowsOneColourPerFace() const;
    void DrawCubies(IDirect3DDevice9* pd3dDevice);

    // Light 0 and the render states the cube's drawing relies on; set after
    // every device reset.
    static HRESULT SetupLightAndStates(IDirect3DDevice9* pd3dDevice);

    void SettleAll();
    void ApplySnapToCenters();
    bool IsTurnablePair(const D3DXVECTOR3& vA, const D3DXVECTOR3& vB) const;
    static int TurnDirection(const D3DXVECTOR3& vA, const D3DXVECTOR3& vB);

    static bool NearlyEqual(float a, float b, float tol);
    static float PointDistance(const D3DXVECTOR3& p, const D3DXVECTOR3& q);

    // Read access for the application and tests.
    const Cubie& GetCubie(int i) const { return m_aCubies[i]; }
    Cubie& GetCubie(int i) { return m_aCubies[i]; }
    bool IsTurning() const { return m_bTurning; }
    const D3DXMATRIX& GetSettled(int i) const { return m_aSettled[i]; }
    const SnapEntry& GetSnapEntry(int i) const { return m_aSnapLog[i]; }
    size_t GetMaterialCount() const { return m_Materials.size(); }
    size_t GetTextureCount() const { return m_Textures.size(); }
    IDirect3DTexture9* GetTexture(size_t i) const { return m_Textures[i]; }
    float GetRadius() const { return m_fRadius; }

  private:
    // Loads the mesh and measures it; on success the caller owns *ppMesh and
    // *ppMaterials and gets the radius. A load that ran out of memory sets
    // m_hrDeviceObjects to E_OUTOFMEMORY.
    bool LoadMesh(IDirect3DDevice9* pd3dDevice, ID3DXMesh** ppMesh, ID3DXBuffer** ppMaterials,
                  DWORD* pdwMaterials, float* pfRadius);
    static bool MeasureRadius(ID3DXMesh* pMesh, float* pfRadius);
    static bool RadiusSeparatesLayers(float fRadius);
    HRESULT AdoptDeviceObjects(IDirect3DDevice9* pd3dDevice, ID3DXMesh* pMesh, ID3DXBuffer* pMaterials,
                               DWORD dwMaterials);
    // LoadMesh, then AdoptDeviceObjects; false when either fails. The radius for a layout.
    bool LoadAndAdopt(IDirect3DDevice9* pd3dDevice, float* pfRadius);
    void LayOut(float fRadius);
    // One frame of a turn of the layer at fLayer on the axis: the layer turns
    // one step; true when the quarter turn is complete and must snap.
    bool StepLayer(int nAxis, float fLayer, int nDir);
    // The exact quarter turn of the layer from the settled matrices; the
    // centres move and the turn ends. Fills *pBefore (when given) with the
    // turn and its layer as it was.
    void SnapLayer(int nAxis, float fLayer, int nDir, TurnRecord* pBefore = nullptr);
    // Puts a turn's layer back as the record holds it; the turn ends.
    void RestoreLayer(const TurnRecord& record);
    // One frame of an undo or redo.
    void StepReplayedTurn();
    // The colour each side of the mesh shows (cube_faces.cpp).
    void MeasureFaceColours();
    // Axis (0 x, 1 y, 2 z) on which A and B lie in one layer, the last such
    // axis when several agree; -1 when none.
    static int SharedAxis(const D3DXVECTOR3& vA, const D3DXVECTOR3& vB);

    Cubie m_aCubies[kCubieCount];                // indexed by home cell
    bool m_bTurning;                             // a layer turn is in progress
    ID3DXMesh* m_pMesh;                          // the mesh of every cubie (owned)
    std::vector<D3DMATERIAL9> m_Materials;       // one per subset
    std::vector<IDirect3DTexture9*> m_Textures;  // parallel to m_Materials; may hold null (owned)
    D3DXMATRIX m_aSettled[kCubieCount];          // world matrices as of the last snap or build
    SnapEntry m_aSnapLog[kLayerSize];            // the cubies of the last snap
    bool m_bLaidOut;                             // a Build has placed the cubies
    HRESULT m_hrDeviceObjects;                   // result of the last Build or CreateDeviceObjects

    float m_fRadius;                 // the spacing R of the last layout
    bool m_bReverseTurn;             // the next marked turn goes the other way
    std::vector<TurnRecord> m_Undo;  // completed turns, the last at the back
    std::vector<TurnRecord> m_Redo;  // turns taken back, the last taken at the back
    TurnKind m_Replay;               // Undo or Redo while one runs, else None
    TurnRecord m_ReplayRecord;       // the turn being taken back or made again
    TurnKind m_Finished;             // the last completed turn not yet taken
    DWORD m_aFaceColour[6];          // colour each side shows: -x, +x, -y, +y, -z, +z
    bool m_bFaceColoursKnown;        // every side shows a colour
};
