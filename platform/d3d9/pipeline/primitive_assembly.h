// Primitive assembly: runs one draw through the stages — vertex processing,
// primitive assembly from the primitive type and optional indices, clipping,
// screen mapping, culling and fill mode; the screen-space primitives go to the
// draw queue, which rasterizes them later. Scratch memory is kept
// between draws, so a frame of draws allocates nothing once warmed up.
#pragma once

#include <vector>

#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/pipeline/draw_queue.h"
#include "platform/d3d9/pipeline/vertex_processing.h"

namespace plat::d3d9 {

struct Viewport {
    float x = 0, y = 0, width = 0, height = 0, minZ = 0, maxZ = 1;
};

struct DrawCall {
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    // Vertices [firstVertex, firstVertex + vertexCount) of the streams are processed;
    // indices (or the running vertex number) are relative to firstVertex.
    UINT firstVertex = 0;
    UINT vertexCount = 0;
    const void* indices = nullptr;  // null: non-indexed
    bool indices32 = false;
    INT indexBias = 0;  // added to every index before subtracting firstVertex
};

// Number of vertices (or indices) a primitive count needs.
UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT count);

class PrimitivePipeline {
  public:
    // Draws into `queue`; false when the vertices or indices reach outside their streams.
    bool Draw(const DrawCall& call, const VertexConfig& vertexConfig, const VertexLayout& layout,
              const StreamSource* streams, const Viewport& viewport, const PixelConfig& pixelConfig,
              DrawQueue& queue);

  private:
    ScreenVertex ToScreen(const ClipVertex& v) const;
    void ToScreen(const ClipVertex& v, ScreenVertex& out) const;
    void Triangle(UINT i0, UINT i1, UINT i2);
    void Line(UINT i0, UINT i1);
    void Point(UINT i);
    void FillTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                      const ScreenVertex& flat);
    bool Culled(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) const;

    std::vector<ClipVertex> m_clip;
    std::vector<ScreenVertex> m_screen;
    DrawQueue* m_queue = nullptr;
    const PixelConfig* m_pixel = nullptr;
    Viewport m_viewport;
    bool m_transformed = false;
};

}  // namespace plat::d3d9
