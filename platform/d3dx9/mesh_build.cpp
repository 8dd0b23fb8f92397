// Mesh image building: vertex splitting by normal, sorting faces by
// material, attribute ranges and edge adjacency.
#include "platform/d3dx9/mesh_build.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <unordered_map>

namespace plat {
namespace {

constexpr uint32_t kUnset = 0xFFFFFFFFu;

uint64_t Key(uint32_t a, uint32_t b) { return (uint64_t(a) << 32) | b; }

// A position compared bit for bit (with -0 folded onto +0).
struct PositionKey {
    uint32_t x, y, z;
    bool operator==(const PositionKey&) const = default;
};
struct PositionHash {
    size_t operator()(const PositionKey& k) const {
        return (size_t(k.x) * 73856093u) ^ (size_t(k.y) * 19349663u) ^ (size_t(k.z) * 83492791u);
    }
};
PositionKey KeyOf(const D3DVECTOR& p) {
    auto bits = [](float f) {
        uint32_t u;
        f = f == 0.0f ? 0.0f : f;
        std::memcpy(&u, &f, 4);
        return u;
    };
    return {bits(p.x), bits(p.y), bits(p.z)};
}

// Output vertices: each file vertex, and a copy of it for each further normal
// it is used with.
struct VertexSplit {
    std::vector<uint32_t> source;        // file vertex of each output vertex
    std::vector<uint32_t> normalOf;      // normal of each output vertex
    std::vector<uint32_t> cornerVertex;  // output vertex of each corner
};

VertexSplit SplitVertices(const XMeshData& data, bool hasNormals) {
    const uint32_t nFileVertices = static_cast<uint32_t>(data.positions.size());
    VertexSplit split;
    split.source.resize(nFileVertices);
    std::iota(split.source.begin(), split.source.end(), 0u);
    split.normalOf.assign(nFileVertices, kUnset);
    std::unordered_map<uint64_t, uint32_t> copies;  // (file vertex, normal) -> copy
    const size_t nCorners = data.corners.size();
    split.cornerVertex.resize(nCorners);
    for (size_t i = 0; i < nCorners; ++i) {
        const XCorner& c = data.corners[i];
        uint32_t v = c.vertex;
        if (hasNormals) {
            if (split.normalOf[v] == kUnset) {
                split.normalOf[v] = c.normal;
            } else if (split.normalOf[v] != c.normal) {
                const auto [it, added] =
                    copies.try_emplace(Key(c.vertex, c.normal), static_cast<uint32_t>(split.source.size()));
                if (added) {
                    split.source.push_back(c.vertex);
                    split.normalOf.push_back(c.normal);
                }
                v = it->second;
            }
        }
        split.cornerVertex[i] = v;
    }
    return split;
}

void WriteVertices(const XMeshData& data, const VertexSplit& split, bool hasNormals, bool hasCoords,
                   MeshImage* out) {
    out->numVertices = static_cast<uint32_t>(split.source.size());
    out->vertices.assign(size_t(out->numVertices) * out->stride, 0);
    for (uint32_t v = 0; v < out->numVertices; ++v) {
        uint8_t* p = out->vertices.data() + size_t(v) * out->stride;
        std::memcpy(p, &data.positions[split.source[v]], 12);
        p += 12;
        if (hasNormals) {
            if (split.normalOf[v] != kUnset) std::memcpy(p, &data.normals[split.normalOf[v]], 12);
            p += 12;
        }
        if (hasCoords) std::memcpy(p, &data.texCoords[size_t(split.source[v]) * 2], 8);
    }
}

// Faces in material order (stable, so file order within a material); gives
// the file face of each output face.
std::vector<uint32_t> WriteFacesByMaterial(const XMeshData& data, const std::vector<uint32_t>& cornerVertex,
                                           MeshImage* out) {
    const uint32_t nFaces = static_cast<uint32_t>(data.attributes.size());
    std::vector<uint32_t> order(nFaces);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return data.attributes[a] < data.attributes[b]; });
    out->indices.resize(size_t(nFaces) * 3);
    out->attributes.resize(nFaces);
    for (uint32_t f = 0; f < nFaces; ++f) {
        const uint32_t src = order[f];
        for (int k = 0; k < 3; ++k) out->indices[size_t(f) * 3 + k] = cornerVertex[size_t(src) * 3 + k];
        out->attributes[f] = data.attributes[src];
    }
    return order;
}

// One range per run of a material, with the vertices its faces use.
void WriteAttributeTable(MeshImage* out) {
    const uint32_t nFaces = static_cast<uint32_t>(out->attributes.size());
    out->table.clear();
    for (uint32_t f = 0; f < nFaces; ++f) {
        if (out->table.empty() || out->table.back().AttribId != out->attributes[f])
            out->table.push_back({out->attributes[f], f, 0, 0, 0});
        out->table.back().FaceCount++;
    }
    for (D3DXATTRIBUTERANGE& r : out->table) {
        uint32_t lo = kUnset, hi = 0;
        for (size_t i = size_t(r.FaceStart) * 3; i < size_t(r.FaceStart + r.FaceCount) * 3; ++i) {
            lo = std::min(lo, out->indices[i]);
            hi = std::max(hi, out->indices[i]);
        }
        r.VertexStart = lo;
        r.VertexCount = hi - lo + 1;
    }
}

// Adjacency over point representatives: vertices at the same position
// count as one, so faces with separate corners (split by normals or
// texture coordinates) are still neighbours.
void WriteAdjacency(const XMeshData& data, const std::vector<uint32_t>& order, MeshImage* out) {
    const uint32_t nFileVertices = static_cast<uint32_t>(data.positions.size());
    const uint32_t nFaces = static_cast<uint32_t>(order.size());
    std::unordered_map<PositionKey, uint32_t, PositionHash> firstAtPosition;
    std::vector<uint32_t> rep(nFileVertices);
    for (uint32_t v = 0; v < nFileVertices; ++v)
        rep[v] = firstAtPosition.try_emplace(KeyOf(data.positions[v]), v).first->second;
    std::unordered_map<uint64_t, uint32_t> firstFaceOfEdge;
    std::vector<uint32_t> fileIndex(size_t(nFaces) * 3);
    for (uint32_t f = 0; f < nFaces; ++f)
        for (int k = 0; k < 3; ++k)
            fileIndex[size_t(f) * 3 + k] = rep[data.corners[size_t(order[f]) * 3 + k].vertex];
    out->adjacency.assign(size_t(nFaces) * 3, kUnset);
    for (uint32_t f = 0; f < nFaces; ++f) {
        for (int k = 0; k < 3; ++k) {
            const uint32_t a = fileIndex[size_t(f) * 3 + k], b = fileIndex[size_t(f) * 3 + (k + 1) % 3];
            const uint64_t key = Key(std::min(a, b), std::max(a, b));
            const auto [it, added] = firstFaceOfEdge.try_emplace(key, f * 3 + k);
            if (added) continue;
            const uint32_t other = it->second;  // face * 3 + edge
            if (out->adjacency[other] == kUnset && out->adjacency[size_t(f) * 3 + k] == kUnset &&
                other / 3 != f) {
                out->adjacency[other] = f;
                out->adjacency[size_t(f) * 3 + k] = other / 3;
            }
        }
    }
}

}  // namespace

void BuildMeshImage(const XMeshData& data, MeshImage* out) {
    const bool hasNormals = !data.normals.empty();
    const bool hasCoords = !data.texCoords.empty();
    out->fvf = D3DFVF_XYZ | (hasNormals ? D3DFVF_NORMAL : 0) | (hasCoords ? D3DFVF_TEX1 : 0);
    out->stride = 12 + (hasNormals ? 12 : 0) + (hasCoords ? 8 : 0);
    const VertexSplit split = SplitVertices(data, hasNormals);
    WriteVertices(data, split, hasNormals, hasCoords, out);
    const std::vector<uint32_t> order = WriteFacesByMaterial(data, split.cornerVertex, out);
    WriteAttributeTable(out);
    WriteAdjacency(data, order, out);
}

}  // namespace plat
