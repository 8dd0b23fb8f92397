// Creating an ID3DXMesh from a built mesh image on a device.
#pragma once

#include "platform/d3dx9/mesh_build.h"
#include "platform/d3dx9mesh.h"

namespace plat {

// Creates the vertex and index buffers on the device (pool and usage from
// the D3DXMESH_* options) and fills them. Indices are 16-bit unless the
// options ask for 32-bit or the vertex count needs it.
HRESULT CreateMesh(const MeshImage& image, DWORD options, IDirect3DDevice9* pDevice, ID3DXMesh** ppMesh);

}  // namespace plat
