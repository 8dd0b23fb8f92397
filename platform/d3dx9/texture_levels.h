// The levels of a texture made from a decoded image, row by row: level 0 is
// read through from the image (widened, colour-keyed and resampled a row at a
// time, never held whole); each further level is box-filtered whole from the
// one above and dropped once the next is made. So loading costs the image,
// the texture and one level below the top, not a full-size copy of each.
#pragma once

#include <optional>
#include <vector>

#include "platform/d3dx9/image.h"
#include "platform/d3dx9/image_resample.h"

namespace plat {

struct Extent {
    UINT w, h, d;
};

// The extent of the level below.
Extent HalfExtent(Extent e);

// Level 0 of one face (or of a volume): the image's rows as ARGB, texels
// equal to the colour key (alpha included) made transparent black, resampled
// to the texture's size when it differs from the image's.
class TopLevelRows final : public RowReader {
  public:
    TopLevelRows(const Image& image, UINT face, D3DCOLOR colorKey, Extent top, DWORD filter);
    const uint32_t* Row(UINT z, UINT y) override;

  private:
    // The image's own rows, keyed.
    class Source final : public RowReader {
      public:
        Source(const Image& image, UINT face, D3DCOLOR colorKey);
        const uint32_t* Row(UINT z, UINT y) override;

      private:
        const Image& m_image;
        size_t m_firstRow;
        D3DCOLOR m_key;
        std::vector<uint32_t> m_row;
    };
    Source m_source;
    std::optional<Resampler> m_resampler;  // when the sizes differ
    std::vector<uint32_t> m_row;
};

// The levels of one face or volume, asked for in order 0, 1, 2, ...
class LevelChain {
  public:
    LevelChain(RowReader& top, Extent topExtent, DWORD mipFilter)
        : m_top(top), m_extent(topExtent), m_mipFilter(mipFilter) {}
    RowReader& Level(UINT level);

  private:
    RowReader& m_top;
    Extent m_extent;  // of the last level handed out
    DWORD m_mipFilter;
    UINT m_level = 0;
    std::vector<uint32_t> m_texels;  // the last level below the top
    std::optional<ArrayRows> m_rows;
};

}  // namespace plat
