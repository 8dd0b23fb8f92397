// Area-averaging, point and unfiltered resampling of ARGB images, a
// destination row at a time.
#include "platform/d3dx9/image_resample.h"

#include <algorithm>
#include <cstring>

#include "platform/d3dx9tex.h"

namespace plat {

std::vector<Resampler::Span> Resampler::Footprints(UINT srcLen, UINT dstLen) {
    std::vector<Span> spans(dstLen);
    const double scale = double(srcLen) / dstLen;
    for (UINT i = 0; i < dstLen; ++i) {
        const double lo = i * scale, hi = (i + 1) * scale;
        Span& s = spans[i];
        s.first = static_cast<UINT>(lo);
        const UINT last = std::min<UINT>(srcLen - 1, static_cast<UINT>(hi - 1e-9));
        for (UINT k = s.first; k <= last; ++k) {
            const double overlap = std::min<double>(hi, k + 1) - std::max<double>(lo, k);
            s.weights.push_back(static_cast<float>(overlap / scale));
        }
        if (s.weights.empty()) s.weights.push_back(1.0f);
    }
    return spans;
}

Resampler::Resampler(UINT sw, UINT sh, UINT sd, UINT dw, UINT dh, UINT dd, DWORD filter)
    : m_sw(sw), m_sh(sh), m_sd(sd), m_dw(dw), m_dh(dh), m_dd(dd), m_method(filter & 0xFF) {
    const bool same = sw == dw && sh == dh && sd == dd;
    if (same || m_method == D3DX_FILTER_NONE || m_method == D3DX_FILTER_POINT) return;
    m_xs = Footprints(sw, dw);
    m_ys = Footprints(sh, dh);
    m_zs = Footprints(sd, dd);
    m_acc.resize(size_t(dw) * 4);
}

// Each texel sums its footprint slice by slice, row by row, texel by texel
// (the order of the sums is the same whichever way the rows are read).
void Resampler::AreaAverageRow(RowReader& src, UINT z, UINT y, uint32_t* out) {
    std::fill(m_acc.begin(), m_acc.end(), 0.0f);
    const Span& sz = m_zs[z];
    const Span& sy = m_ys[y];
    for (size_t kz = 0; kz < sz.weights.size(); ++kz)
        for (size_t ky = 0; ky < sy.weights.size(); ++ky) {
            const uint32_t* row = src.Row(UINT(sz.first + kz), UINT(sy.first + ky));
            for (UINT x = 0; x < m_dw; ++x) {
                const Span& sx = m_xs[x];
                float* acc = &m_acc[size_t(x) * 4];
                for (size_t kx = 0; kx < sx.weights.size(); ++kx) {
                    const float w = sz.weights[kz] * sy.weights[ky] * sx.weights[kx];
                    const uint32_t p = row[sx.first + kx];
                    for (int c = 0; c < 4; ++c) acc[c] += w * float((p >> (8 * c)) & 0xFF);
                }
            }
        }
    for (UINT x = 0; x < m_dw; ++x) {
        uint32_t texel = 0;
        for (int c = 0; c < 4; ++c) {
            const float v = std::clamp(m_acc[size_t(x) * 4 + c] + 0.5f, 0.0f, 255.0f);
            texel |= uint32_t(v) << (8 * c);
        }
        out[x] = texel;
    }
}

void Resampler::Row(RowReader& src, UINT z, UINT y, uint32_t* out) {
    if (m_sw == m_dw && m_sh == m_dh && m_sd == m_dd) {
        std::memcpy(out, src.Row(z, y), size_t(m_dw) * 4);
        return;
    }
    if (m_method == D3DX_FILTER_NONE) {
        std::fill(out, out + m_dw, 0u);
        if (z < m_sd && y < m_sh) std::memcpy(out, src.Row(z, y), size_t(std::min(m_sw, m_dw)) * 4);
        return;
    }
    if (m_method == D3DX_FILTER_POINT) {
        const uint32_t* row = src.Row(UINT(uint64_t(z) * m_sd / m_dd), UINT(uint64_t(y) * m_sh / m_dh));
        for (UINT x = 0; x < m_dw; ++x) out[x] = row[uint64_t(x) * m_sw / m_dw];
        return;
    }
    AreaAverageRow(src, z, y, out);
}

void Resample(const uint32_t* src, UINT sw, UINT sh, UINT sd, uint32_t* dst, UINT dw, UINT dh, UINT dd,
              DWORD filter) {
    ArrayRows rows(src, sw, sh);
    Resampler resampler(sw, sh, sd, dw, dh, dd, filter);
    for (UINT z = 0; z < dd; ++z)
        for (UINT y = 0; y < dh; ++y) resampler.Row(rows, z, y, dst + (size_t(z) * dh + y) * dw);
}

}  // namespace plat
