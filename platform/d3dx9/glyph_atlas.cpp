// Shelf packing of glyph coverage into atlas pages. One texel of padding
// separates glyphs so that filtered sampling never bleeds between them.
#include "platform/d3dx9/glyph_atlas.h"

#include <algorithm>
#include <cstring>

namespace plat {

namespace {
constexpr int kPadding = 1;
}

bool GlyphAtlas::Fit(Page& page, int width, int height, int* x, int* y) const {
    const int w = width + kPadding, h = height + kPadding;
    // The open shelf is the lowest one, so it may grow downwards.
    if (page.cursorX + w > m_pageSize || page.shelfTop + h > m_pageSize) {
        const int top = page.shelfTop + page.shelfHeight;
        if (top + h > m_pageSize) return false;
        page.shelfTop = top;
        page.shelfHeight = 0;
        page.cursorX = 0;
    }
    page.shelfHeight = std::max(page.shelfHeight, h);
    *x = page.cursorX;
    *y = page.shelfTop;
    page.cursorX += w;
    return true;
}

bool GlyphAtlas::Add(int width, int height, const uint8_t* coverage, AtlasSpot* out) {
    if (width <= 0 || height <= 0) {
        *out = AtlasSpot{};
        return true;
    }
    if (width + kPadding > m_pageSize || height + kPadding > m_pageSize) return false;
    int x = 0, y = 0;
    if (m_pages.empty() || !Fit(m_pages.back(), width, height, &x, &y)) {
        Page page;
        page.pixels.assign(static_cast<size_t>(m_pageSize) * m_pageSize, 0);
        m_pages.push_back(std::move(page));
        Fit(m_pages.back(), width, height, &x, &y);
    }
    Page& page = m_pages.back();
    for (int row = 0; row < height; ++row)
        std::memcpy(&page.pixels[static_cast<size_t>(y + row) * m_pageSize + x],
                    coverage + static_cast<size_t>(row) * width, static_cast<size_t>(width));
    if (page.dirtyTop >= page.dirtyBottom) {
        page.dirtyTop = y;
        page.dirtyBottom = y + height;
    } else {
        page.dirtyTop = std::min(page.dirtyTop, y);
        page.dirtyBottom = std::max(page.dirtyBottom, y + height);
    }
    out->page = static_cast<int>(m_pages.size()) - 1;
    out->x = x;
    out->y = y;
    out->width = width;
    out->height = height;
    return true;
}

void GlyphAtlas::DirtyRows(int page, int* top, int* bottom) const {
    *top = m_pages[page].dirtyTop;
    *bottom = m_pages[page].dirtyBottom;
}

void GlyphAtlas::MarkClean(int page) { m_pages[page].dirtyTop = m_pages[page].dirtyBottom = 0; }

}  // namespace plat
