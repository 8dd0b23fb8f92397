// Rasterization stage: finds the pixels a primitive covers and hands them to
// the pixel stage as spans. Pixel centres lie at integer coordinates; the
// top-left rule decides pixels on edges (a pixel is covered when
// left <= x < right and top <= y < bottom along the row), so triangles that
// share an edge cover each pixel on it exactly once.
#pragma once

#include <cstdint>

#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/pipeline/pixel_processing.h"

namespace plat::d3d9 {

class Rasterizer {
  public:
    // Prepares for a draw with `config`; the configuration must outlive the draw.
    void Begin(const PixelConfig& config);
    // Limits drawing to rows [top, bottom) on top of the configuration's clip
    // rectangle (a band of the target drawn by one thread); all rows by default.
    void SetRows(int top, int bottom) {
        m_rowTop = top;
        m_rowBottom = bottom;
    }

    // A triangle after culling; `flat` supplies the colours under flat shading.
    void Triangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                  const ScreenVertex& flat);
    // An axis-aligned rectangle given by three of its corners, whose values
    // are one plane over the whole rectangle (as two triangles sharing a
    // diagonal are when their attributes are planar): the pixels those two
    // triangles cover, [ceil(left), ceil(right)) x [ceil(top), ceil(bottom)),
    // with one set-up and one span per row.
    void Rectangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
    // The pixels Rectangle(a, b, c) and the two triangles splitting that rectangle along a diagonal
    // each cover under `config`'s clip rectangle (every row), as `out`; false when they would draw nothing.
    static bool RectangleCovers(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                const PixelConfig& config, RECT& out);
    // A one-pixel-wide line; `last` includes the end pixel.
    void Line(const ScreenVertex& a, const ScreenVertex& b, bool last);
    void Point(const ScreenVertex& v);

  private:
    void ShadePixel(int x, int y, const ScreenVertex& v, bool perspective);

    const PixelConfig* m_config = nullptr;
    SpanFunctions m_spans;
    int m_rowTop = INT32_MIN, m_rowBottom = INT32_MAX;
};

}  // namespace plat::d3d9
