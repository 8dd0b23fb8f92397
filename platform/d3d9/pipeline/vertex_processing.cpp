// Vertex processing stage: fetch, transform, lighting, texture coordinate selection.
#include "platform/d3d9/pipeline/vertex_processing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d9/pipeline/clipping.h"

namespace plat::d3d9 {

namespace {

UINT DeclTypeSize(BYTE type) {
    switch (type) {
        case D3DDECLTYPE_FLOAT1:
            return 4;
        case D3DDECLTYPE_FLOAT2:
            return 8;
        case D3DDECLTYPE_FLOAT3:
            return 12;
        case D3DDECLTYPE_FLOAT4:
            return 16;
        case D3DDECLTYPE_D3DCOLOR:
        case D3DDECLTYPE_UBYTE4:
        case D3DDECLTYPE_UBYTE4N:
        case D3DDECLTYPE_SHORT2:
        case D3DDECLTYPE_SHORT2N:
        case D3DDECLTYPE_USHORT2N:
        case D3DDECLTYPE_UDEC3:
        case D3DDECLTYPE_DEC3N:
        case D3DDECLTYPE_FLOAT16_2:
            return 4;
        case D3DDECLTYPE_SHORT4:
        case D3DDECLTYPE_SHORT4N:
        case D3DDECLTYPE_USHORT4N:
        case D3DDECLTYPE_FLOAT16_4:
            return 8;
        default:
            return 0;
    }
}

float HalfToFloat(uint16_t h) {
    uint32_t sign = (h >> 15) & 1, exp = (h >> 10) & 0x1F, man = h & 0x3FF;
    float v;
    if (exp == 0)
        v = std::ldexp(static_cast<float>(man), -24);
    else if (exp == 31)
        v = man ? NAN : INFINITY;
    else
        v = std::ldexp(static_cast<float>(man | 0x400), static_cast<int>(exp) - 25);
    return sign ? -v : v;
}

// Reads an element as four floats (missing components 0, w 1). Colours come back as 0..1 in r, g, b, a order.
void ReadElement(const uint8_t* p, BYTE type, float out[4]) {
    out[0] = out[1] = out[2] = 0.0f;
    out[3] = 1.0f;
    switch (type) {
        case D3DDECLTYPE_FLOAT1:
        case D3DDECLTYPE_FLOAT2:
        case D3DDECLTYPE_FLOAT3:
        case D3DDECLTYPE_FLOAT4:
            std::memcpy(out, p, DeclTypeSize(type));
            break;
        case D3DDECLTYPE_D3DCOLOR: {
            uint32_t c;
            std::memcpy(&c, p, 4);
            out[0] = ((c >> 16) & 0xFF) / 255.0f;
            out[1] = ((c >> 8) & 0xFF) / 255.0f;
            out[2] = (c & 0xFF) / 255.0f;
            out[3] = (c >> 24) / 255.0f;
            break;
        }
        case D3DDECLTYPE_UBYTE4:
        case D3DDECLTYPE_UBYTE4N:
            for (int i = 0; i < 4; ++i) out[i] = type == D3DDECLTYPE_UBYTE4 ? p[i] : p[i] / 255.0f;
            break;
        case D3DDECLTYPE_SHORT2:
        case D3DDECLTYPE_SHORT4:
        case D3DDECLTYPE_SHORT2N:
        case D3DDECLTYPE_SHORT4N: {
            int n = (type == D3DDECLTYPE_SHORT2 || type == D3DDECLTYPE_SHORT2N) ? 2 : 4;
            bool norm = type == D3DDECLTYPE_SHORT2N || type == D3DDECLTYPE_SHORT4N;
            for (int i = 0; i < n; ++i) {
                int16_t s;
                std::memcpy(&s, p + 2 * i, 2);
                out[i] = norm ? std::max(-1.0f, s / 32767.0f) : s;
            }
            break;
        }
        case D3DDECLTYPE_USHORT2N:
        case D3DDECLTYPE_USHORT4N: {
            int n = type == D3DDECLTYPE_USHORT2N ? 2 : 4;
            for (int i = 0; i < n; ++i) {
                uint16_t s;
                std::memcpy(&s, p + 2 * i, 2);
                out[i] = s / 65535.0f;
            }
            break;
        }
        case D3DDECLTYPE_FLOAT16_2:
        case D3DDECLTYPE_FLOAT16_4: {
            int n = type == D3DDECLTYPE_FLOAT16_2 ? 2 : 4;
            for (int i = 0; i < n; ++i) {
                uint16_t h;
                std::memcpy(&h, p + 2 * i, 2);
                out[i] = HalfToFloat(h);
            }
            break;
        }
        case D3DDECLTYPE_UDEC3:
        case D3DDECLTYPE_DEC3N: {
            uint32_t v;
            std::memcpy(&v, p, 4);
            for (int i = 0; i < 3; ++i) {
                uint32_t f = (v >> (10 * i)) & 0x3FF;
                if (type == D3DDECLTYPE_UDEC3)
                    out[i] = static_cast<float>(f);
                else
                    out[i] = std::max(-1.0f, static_cast<float>(static_cast<int>(f << 22) >> 22) / 511.0f);
            }
            break;
        }
        default:
            break;
    }
}

inline void Transform4(const float m[4][4], const float v[4], float out[4]) {
    for (int j = 0; j < 4; ++j) out[j] = v[0] * m[0][j] + v[1] * m[1][j] + v[2] * m[2][j] + v[3] * m[3][j];
}

inline float Dot3(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline void Normalize3(float v[3]) {
    float len = std::sqrt(Dot3(v, v));
    if (len > 0.0f)
        for (int i = 0; i < 3; ++i) v[i] /= len;
}

inline void ColorValue(const D3DCOLORVALUE& c, float out[4]) {
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

// Picks a material colour from the material or a vertex colour.
void MaterialColor(DWORD source, const D3DCOLORVALUE& material, bool colorVertex, bool hasDiffuse,
                   const float diffuse[4], bool hasSpecular, const float specular[4], float out[4]) {
    if (colorVertex && source == D3DMCS_COLOR1 && hasDiffuse) {
        std::memcpy(out, diffuse, sizeof(float) * 4);
    } else if (colorVertex && source == D3DMCS_COLOR2 && hasSpecular) {
        std::memcpy(out, specular, sizeof(float) * 4);
    } else {
        ColorValue(material, out);
    }
}

void Light(const VertexConfig& cfg, const float pos[3], const float normal[3], bool hasDiffuse,
           const float vDiffuse[4], bool hasSpecular, const float vSpecular[4], float outDiffuse[4],
           float outSpecular[4]) {
    float md[4], ma[4], ms[4], me[4];
    MaterialColor(cfg.diffuseSource, cfg.material.Diffuse, cfg.colorVertex, hasDiffuse, vDiffuse, hasSpecular,
                  vSpecular, md);
    MaterialColor(cfg.ambientSource, cfg.material.Ambient, cfg.colorVertex, hasDiffuse, vDiffuse, hasSpecular,
                  vSpecular, ma);
    MaterialColor(cfg.specularSource, cfg.material.Specular, cfg.colorVertex, hasDiffuse, vDiffuse,
                  hasSpecular, vSpecular, ms);
    MaterialColor(cfg.emissiveSource, cfg.material.Emissive, cfg.colorVertex, hasDiffuse, vDiffuse,
                  hasSpecular, vSpecular, me);

    float ambient[3] = {cfg.globalAmbient[0], cfg.globalAmbient[1], cfg.globalAmbient[2]};
    float diffuse[3] = {0, 0, 0}, specular[3] = {0, 0, 0};
    for (int i = 0; i < cfg.lightCount; ++i) {
        const ViewLight& L = cfg.lights[i];
        float toLight[3];
        float atten = 1.0f, spot = 1.0f;
        if (L.type == D3DLIGHT_DIRECTIONAL) {
            std::memcpy(toLight, L.toLight, sizeof toLight);
        } else {
            for (int k = 0; k < 3; ++k) toLight[k] = L.position[k] - pos[k];
            float dist = std::sqrt(Dot3(toLight, toLight));
            if (dist > L.range) continue;
            if (dist > 0.0f)
                for (float& t : toLight) t /= dist;
            float denom = L.att0 + L.att1 * dist + L.att2 * dist * dist;
            atten = denom > 0.0f ? 1.0f / denom : 1.0f;
            if (L.type == D3DLIGHT_SPOT) {
                float rho = -Dot3(toLight, L.direction);
                if (rho <= L.cosHalfPhi)
                    spot = 0.0f;
                else if (rho <= L.cosHalfTheta) {
                    float span = L.cosHalfTheta - L.cosHalfPhi;
                    float f = span > 0.0f ? (rho - L.cosHalfPhi) / span : 1.0f;
                    spot = L.falloff == 1.0f ? f : std::pow(f, L.falloff);
                }
            }
        }
        float scale = atten * spot;
        for (int k = 0; k < 3; ++k) ambient[k] += L.ambient[k] * scale;
        float ndotl = Dot3(normal, toLight);
        if (ndotl <= 0.0f) continue;
        for (int k = 0; k < 3; ++k) diffuse[k] += L.diffuse[k] * ndotl * scale;
        if (cfg.specular) {
            float h[3];
            if (cfg.localViewer) {
                float v[3] = {-pos[0], -pos[1], -pos[2]};
                Normalize3(v);
                for (int k = 0; k < 3; ++k) h[k] = v[k] + toLight[k];
            } else {
                h[0] = toLight[0];
                h[1] = toLight[1];
                h[2] = toLight[2] - 1.0f;
            }
            Normalize3(h);
            float ndoth = Dot3(normal, h);
            if (ndoth > 0.0f && cfg.material.Power > 0.0f) {
                float f = std::pow(ndoth, cfg.material.Power) * scale;
                for (int k = 0; k < 3; ++k) specular[k] += L.specular[k] * f;
            }
        }
    }
    for (int k = 0; k < 3; ++k) {
        outDiffuse[k] = std::clamp(me[k] + ma[k] * ambient[k] + md[k] * diffuse[k], 0.0f, 1.0f);
        outSpecular[k] = std::clamp(ms[k] * specular[k], 0.0f, 1.0f);
    }
    outDiffuse[3] = std::clamp(md[3], 0.0f, 1.0f);
    outSpecular[3] = 0.0f;
}

}  // namespace

UINT FvfVertexSize(DWORD fvf) {
    VertexLayout layout;
    if (!LayoutFromFvf(fvf, layout)) return 0;
    UINT size = 0;
    auto grow = [&](const VertexLayout::Element& e) {
        if (e.stream >= 0) size = std::max(size, e.offset + DeclTypeSize(e.type));
    };
    grow(layout.position);
    grow(layout.normal);
    grow(layout.diffuse);
    grow(layout.specular);
    for (const auto& t : layout.tex) grow(t);
    if (fvf & D3DFVF_PSIZE) {
        UINT psize = layout.normal.stream >= 0
                         ? layout.normal.offset + 12
                         : layout.position.offset + ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW ||
                                                             (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZW
                                                         ? 16
                                                         : 12);
        size = std::max(size, psize + 4);
    }
    return size;
}

bool LayoutFromFvf(DWORD fvf, VertexLayout& out) {
    out = VertexLayout{};
    UINT offset = 0;
    DWORD pos = fvf & D3DFVF_POSITION_MASK;
    if (fvf & ~(D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE | D3DFVF_SPECULAR |
                D3DFVF_TEXCOUNT_MASK | D3DFVF_LASTBETA_UBYTE4 | D3DFVF_LASTBETA_D3DCOLOR | 0xFFFF0000u))
        return false;
    switch (pos) {
        case 0:
            return false;
        case D3DFVF_XYZ:
            out.position = {0, 0, D3DDECLTYPE_FLOAT3};
            offset = 12;
            break;
        case D3DFVF_XYZRHW:
            out.position = {0, 0, D3DDECLTYPE_FLOAT4};
            out.transformed = true;
            offset = 16;
            break;
        case D3DFVF_XYZW:
            out.position = {0, 0, D3DDECLTYPE_FLOAT4};
            offset = 16;
            break;
        case D3DFVF_XYZB1:
        case D3DFVF_XYZB2:
        case D3DFVF_XYZB3:
        case D3DFVF_XYZB4:
        case D3DFVF_XYZB5:
            // Blend weights are skipped: vertex blending is off in this device.
            out.position = {0, 0, D3DDECLTYPE_FLOAT3};
            offset = 12 + 4 * ((pos - D3DFVF_XYZ) / 2);
            break;
        default:
            return false;
    }
    if (fvf & D3DFVF_NORMAL) {
        if (out.transformed) return false;
        out.normal = {0, offset, D3DDECLTYPE_FLOAT3};
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        out.diffuse = {0, offset, D3DDECLTYPE_D3DCOLOR};
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        out.specular = {0, offset, D3DDECLTYPE_D3DCOLOR};
        offset += 4;
    }
    UINT texCount = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (texCount > 8) return false;
    for (UINT i = 0; i < texCount; ++i) {
        DWORD format = (fvf >> (16 + 2 * i)) & 3;
        BYTE type = format == D3DFVF_TEXTUREFORMAT1   ? D3DDECLTYPE_FLOAT1
                    : format == D3DFVF_TEXTUREFORMAT3 ? D3DDECLTYPE_FLOAT3
                    : format == D3DFVF_TEXTUREFORMAT4 ? D3DDECLTYPE_FLOAT4
                                                      : D3DDECLTYPE_FLOAT2;
        out.tex[i] = {0, offset, type};
        offset += DeclTypeSize(type);
    }
    return true;
}

bool LayoutFromDeclaration(const D3DVERTEXELEMENT9* e, VertexLayout& out) {
    out = VertexLayout{};
    bool havePosition = false;
    for (int n = 0; n < MAXD3DDECLLENGTH && e->Stream != 0xFF; ++n, ++e) {
        if (e->Stream >= 16 || DeclTypeSize(e->Type) == 0) return false;
        VertexLayout::Element el{static_cast<int>(e->Stream), e->Offset, e->Type};
        switch (e->Usage) {
            case D3DDECLUSAGE_POSITION:
                if (e->UsageIndex == 0) out.position = el, havePosition = true;
                break;
            case D3DDECLUSAGE_POSITIONT:
                out.position = el;
                out.transformed = true;
                havePosition = true;
                break;
            case D3DDECLUSAGE_NORMAL:
                if (e->UsageIndex == 0) out.normal = el;
                break;
            case D3DDECLUSAGE_COLOR:
                if (e->UsageIndex == 0)
                    out.diffuse = el;
                else if (e->UsageIndex == 1)
                    out.specular = el;
                break;
            case D3DDECLUSAGE_TEXCOORD:
                if (e->UsageIndex < 8) out.tex[e->UsageIndex] = el;
                break;
            default:
                break;  // other usages have no fixed-function meaning here
        }
    }
    return havePosition;
}

void MultiplyMatrices(const float a[4][4], const float b[4][4], float out[4][4]) {
    float r[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j] + a[i][3] * b[3][j];
    std::memcpy(out, r, sizeof r);
}

void NormalMatrix(const float m[4][4], float out[3][3]) {
    float a = m[0][0], b = m[0][1], c = m[0][2];
    float d = m[1][0], e = m[1][1], f = m[1][2];
    float g = m[2][0], h = m[2][1], i = m[2][2];
    float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (std::fabs(det) < 1e-20f) {
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k) out[r][k] = r == k ? 1.0f : 0.0f;
        return;
    }
    float inv = 1.0f / det;
    // Inverse transpose = cofactor matrix / det.
    out[0][0] = (e * i - f * h) * inv;
    out[0][1] = (f * g - d * i) * inv;
    out[0][2] = (d * h - e * g) * inv;
    out[1][0] = (c * h - b * i) * inv;
    out[1][1] = (a * i - c * g) * inv;
    out[1][2] = (b * g - a * h) * inv;
    out[2][0] = (b * f - c * e) * inv;
    out[2][1] = (c * d - a * f) * inv;
    out[2][2] = (a * e - b * d) * inv;
}

namespace {

// One element's data in its stream, resolved once per draw.
struct ElementSource {
    const uint8_t* base = nullptr;  // the element of vertex 0; null: absent
    size_t stride = 0;
    UINT count = 0;
    BYTE type = D3DDECLTYPE_UNUSED;

    ElementSource(const VertexLayout::Element& el, const StreamSource* streams) {
        if (el.stream < 0 || el.stream >= 16 || !streams[el.stream].data) return;
        const StreamSource& s = streams[el.stream];
        base = s.data + el.offset;
        stride = s.stride;
        count = s.vertexCount;
        type = el.type;
    }
    const uint8_t* At(UINT index) const { return base && index < count ? base + index * stride : nullptr; }
};

// ReadElement with the common types inline.
inline void Read(const uint8_t* p, BYTE type, float out[4]) {
    if (type == D3DDECLTYPE_FLOAT4) {
        std::memcpy(out, p, 16);
    } else if (type == D3DDECLTYPE_FLOAT2) {
        std::memcpy(out, p, 8);
        out[2] = 0.0f;
        out[3] = 1.0f;
    } else if (type == D3DDECLTYPE_D3DCOLOR) {
        uint32_t c;
        std::memcpy(&c, p, 4);
        // Divided, not multiplied by 1/255: the same floats as ReadElement.
        out[0] = float((c >> 16) & 0xFF) / 255.0f;
        out[1] = float((c >> 8) & 0xFF) / 255.0f;
        out[2] = float(c & 0xFF) / 255.0f;
        out[3] = float(c >> 24) / 255.0f;
    } else {
        ReadElement(p, type, out);
    }
}

}  // namespace

bool ProcessVertices(const VertexConfig& cfg, const VertexLayout& layout, const StreamSource* streams,
                     UINT first, UINT count, ClipVertex* out) {
    const ElementSource position(layout.position, streams), normalSrc(layout.normal, streams),
        diffuseSrc(layout.diffuse, streams), specularSrc(layout.specular, streams);
    const ElementSource none(VertexLayout::Element{}, streams);
    ElementSource texSrc[kPipelineTexStages] = {none, none};
    for (int s = 0; s < kPipelineTexStages; ++s) {
        int set = cfg.texCoordIndex[s];
        if (set >= 0 && set < 8) texSrc[s] = ElementSource(layout.tex[set], streams);
    }
    const float white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 0};
    for (UINT n = 0; n < count; ++n) {
        UINT index = first + n;
        ClipVertex& v = out[n];
        const uint8_t* p = position.At(index);
        if (!p) return false;
        float pos[4];
        Read(p, position.type, pos);
        if (position.type == D3DDECLTYPE_FLOAT3) pos[3] = 1.0f;

        float diffuse[4], specular[4];
        const uint8_t* pd = diffuseSrc.At(index);
        const uint8_t* ps = specularSrc.At(index);
        if (pd)
            Read(pd, diffuseSrc.type, diffuse);
        else
            std::memcpy(diffuse, white, sizeof diffuse);
        if (ps)
            Read(ps, specularSrc.type, specular);
        else
            std::memcpy(specular, black, sizeof specular);

        if (layout.transformed) {
            // Screen position and reciprocal w as given; stored with w = 1/rhw for the screen mapping.
            v.x = pos[0];
            v.y = pos[1];
            v.z = pos[2];
            v.w = pos[3];  // rhw
            v.outcode = 0;
        } else {
            float clip[4];
            Transform4(cfg.worldViewProj, pos, clip);
            v.x = clip[0];
            v.y = clip[1];
            v.z = clip[2];
            v.w = clip[3];
            v.outcode = Outcode(v);
            if (cfg.lighting) {
                float eye[4];
                Transform4(cfg.worldView, pos, eye);
                float normal[3] = {0, 0, 0};
                if (const uint8_t* pn = normalSrc.At(index)) {
                    float nIn[4];
                    Read(pn, normalSrc.type, nIn);
                    for (int k = 0; k < 3; ++k)
                        normal[k] = nIn[0] * cfg.normalMatrix[0][k] + nIn[1] * cfg.normalMatrix[1][k] +
                                    nIn[2] * cfg.normalMatrix[2][k];
                    if (cfg.normalizeNormals) Normalize3(normal);
                }
                float litDiffuse[4], litSpecular[4];
                Light(cfg, eye, normal, pd != nullptr, diffuse, ps != nullptr, specular, litDiffuse,
                      litSpecular);
                std::memcpy(diffuse, litDiffuse, sizeof diffuse);
                std::memcpy(specular, litSpecular, sizeof specular);
            }
        }
        for (int k = 0; k < 4; ++k) v.color[k] = diffuse[k] * 255.0f;
        for (int k = 0; k < 3; ++k) v.specular[k] = specular[k] * 255.0f;
        for (int s = 0; s < kPipelineTexStages; ++s) {
            float t[4] = {0, 0, 0, 1};
            if (const uint8_t* pt = texSrc[s].At(index)) Read(pt, texSrc[s].type, t);
            v.tex[s][0] = t[0];
            v.tex[s][1] = t[1];
        }
    }
    return true;
}

}  // namespace plat::d3d9
