// Primitive assembly: from a draw call to rasterized primitives.
#include "platform/d3d9/pipeline/primitive_assembly.h"

#include <cstring>

#include "platform/d3d9/pipeline/clipping.h"
#include "platform/d3d9/pipeline/setup.h"

namespace plat::d3d9 {

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT count) {
    if (count == 0) return 0;
    switch (type) {
        case D3DPT_POINTLIST:
            return count;
        case D3DPT_LINELIST:
            return count * 2;
        case D3DPT_LINESTRIP:
            return count + 1;
        case D3DPT_TRIANGLELIST:
            return count * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return count + 2;
        default:
            return 0;
    }
}

ScreenVertex PrimitivePipeline::ToScreen(const ClipVertex& v) const {
    ScreenVertex s;
    ToScreen(v, s);
    return s;
}

void PrimitivePipeline::ToScreen(const ClipVertex& v, ScreenVertex& s) const {
    // Written field by field into place: a vertex built on the stack and copied whole was read back
    // in wider pieces than it was written, which stalls the stores.
    if (m_transformed) {
        s.x = v.x;
        s.y = v.y;
        s.z = v.z;
        s.rhw = v.w;
    } else {
        float rhw = 1.0f / v.w;
        s.x = m_viewport.x + (1.0f + v.x * rhw) * 0.5f * m_viewport.width;
        s.y = m_viewport.y + (1.0f - v.y * rhw) * 0.5f * m_viewport.height;
        s.z = m_viewport.minZ + v.z * rhw * (m_viewport.maxZ - m_viewport.minZ);
        s.rhw = rhw;
    }
    std::memcpy(s.color, v.color, sizeof s.color);
    std::memcpy(s.specular, v.specular, sizeof s.specular);
    std::memcpy(s.tex, v.tex, sizeof s.tex);
}

bool PrimitivePipeline::Culled(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const {
    DWORD cull = m_pixel->cullMode;
    if (cull == D3DCULL_NONE) return false;
    float area = SignedArea2(a, b, c);
    // On screen (y down) a positive area is a clockwise triangle.
    return cull == D3DCULL_CCW ? area < 0.0f : area > 0.0f;
}

void PrimitivePipeline::FillTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                     const ScreenVertex& flat) {
    switch (m_pixel->fillMode) {
        case D3DFILL_POINT:
            m_queue->Point(a);
            m_queue->Point(b);
            m_queue->Point(c);
            break;
        case D3DFILL_WIREFRAME:
            m_queue->Line(a, b, true);
            m_queue->Line(b, c, true);
            m_queue->Line(c, a, true);
            break;
        default:
            m_queue->Triangle(a, b, c, flat);
            break;
    }
}

void PrimitivePipeline::Triangle(UINT i0, UINT i1, UINT i2) {
    const ClipVertex &a = m_clip[i0], &b = m_clip[i1], &c = m_clip[i2];
    if (a.outcode & b.outcode & c.outcode) return;
    if ((a.outcode | b.outcode | c.outcode) == 0) {
        const ScreenVertex &sa = m_screen[i0], &sb = m_screen[i1], &sc = m_screen[i2];
        if (!Culled(sa, sb, sc)) FillTriangle(sa, sb, sc, sa);
        return;
    }
    ClipVertex in[3] = {a, b, c}, out[kMaxClippedVertices];
    int n = ClipPolygon(in, 3, out);
    if (n < 3) return;
    ScreenVertex s[kMaxClippedVertices];
    for (int i = 0; i < n; ++i) s[i] = ToScreen(out[i]);
    ScreenVertex flat = ToScreen(a);
    if (m_pixel->fillMode == D3DFILL_SOLID) {
        for (int i = 1; i + 1 < n; ++i)
            if (!Culled(s[0], s[i], s[i + 1])) m_queue->Triangle(s[0], s[i], s[i + 1], flat);
        return;
    }
    // Wireframe and point fill show the clipped outline.
    if (Culled(s[0], s[1], s[2])) return;
    for (int i = 0; i < n; ++i) {
        if (m_pixel->fillMode == D3DFILL_POINT)
            m_queue->Point(s[i]);
        else
            m_queue->Line(s[i], s[(i + 1) % n], true);
    }
}

void PrimitivePipeline::Line(UINT i0, UINT i1) {
    ClipVertex a = m_clip[i0], b = m_clip[i1];
    if (a.outcode & b.outcode) return;
    if ((a.outcode | b.outcode) == 0) {
        m_queue->Line(m_screen[i0], m_screen[i1], true);
        return;
    }
    if (ClipSegment(a, b)) m_queue->Line(ToScreen(a), ToScreen(b), true);
}

void PrimitivePipeline::Point(UINT i) {
    if (m_clip[i].outcode == 0) m_queue->Point(m_screen[i]);
}

bool PrimitivePipeline::Draw(const DrawCall& call, const VertexConfig& vertexConfig,
                             const VertexLayout& layout, const StreamSource* streams,
                             const Viewport& viewport, const PixelConfig& pixelConfig, DrawQueue& queue) {
    UINT needed = VerticesForPrimitives(call.type, call.primitiveCount);
    if (needed == 0) return true;
    if (m_clip.size() < call.vertexCount) {
        m_clip.resize(call.vertexCount);
        m_screen.resize(call.vertexCount);
    }
    if (!ProcessVertices(vertexConfig, layout, streams, call.firstVertex, call.vertexCount, m_clip.data()))
        return false;
    m_transformed = layout.transformed;
    m_viewport = viewport;
    m_pixel = &pixelConfig;
    for (UINT i = 0; i < call.vertexCount; ++i)
        if (m_clip[i].outcode == 0) ToScreen(m_clip[i], m_screen[i]);
    m_queue = &queue;
    m_queue->BeginDraw(pixelConfig);

    // Index n of the primitive stream → processed vertex number; false when outside the processed range.
    auto fetch = [&](UINT n, UINT& out) {
        int64_t index;
        if (!call.indices) {
            index = n;
        } else {
            uint32_t raw;
            if (call.indices32)
                std::memcpy(&raw, static_cast<const uint8_t*>(call.indices) + 4 * size_t(n), 4);
            else {
                uint16_t r16;
                std::memcpy(&r16, static_cast<const uint8_t*>(call.indices) + 2 * size_t(n), 2);
                raw = r16;
            }
            index = int64_t(raw) + call.indexBias - int64_t(call.firstVertex);
        }
        if (index < 0 || index >= int64_t(call.vertexCount)) return false;
        out = static_cast<UINT>(index);
        return true;
    };

    UINT i0, i1, i2;
    for (UINT p = 0; p < call.primitiveCount; ++p) {
        switch (call.type) {
            case D3DPT_POINTLIST:
                if (!fetch(p, i0)) return false;
                Point(i0);
                break;
            case D3DPT_LINELIST:
                if (!fetch(2 * p, i0) || !fetch(2 * p + 1, i1)) return false;
                Line(i0, i1);
                break;
            case D3DPT_LINESTRIP:
                if (!fetch(p, i0) || !fetch(p + 1, i1)) return false;
                Line(i0, i1);
                break;
            case D3DPT_TRIANGLELIST:
                if (!fetch(3 * p, i0) || !fetch(3 * p + 1, i1) || !fetch(3 * p + 2, i2)) return false;
                Triangle(i0, i1, i2);
                break;
            case D3DPT_TRIANGLESTRIP:
                if (!fetch(p, i0) || !fetch(p + 1, i1) || !fetch(p + 2, i2)) return false;
                // Odd triangles swap two vertices to keep the winding of the strip.
                if (p & 1)
                    Triangle(i1, i0, i2);
                else
                    Triangle(i0, i1, i2);
                break;
            case D3DPT_TRIANGLEFAN:
                if (!fetch(0, i0) || !fetch(p + 1, i1) || !fetch(p + 2, i2)) return false;
                // A fan triangle's flat-shading colour comes from vertex p + 1; the rotation keeps the
                // winding.
                Triangle(i1, i2, i0);
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace plat::d3d9
