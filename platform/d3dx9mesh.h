// D3DX meshes: the .x loader, meshes, buffers, bounding spheres; also the
// library's error codes and its byte buffer, shared by textures and effects.
//
// D3DXLoadMeshFromXW reads the text variant of the .x format: all meshes of a
// file (under their frame transforms) become one mesh whose vertices carry a
// position, a normal when the file gives normals and one texture-coordinate
// set when it gives coordinates. Faces are grouped into subsets by material.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3dx9math.h"

struct IDirect3DDevice9;
struct IDirect3DVertexBuffer9;
struct IDirect3DIndexBuffer9;

// ---------------------------------------------------------------------------
// Error codes: facility 0x876, codes from 2900.
#define D3DXERR_CANNOTMODIFYINDEXBUFFER ((HRESULT)0x88760B54L)
#define D3DXERR_INVALIDMESH ((HRESULT)0x88760B55L)
#define D3DXERR_CANNOTATTRSORT ((HRESULT)0x88760B56L)
#define D3DXERR_SKINNINGNOTSUPPORTED ((HRESULT)0x88760B57L)
#define D3DXERR_TOOMANYINFLUENCES ((HRESULT)0x88760B58L)
#define D3DXERR_INVALIDDATA ((HRESULT)0x88760B59L)  // a file or image that cannot be read
#define D3DXERR_LOADEDMESHHASNODATA ((HRESULT)0x88760B5AL)
#define D3DXERR_DUPLICATENAMEDFRAGMENT ((HRESULT)0x88760B5BL)
#define D3DXERR_CANNOTREMOVELASTITEM ((HRESULT)0x88760B5CL)

// ---------------------------------------------------------------------------
// A reference-counted block of bytes (adjacency, materials, messages).
struct ID3DXBuffer : IUnknown {
    virtual LPVOID GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

extern const IID IID_ID3DXBuffer;
extern const IID IID_ID3DXBaseMesh;
extern const IID IID_ID3DXMesh;

// A zero-filled buffer of NumBytes bytes (0 is allowed).
HRESULT D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer);

// ---------------------------------------------------------------------------
// Mesh creation options: where the vertex (VB_) and index (IB_) buffers live.
#define D3DXMESH_32BIT 0x001  // 32-bit indices (otherwise 16-bit)
#define D3DXMESH_DONOTCLIP 0x002
#define D3DXMESH_POINTS 0x004
#define D3DXMESH_RTPATCHES 0x008
#define D3DXMESH_NPATCHES 0x4000
#define D3DXMESH_VB_SYSTEMMEM 0x010
#define D3DXMESH_VB_MANAGED 0x020
#define D3DXMESH_VB_WRITEONLY 0x040
#define D3DXMESH_VB_DYNAMIC 0x080
#define D3DXMESH_VB_SOFTWAREPROCESSING 0x8000
#define D3DXMESH_IB_SYSTEMMEM 0x100
#define D3DXMESH_IB_MANAGED 0x200
#define D3DXMESH_IB_WRITEONLY 0x400
#define D3DXMESH_IB_DYNAMIC 0x800
#define D3DXMESH_IB_SOFTWAREPROCESSING 0x10000
#define D3DXMESH_VB_SHARE 0x1000
#define D3DXMESH_USEHWONLY 0x2000
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220
#define D3DXMESH_WRITEONLY 0x440
#define D3DXMESH_DYNAMIC 0x880
#define D3DXMESH_SOFTWAREPROCESSING 0x18000

// One material record of a loaded mesh. pTextureFilename points into the
// same buffer and is null when the material names no texture.
struct D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;
};
typedef D3DXMATERIAL* LPD3DXMATERIAL;

// Effect instances are never produced here (no effects); declared for the
// loader's signature.
struct D3DXEFFECTINSTANCE;

// A run of faces and the vertices they use, all with one attribute (subset).
struct D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};
typedef D3DXATTRIBUTERANGE* LPD3DXATTRIBUTERANGE;

// A triangle mesh on a device: one vertex buffer (format GetFVF), one index
// buffer of three indices per face, and one attribute (subset id) per face,
// faces sorted by attribute. The mesh holds a reference on its device.
struct ID3DXBaseMesh : IUnknown {
    // Draws the faces of one subset with DrawIndexedPrimitive under the
    // device's current state; an id with no faces draws nothing.
    virtual HRESULT DrawSubset(DWORD AttribId) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** ppVB) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** ppIB) = 0;
    virtual HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    // With a null table, *pAttribTableSize receives the number of entries;
    // otherwise the table receives that many entries.
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) = 0;
};

struct ID3DXMesh : ID3DXBaseMesh {
    // One DWORD attribute per face.
    virtual HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
};
typedef ID3DXMesh* LPD3DXMESH;

// Loads a text .x file. Outputs other than ppMesh may be null:
//   ppAdjacency        three DWORDs per face: the neighbouring face across
//                      each edge (0xFFFFFFFF for none)
//   ppMaterials        *pNumMaterials D3DXMATERIAL records in file order (no
//                      buffer when the file has no materials)
//   ppEffectInstances  always set to null: effects are not supported
// Results: S_OK; E_INVALIDARG for null file name, device or ppMesh;
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) for a missing file;
// D3DXERR_INVALIDDATA for anything the reader cannot accept (binary or
// compressed variants, malformed numbers, inconsistent counts, indices out of
// range, a file that ends early); D3DXERR_LOADEDMESHHASNODATA for a file with
// no mesh; D3DXERR_INVALIDMESH when its meshes have no faces; device errors
// from creating the buffers.
HRESULT D3DXLoadMeshFromXW(LPCWSTR pFilename, DWORD Options, IDirect3DDevice9* pD3DDevice,
                           LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                           LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
HRESULT D3DXLoadMeshFromXA(LPCSTR pFilename, DWORD Options, IDirect3DDevice9* pD3DDevice,
                           LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                           LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
HRESULT D3DXLoadMeshFromXInMemory(LPCVOID Memory, DWORD SizeOfMemory, DWORD Options,
                                  IDirect3DDevice9* pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                                  LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                  DWORD* pNumMaterials, LPD3DXMESH* ppMesh);
#define D3DXLoadMeshFromX D3DXLoadMeshFromXW

// Size in bytes of one vertex of the given flexible vertex format.
UINT D3DXGetFVFVertexSize(DWORD FVF);

// Centre = mean of all positions, radius = largest distance of a position from
// it. Positions are read with the given stride in bytes from pFirstPosition.
// E_INVALIDARG for null pointers, no vertices or a stride under 12 bytes.
HRESULT D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                                  D3DXVECTOR3* pCenter, FLOAT* pRadius);
// The axis-aligned box of the positions; same arguments and results.
HRESULT D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                               D3DXVECTOR3* pMin, D3DXVECTOR3* pMax);
