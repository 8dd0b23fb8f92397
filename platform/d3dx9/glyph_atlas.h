// Glyph atlas in memory: square pages of 8-bit coverage, filled shelf by shelf,
// each page remembering the rows changed since its last upload to a texture.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

// Where a glyph's coverage sits in the atlas.
struct AtlasSpot {
    int page = -1;  // -1: nothing to draw (empty glyph)
    int x = 0, y = 0, width = 0, height = 0;
};

class GlyphAtlas {
  public:
    explicit GlyphAtlas(int pageSize) : m_pageSize(pageSize) {}

    // Copies width * height coverage bytes into free space (a new page when
    // needed); false when the glyph is larger than a page.
    bool Add(int width, int height, const uint8_t* coverage, AtlasSpot* out);

    int PageSize() const { return m_pageSize; }
    int PageCount() const { return static_cast<int>(m_pages.size()); }
    const uint8_t* PagePixels(int page) const { return m_pages[page].pixels.data(); }
    // Rows [top, bottom) changed since the last MarkClean; empty when top >= bottom.
    void DirtyRows(int page, int* top, int* bottom) const;
    void MarkClean(int page);

  private:
    struct Page {
        std::vector<uint8_t> pixels;
        int shelfTop = 0;     // top of the open shelf
        int shelfHeight = 0;  // height of the open shelf
        int cursorX = 0;      // next free column on the open shelf
        int dirtyTop = 0, dirtyBottom = 0;
    };
    bool Fit(Page& page, int width, int height, int* x, int* y) const;

    int m_pageSize;
    std::vector<Page> m_pages;
};

}  // namespace plat
