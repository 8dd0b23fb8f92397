// Text .x reader: header, templates (skipped), frames with their transforms,
// meshes with normals, texture coordinates and material lists, and named
// materials referenced from material lists. Unknown objects are skipped with
// their nested braces. Every count is checked against the bytes that remain
// before anything is allocated for it, and every index against its array.
#include "platform/d3dx9/xfile_reader.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/d3dx9/xfile_lexer.h"
#include "platform/d3dx9math.h"
#include "platform/d3dx9mesh.h"

namespace plat {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;
constexpr int kMaxDepth = 64;  // nesting of frames and unknown objects
// The device's largest vertex or index buffer. A file whose triangles need a
// larger index buffer is refused while its face counts are read, before the
// polygons are split into triangles (which costs some 40 bytes of memory for
// every byte of input).
constexpr uint64_t kMaxMeshBufferBytes = uint64_t(256) << 20;

bool NameIs(std::string_view a, const char* b) {
    const size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Parsing fails by returning false; the caller turns that into
// D3DXERR_INVALIDDATA.
class XReader {
  public:
    XReader(const uint8_t* data, size_t size, XMeshData* out) : m_Lex(data, size), m_pOut(out) {}

    HRESULT Run();

  private:
    // Data members: numbers with any ';' or ',' separators after them.
    bool ReadFloat(float* v);
    bool ReadCount(uint32_t* v, size_t minBytesPerItem);
    bool ReadIndex(uint32_t* v);
    void SkipSeparators();

    bool SkipBlock(int depth);                  // after '{': to the matching '}'
    bool ParseObjectHeader(std::string* name);  // [name] [guid] '{'
    bool ParseTopLevel(std::string_view type);
    bool ParseFrame(int depth);
    bool ParseMatrix(D3DXMATRIX* m);
    // A mesh being read: its counts, its faces as polygons and what its children add.
    struct MeshInProgress {
        size_t vertexBase = 0;  // its first vertex among every mesh's
        uint32_t nVertices = 0, nFaces = 0;
        std::vector<uint32_t> polygonStart, polygonIndex;  // corners of each face, then the end
        std::vector<uint32_t> normalIndex;                 // per polygon corner, into the normals
        std::vector<uint32_t> faceMaterials;
        bool hasNormals = false, hasCoords = false, hasMaterials = false;
    };
    bool ParseMesh(int depth);
    bool ParseMeshVertices(MeshInProgress* mesh);
    bool ParseMeshFaces(MeshInProgress* mesh);
    bool ParseMeshChildren(MeshInProgress* mesh, int depth);
    bool ParseMeshNormals(MeshInProgress* mesh);
    bool ParseMeshTextureCoords(const MeshInProgress& mesh);
    void AddMeshTriangles(const MeshInProgress& mesh);
    bool ParseMaterial(XMaterial* mat, int depth);
    bool ParseMaterialList(uint32_t nFaces, std::vector<uint32_t>* faceMaterials, int depth);
    bool ParseObjectOrSkip(int depth);

    XLexer m_Lex;
    XMeshData* m_pOut;
    bool m_bAnyNormals = false;
    bool m_bAnyCoords = false;
    bool m_bAnyMesh = false;
    std::map<std::string, XMaterial, std::less<>> m_NamedMaterials;
    uint64_t m_nTriangles = 0;  // over every mesh read so far
};

void XReader::SkipSeparators() {
    for (;;) {
        const XToken t = m_Lex.Peek();
        if (t != XToken::Semicolon && t != XToken::Comma) return;
        m_Lex.Next();
    }
}

bool XReader::ReadFloat(float* v) {
    const XToken t = m_Lex.Next();
    if (t != XToken::Integer && t != XToken::Float) return false;
    const double d = m_Lex.number();
    if (!(std::fabs(d) <= FLT_MAX)) return false;
    *v = static_cast<float>(d);
    SkipSeparators();
    return true;
}

bool XReader::ReadIndex(uint32_t* v) {
    if (m_Lex.Next() != XToken::Integer) return false;
    const double d = m_Lex.number();
    if (d < 0 || d > 4294967295.0) return false;
    *v = static_cast<uint32_t>(d);
    SkipSeparators();
    return true;
}

// A count of items that each take at least minBytesPerItem bytes of input:
// a count the remaining input cannot hold is malformed, which also bounds
// every allocation by the size of the file.
bool XReader::ReadCount(uint32_t* v, size_t minBytesPerItem) {
    if (!ReadIndex(v)) return false;
    return static_cast<uint64_t>(*v) * minBytesPerItem <= m_Lex.remaining();
}

bool XReader::SkipBlock(int depth) {
    if (depth > kMaxDepth) return false;
    for (;;) {
        switch (m_Lex.Next()) {
            case XToken::RBrace:
                return true;
            case XToken::LBrace:
                if (!SkipBlock(depth + 1)) return false;
                break;
            case XToken::End:
            case XToken::Error:
                return false;
            default:
                break;
        }
    }
}

bool XReader::ParseObjectHeader(std::string* name) {
    XToken t = m_Lex.Next();
    if (t == XToken::Name) {
        if (name) *name = std::string(m_Lex.text());
        t = m_Lex.Next();
    }
    if (t == XToken::Guid) t = m_Lex.Next();
    return t == XToken::LBrace;
}

// An object we do not use, or a reference { Name }: skipped whole.
bool XReader::ParseObjectOrSkip(int depth) {
    if (!ParseObjectHeader(nullptr)) return false;
    return SkipBlock(depth + 1);
}

bool XReader::ParseMatrix(D3DXMATRIX* m) {
    if (!ParseObjectHeader(nullptr)) return false;
    for (int i = 0; i < 16; ++i)
        if (!ReadFloat(&m->m[i / 4][i % 4])) return false;
    return m_Lex.Next() == XToken::RBrace;
}

bool XReader::ParseFrame(int depth) {
    if (depth > kMaxDepth) return false;
    if (!ParseObjectHeader(nullptr)) return false;
    const size_t firstPosition = m_pOut->positions.size();
    const size_t firstNormal = m_pOut->normals.size();
    D3DXMATRIX local;
    D3DXMatrixIdentity(&local);
    for (;;) {
        const XToken t = m_Lex.Next();
        if (t == XToken::RBrace) break;
        if (t == XToken::LBrace) {  // reference to a named object
            if (!SkipBlock(depth + 1)) return false;
            continue;
        }
        if (t != XToken::Name) return false;
        const std::string_view type = m_Lex.text();
        bool ok;
        if (NameIs(type, "FrameTransformMatrix"))
            ok = ParseMatrix(&local);
        else if (NameIs(type, "Frame"))
            ok = ParseFrame(depth + 1);
        else if (NameIs(type, "Mesh"))
            ok = ParseMesh(depth + 1);
        else
            ok = ParseObjectOrSkip(depth);
        if (!ok) return false;
    }
    // Everything read inside this frame (inner frames already applied their
    // own matrices) now moves by this frame's matrix.
    if (!D3DXMatrixIsIdentity(&local)) {
        for (size_t i = firstPosition; i < m_pOut->positions.size(); ++i) {
            D3DXVECTOR3 p(m_pOut->positions[i]);
            D3DXVec3TransformCoord(&p, &p, &local);
            m_pOut->positions[i] = p;
        }
        // Normals go through the inverse transpose so that scaling keeps them perpendicular.
        D3DXMATRIX normalMatrix;
        if (D3DXMatrixInverse(&normalMatrix, nullptr, &local))
            D3DXMatrixTranspose(&normalMatrix, &normalMatrix);
        else
            normalMatrix = local;
        for (size_t i = firstNormal; i < m_pOut->normals.size(); ++i) {
            D3DXVECTOR3 n(m_pOut->normals[i]);
            D3DXVec3TransformNormal(&n, &n, &normalMatrix);
            D3DXVec3Normalize(&n, &n);
            m_pOut->normals[i] = n;
        }
    }
    return true;
}

bool XReader::ParseMaterial(XMaterial* mat, int depth) {
    D3DMATERIAL9& m = mat->material;
    std::memset(&m, 0, sizeof m);
    if (!ReadFloat(&m.Diffuse.r) || !ReadFloat(&m.Diffuse.g) || !ReadFloat(&m.Diffuse.b) ||
        !ReadFloat(&m.Diffuse.a) || !ReadFloat(&m.Power) || !ReadFloat(&m.Specular.r) ||
        !ReadFloat(&m.Specular.g) || !ReadFloat(&m.Specular.b) || !ReadFloat(&m.Emissive.r) ||
        !ReadFloat(&m.Emissive.g) || !ReadFloat(&m.Emissive.b))
        return false;
    m.Specular.a = 1.0f;
    m.Emissive.a = 1.0f;
    for (;;) {
        const XToken t = m_Lex.Next();
        if (t == XToken::RBrace) return true;
        if (t == XToken::LBrace) {
            if (!SkipBlock(depth + 1)) return false;
            continue;
        }
        if (t != XToken::Name) return false;
        const std::string_view type = m_Lex.text();
        if (NameIs(type, "TextureFilename")) {
            if (!ParseObjectHeader(nullptr)) return false;
            if (m_Lex.Next() != XToken::String) return false;
            mat->hasTexture = true;
            mat->textureFile = std::string(m_Lex.text());
            SkipSeparators();
            if (m_Lex.Next() != XToken::RBrace) return false;
        } else if (!ParseObjectOrSkip(depth)) {
            return false;
        }
    }
}

bool XReader::ParseMaterialList(uint32_t nFaces, std::vector<uint32_t>* faceMaterials, int depth) {
    if (!ParseObjectHeader(nullptr)) return false;
    uint32_t nMaterials = 0, nFaceIndexes = 0;
    if (!ReadCount(&nMaterials, 2) || !ReadCount(&nFaceIndexes, 2)) return false;
    if (nFaceIndexes > nFaces) return false;
    faceMaterials->assign(nFaces, 0);
    for (uint32_t i = 0; i < nFaceIndexes; ++i) {
        uint32_t m = 0;
        if (!ReadIndex(&m) || m >= nMaterials) return false;
        (*faceMaterials)[i] = m;
    }
    // Fewer indexes than faces: the last one repeats.
    for (uint32_t i = nFaceIndexes; i < nFaces && nFaceIndexes > 0; ++i)
        (*faceMaterials)[i] = (*faceMaterials)[nFaceIndexes - 1];
    if (nFaces > 0 && nMaterials == 0) return false;

    const uint32_t base = static_cast<uint32_t>(m_pOut->materials.size());
    uint32_t found = 0;
    for (;;) {
        const XToken t = m_Lex.Next();
        if (t == XToken::RBrace) break;
        if (t == XToken::LBrace) {  // { MaterialName }
            if (m_Lex.Next() != XToken::Name) return false;
            const auto it = m_NamedMaterials.find(m_Lex.text());
            if (it == m_NamedMaterials.end() || m_Lex.Next() != XToken::RBrace) return false;
            if (found < nMaterials) m_pOut->materials.push_back(it->second);
            ++found;
            continue;
        }
        if (t != XToken::Name) return false;
        const std::string_view type = m_Lex.text();
        if (NameIs(type, "Material")) {
            XMaterial mat;
            std::string name;
            if (!ParseObjectHeader(&name) || !ParseMaterial(&mat, depth + 1)) return false;
            if (!name.empty()) m_NamedMaterials[name] = mat;  // later lists may refer to it
            if (found < nMaterials) m_pOut->materials.push_back(mat);
            ++found;
        } else if (!ParseObjectOrSkip(depth)) {
            return false;
        }
    }
    if (found != nMaterials) return false;
    for (uint32_t& m : *faceMaterials) m += base;
    return true;
}

bool XReader::ParseMesh(int depth) {
    if (depth > kMaxDepth) return false;
    if (!ParseObjectHeader(nullptr)) return false;
    m_bAnyMesh = true;
    MeshInProgress mesh;
    mesh.vertexBase = m_pOut->positions.size();
    if (!ParseMeshVertices(&mesh) || !ParseMeshFaces(&mesh) || !ParseMeshChildren(&mesh, depth)) return false;
    m_bAnyNormals |= mesh.hasNormals;
    m_bAnyCoords |= mesh.hasCoords;
    if (!mesh.hasCoords) m_pOut->texCoords.resize(m_pOut->positions.size() * 2, 0.0f);
    AddMeshTriangles(mesh);
    return true;
}

// Vertices: three numbers, each at least one character and a separator.
bool XReader::ParseMeshVertices(MeshInProgress* mesh) {
    XMeshData& out = *m_pOut;
    if (!ReadCount(&mesh->nVertices, 6)) return false;
    const size_t vertexBase = mesh->vertexBase;
    if (vertexBase + mesh->nVertices > 0xFFFFFFF0u ||
        (vertexBase + mesh->nVertices) * 12 > kMaxMeshBufferBytes)
        return false;
    out.positions.reserve(vertexBase + mesh->nVertices);
    for (uint32_t i = 0; i < mesh->nVertices; ++i) {
        D3DVECTOR p;
        if (!ReadFloat(&p.x) || !ReadFloat(&p.y) || !ReadFloat(&p.z)) return false;
        out.positions.push_back(p);
    }
    return true;
}

// Faces: polygons of three or more indices; kept as polygons until the
// normals (given per polygon corner) are known.
bool XReader::ParseMeshFaces(MeshInProgress* mesh) {
    if (!ReadCount(&mesh->nFaces, 8)) return false;
    mesh->polygonStart.reserve(mesh->nFaces + 1);
    for (uint32_t f = 0; f < mesh->nFaces; ++f) {
        uint32_t n = 0;
        if (!ReadCount(&n, 2) || n < 3) return false;
        // Indices are 16-bit while the mesh has at most 65535 vertices, 32-bit beyond.
        m_nTriangles += n - 2;
        const uint64_t indexBytes = m_pOut->positions.size() > 0xFFFF ? 12 : 6;
        if (m_nTriangles * indexBytes > kMaxMeshBufferBytes) return false;
        mesh->polygonStart.push_back(static_cast<uint32_t>(mesh->polygonIndex.size()));
        for (uint32_t k = 0; k < n; ++k) {
            uint32_t v = 0;
            if (!ReadIndex(&v) || v >= mesh->nVertices) return false;
            mesh->polygonIndex.push_back(v);
        }
    }
    mesh->polygonStart.push_back(static_cast<uint32_t>(mesh->polygonIndex.size()));
    return true;
}

// Optional children: normals, texture coordinates, the material list; others skipped.
bool XReader::ParseMeshChildren(MeshInProgress* mesh, int depth) {
    for (;;) {
        const XToken t = m_Lex.Next();
        if (t == XToken::RBrace) break;
        if (t == XToken::LBrace) {
            if (!SkipBlock(depth + 1)) return false;
            continue;
        }
        if (t != XToken::Name) return false;
        const std::string_view type = m_Lex.text();
        if (NameIs(type, "MeshNormals")) {
            if (mesh->hasNormals || !ParseObjectHeader(nullptr) || !ParseMeshNormals(mesh)) return false;
            mesh->hasNormals = true;
        } else if (NameIs(type, "MeshTextureCoords")) {
            if (mesh->hasCoords || !ParseObjectHeader(nullptr) || !ParseMeshTextureCoords(*mesh))
                return false;
            mesh->hasCoords = true;
        } else if (NameIs(type, "MeshMaterialList")) {
            if (mesh->hasMaterials || !ParseMaterialList(mesh->nFaces, &mesh->faceMaterials, depth + 1))
                return false;
            mesh->hasMaterials = true;
        } else if (!ParseObjectOrSkip(depth)) {
            return false;
        }
    }
    return true;
}

// After the header: the normals, then one list of normal indices per face.
bool XReader::ParseMeshNormals(MeshInProgress* mesh) {
    XMeshData& out = *m_pOut;
    uint32_t nNormals = 0, nFaceNormals = 0;
    if (!ReadCount(&nNormals, 6)) return false;
    const size_t normalBase = out.normals.size();
    if (normalBase + nNormals > 0xFFFFFFF0u) return false;
    out.normals.reserve(normalBase + nNormals);
    for (uint32_t i = 0; i < nNormals; ++i) {
        D3DVECTOR n;
        if (!ReadFloat(&n.x) || !ReadFloat(&n.y) || !ReadFloat(&n.z)) return false;
        out.normals.push_back(n);
    }
    if (!ReadCount(&nFaceNormals, 8) || nFaceNormals != mesh->nFaces) return false;
    const std::vector<uint32_t>& polygonStart = mesh->polygonStart;
    mesh->normalIndex.resize(mesh->polygonIndex.size());
    for (uint32_t f = 0; f < mesh->nFaces; ++f) {
        uint32_t n = 0;
        if (!ReadIndex(&n) || n != polygonStart[f + 1] - polygonStart[f]) return false;
        for (uint32_t k = 0; k < n; ++k) {
            uint32_t ni = 0;
            if (!ReadIndex(&ni) || ni >= nNormals) return false;
            mesh->normalIndex[polygonStart[f] + k] = static_cast<uint32_t>(normalBase + ni);
        }
    }
    return m_Lex.Next() == XToken::RBrace;
}

// After the header: one (u, v) per vertex of this mesh.
bool XReader::ParseMeshTextureCoords(const MeshInProgress& mesh) {
    XMeshData& out = *m_pOut;
    uint32_t n = 0;
    if (!ReadCount(&n, 4) || n != mesh.nVertices) return false;
    out.texCoords.resize(mesh.vertexBase * 2, 0.0f);  // earlier meshes without coordinates
    out.texCoords.reserve((mesh.vertexBase + n) * 2);
    for (uint32_t i = 0; i < n; ++i) {
        float u = 0, v = 0;
        if (!ReadFloat(&u) || !ReadFloat(&v)) return false;
        out.texCoords.push_back(u);
        out.texCoords.push_back(v);
    }
    return m_Lex.Next() == XToken::RBrace;
}

// Triangle fans, with their materials (kNone until a default is known).
void XReader::AddMeshTriangles(const MeshInProgress& mesh) {
    XMeshData& out = *m_pOut;
    for (uint32_t f = 0; f < mesh.nFaces; ++f) {
        const uint32_t s = mesh.polygonStart[f], e = mesh.polygonStart[f + 1];
        for (uint32_t k = s + 1; k + 1 < e; ++k) {
            const uint32_t corner[3] = {s, k, k + 1};
            for (uint32_t c : corner)
                out.corners.push_back({static_cast<uint32_t>(mesh.vertexBase + mesh.polygonIndex[c]),
                                       mesh.hasNormals ? mesh.normalIndex[c] : kNone});
            out.attributes.push_back(mesh.hasMaterials ? mesh.faceMaterials[f] : kNone);
        }
    }
}

bool XReader::ParseTopLevel(std::string_view type) {
    if (NameIs(type, "template")) {
        if (m_Lex.Next() != XToken::Name || m_Lex.Next() != XToken::LBrace) return false;
        return SkipBlock(1);
    }
    if (NameIs(type, "Frame")) return ParseFrame(1);
    if (NameIs(type, "Mesh")) return ParseMesh(1);
    if (NameIs(type, "Material")) {  // a named material for later references
        std::string name;
        XMaterial mat;
        if (!ParseObjectHeader(&name) || !ParseMaterial(&mat, 1)) return false;
        if (!name.empty()) m_NamedMaterials[name] = mat;
        return true;
    }
    return ParseObjectOrSkip(0);
}

HRESULT XReader::Run() {
    for (;;) {
        const XToken t = m_Lex.Next();
        if (t == XToken::End) break;
        bool ok = false;
        if (t == XToken::Name)
            ok = ParseTopLevel(m_Lex.text());
        else if (t == XToken::LBrace)
            ok = SkipBlock(1);  // a stray reference
        if (!ok) return D3DXERR_INVALIDDATA;
    }
    if (!m_bAnyMesh) return D3DXERR_LOADEDMESHHASNODATA;

    XMeshData& out = *m_pOut;
    // Meshes without normals point at one zero normal; without any, there are none.
    if (m_bAnyNormals) {
        const uint32_t zero = static_cast<uint32_t>(out.normals.size());
        bool needZero = false;
        for (XCorner& c : out.corners)
            if (c.normal == kNone) {
                c.normal = zero;
                needZero = true;
            }
        if (needZero) out.normals.push_back(D3DVECTOR{0, 0, 0});
    } else {
        out.normals.clear();
        for (XCorner& c : out.corners) c.normal = 0;
    }
    if (!m_bAnyCoords) out.texCoords.clear();
    // Meshes without a material list share one default material when other
    // meshes have materials; a file with no materials at all has attribute 0.
    if (out.materials.empty()) {
        for (uint32_t& a : out.attributes) a = 0;
    } else {
        const uint32_t def = static_cast<uint32_t>(out.materials.size());
        bool needDefault = false;
        for (uint32_t& a : out.attributes)
            if (a == kNone) {
                a = def;
                needDefault = true;
            }
        if (needDefault) {
            XMaterial mat;
            mat.material.Diffuse = {1, 1, 1, 1};
            mat.material.Specular = {0, 0, 0, 1};
            mat.material.Emissive = {0, 0, 0, 1};
            out.materials.push_back(mat);
        }
    }
    return S_OK;
}

bool HeaderIsText(const uint8_t* h) {
    auto digits = [&](size_t at) {
        for (size_t i = at; i < at + 4; ++i)
            if (h[i] < '0' || h[i] > '9') return false;
        return true;
    };
    return std::memcmp(h, "xof ", 4) == 0 && digits(4) && std::memcmp(h + 8, "txt ", 4) == 0 &&
           (std::memcmp(h + 12, "0032", 4) == 0 || std::memcmp(h + 12, "0064", 4) == 0);
}

}  // namespace

HRESULT ReadXFile(const uint8_t* data, size_t size, XMeshData* out) {
    *out = XMeshData();
    constexpr size_t kHeader = 16;
    if (!data || size < kHeader || !HeaderIsText(data)) return D3DXERR_INVALIDDATA;
    XReader reader(data + kHeader, size - kHeader, out);
    const HRESULT hr = reader.Run();
    if (FAILED(hr)) *out = XMeshData();
    return hr;
}

}  // namespace plat
