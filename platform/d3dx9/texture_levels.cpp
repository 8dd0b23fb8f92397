// Streaming a texture's levels from a decoded image: the keyed, resampled top
// level a row at a time, and the mip chain a level at a time.
#include "platform/d3dx9/texture_levels.h"

namespace plat {

Extent HalfExtent(Extent e) { return {e.w > 1 ? e.w / 2 : 1, e.h > 1 ? e.h / 2 : 1, e.d > 1 ? e.d / 2 : 1}; }

TopLevelRows::Source::Source(const Image& image, UINT face, D3DCOLOR colorKey)
    : m_image(image),
      m_firstRow(size_t(face) * image.info.Depth * image.info.Height),
      m_key(colorKey),
      m_row(image.info.Width) {}

const uint32_t* TopLevelRows::Source::Row(UINT z, UINT y) {
    m_image.ReadRow(m_firstRow + size_t(z) * m_image.info.Height + y, m_row.data());
    if (m_key)
        for (uint32_t& p : m_row)
            if (p == m_key) p = 0;
    return m_row.data();
}

TopLevelRows::TopLevelRows(const Image& image, UINT face, D3DCOLOR colorKey, Extent top, DWORD filter)
    : m_source(image, face, colorKey) {
    const Extent src{image.info.Width, image.info.Height, image.info.Depth};
    if (src.w == top.w && src.h == top.h && src.d == top.d) return;
    m_resampler.emplace(src.w, src.h, src.d, top.w, top.h, top.d, filter);
    m_row.resize(top.w);
}

const uint32_t* TopLevelRows::Row(UINT z, UINT y) {
    if (!m_resampler) return m_source.Row(z, y);
    m_resampler->Row(m_source, z, y, m_row.data());
    return m_row.data();
}

RowReader& LevelChain::Level(UINT level) {
    while (m_level < level) {
        const Extent next = HalfExtent(m_extent);
        std::vector<uint32_t> texels(size_t(next.w) * next.h * next.d);
        Resampler resampler(m_extent.w, m_extent.h, m_extent.d, next.w, next.h, next.d, m_mipFilter);
        RowReader& above = m_level == 0 ? m_top : *m_rows;
        for (UINT z = 0; z < next.d; ++z)
            for (UINT y = 0; y < next.h; ++y)
                resampler.Row(above, z, y, texels.data() + (size_t(z) * next.h + y) * next.w);
        m_texels.swap(texels);
        m_rows.emplace(m_texels.data(), next.w, next.h);
        m_extent = next;
        ++m_level;
    }
    return m_level == 0 ? m_top : *m_rows;
}

}  // namespace plat
