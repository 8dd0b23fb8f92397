// libFuzzer target: the text .x reader and the mesh building behind it.
// Any input must give a result code without a crash, an out-of-bounds access
// or undefined behaviour; a mesh that is accepted must be consistent.
#include <cstdlib>

#include "platform/d3dx9/mesh_build.h"
#include "platform/d3dx9/xfile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    plat::XMeshData mesh;
    if (FAILED(plat::ReadXFile(data, size, &mesh))) return 0;
    for (const plat::XCorner& c : mesh.corners) {
        if (c.vertex >= mesh.positions.size()) std::abort();
        if (!mesh.normals.empty() && c.normal >= mesh.normals.size()) std::abort();
    }
    for (uint32_t a : mesh.attributes)
        if (!mesh.materials.empty() && a >= mesh.materials.size()) std::abort();
    plat::MeshImage image;
    plat::BuildMeshImage(mesh, &image);
    for (uint32_t i : image.indices)
        if (i >= image.numVertices) std::abort();
    return 0;
}
