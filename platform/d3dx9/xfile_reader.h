// Reads a text .x file into one combined mesh on the CPU: positions,
// optional normals and texture coordinates, triangles with their material,
// and the material records. No device is involved, so the fuzzer and the
// tests drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9types.h"
#include "platform/win32types.h"

namespace plat {

struct XMaterial {
    D3DMATERIAL9 material{};  // diffuse, specular, emissive and power from the file; ambient zero
    bool hasTexture = false;
    std::string textureFile;  // as the file gives it
};

// One corner of a triangle: indices into XMeshData's arrays.
struct XCorner {
    uint32_t vertex;  // into positions (and texCoords)
    uint32_t normal;  // into normals; meaningless when normals is empty
};

struct XMeshData {
    std::vector<D3DVECTOR> positions;
    std::vector<D3DVECTOR> normals;    // empty when no mesh of the file has normals
    std::vector<float> texCoords;      // u, v per position; empty when no mesh has coordinates
    std::vector<XCorner> corners;      // three per triangle
    std::vector<uint32_t> attributes;  // material index per triangle
    std::vector<XMaterial> materials;  // in file order
};

// Parses the whole file. S_OK, D3DXERR_INVALIDDATA for anything malformed
// or with more vertices or triangles than a device buffer (256 MiB) holds,
// D3DXERR_LOADEDMESHHASNODATA when the file holds no mesh.
HRESULT ReadXFile(const uint8_t* data, size_t size, XMeshData* out);

}  // namespace plat
