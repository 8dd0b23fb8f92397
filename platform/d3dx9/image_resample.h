// Resampling ARGB images between sizes: every destination texel averages the
// source texels its footprint covers (weighted by overlap), which is the box
// filter for halving and an area average for any other ratio. The work goes
// a destination row at a time, reading the source a row at a time, so that
// neither image needs to be held whole.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32types.h"

namespace plat {

// Rows of an ARGB image. A row handed out stays valid until the next call.
class RowReader {
  public:
    virtual ~RowReader() = default;
    virtual const uint32_t* Row(UINT z, UINT y) = 0;
};

// Rows of an image held whole in memory.
class ArrayRows final : public RowReader {
  public:
    ArrayRows(const uint32_t* texels, UINT width, UINT height) : m_texels(texels), m_w(width), m_h(height) {}
    const uint32_t* Row(UINT z, UINT y) override { return m_texels + (size_t(z) * m_h + y) * m_w; }

  private:
    const uint32_t* m_texels;
    UINT m_w, m_h;
};

// One resampling from a source extent to a destination extent. Point
// sampling when filter is D3DX_FILTER_POINT, a plain copy of the overlapping
// corner (the rest transparent black) for D3DX_FILTER_NONE, area averaging
// otherwise. Volumes resample across slices too.
class Resampler {
  public:
    Resampler(UINT sw, UINT sh, UINT sd, UINT dw, UINT dh, UINT dd, DWORD filter);
    // Destination row y of slice z, `dw` texels.
    void Row(RowReader& src, UINT z, UINT y, uint32_t* out);

  private:
    // For one axis: the source cells a destination cell covers, with weights
    // summing to 1.
    struct Span {
        UINT first = 0;
        std::vector<float> weights;
    };
    static std::vector<Span> Footprints(UINT srcLen, UINT dstLen);
    void AreaAverageRow(RowReader& src, UINT z, UINT y, uint32_t* out);

    UINT m_sw, m_sh, m_sd, m_dw, m_dh, m_dd;
    DWORD m_method;
    std::vector<Span> m_xs, m_ys, m_zs;  // area averaging only
    std::vector<float> m_acc;            // four sums a destination texel
};

// The whole image at once, between arrays.
void Resample(const uint32_t* src, UINT sw, UINT sh, UINT sd, uint32_t* dst, UINT dw, UINT dh, UINT dd,
              DWORD filter);

}  // namespace plat
