// Turns the triangles read from a .x file into what a mesh holds: vertices
// in their final format (one normal per vertex), faces sorted by material,
// the attribute table and the adjacency of the faces (vertices at one
// position count as one vertex for adjacency).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9types.h"
#include "platform/d3dx9/xfile_reader.h"
#include "platform/d3dx9mesh.h"

namespace plat {

struct MeshImage {
    DWORD fvf = 0;    // D3DFVF_XYZ [| D3DFVF_NORMAL] [| D3DFVF_TEX1]
    UINT stride = 0;  // bytes per vertex
    uint32_t numVertices = 0;
    std::vector<uint8_t> vertices;          // numVertices * stride bytes
    std::vector<uint32_t> indices;          // three per face
    std::vector<DWORD> attributes;          // material per face, non-decreasing
    std::vector<D3DXATTRIBUTERANGE> table;  // one entry per material that has faces
    std::vector<DWORD> adjacency;           // three per face, 0xFFFFFFFF for an open edge
};

// Vertex i of the file stays vertex i (unreferenced ones included, with a
// zero normal); a vertex used with several normals gets copies appended
// after the file's vertices.
void BuildMeshImage(const XMeshData& data, MeshImage* out);

}  // namespace plat
