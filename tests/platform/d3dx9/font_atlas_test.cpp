// Glyph atlas: glyphs never overlap, pages fill and overflow to new pages, and
// the rows to upload are tracked per page.
#include <gtest/gtest.h>

#include <vector>

#include "platform/d3dx9/glyph_atlas.h"

namespace {

bool Overlap(const plat::AtlasSpot& a, const plat::AtlasSpot& b) {
    return a.page == b.page && a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
           b.y < a.y + a.height;
}

TEST(FontAtlas, GlyphsOfMixedSizesNeverOverlapAndKeepTheirPixels) {
    plat::GlyphAtlas atlas(64);
    std::vector<plat::AtlasSpot> spots;
    for (int i = 0; i < 60; ++i) {
        const int w = 3 + i % 11, h = 4 + (i * 7) % 13;
        std::vector<uint8_t> pixels(static_cast<size_t>(w * h), static_cast<uint8_t>(i + 1));
        plat::AtlasSpot spot;
        ASSERT_TRUE(atlas.Add(w, h, pixels.data(), &spot));
        EXPECT_EQ(spot.width, w);
        EXPECT_EQ(spot.height, h);
        EXPECT_LE(spot.x + w, 64);
        EXPECT_LE(spot.y + h, 64);
        spots.push_back(spot);
    }
    EXPECT_GT(atlas.PageCount(), 1);
    for (size_t i = 0; i < spots.size(); ++i) {
        for (size_t j = i + 1; j < spots.size(); ++j)
            EXPECT_FALSE(Overlap(spots[i], spots[j])) << i << " " << j;
        const uint8_t* page = atlas.PagePixels(spots[i].page);
        EXPECT_EQ(page[spots[i].y * 64 + spots[i].x], i + 1);
        EXPECT_EQ(page[(spots[i].y + spots[i].height - 1) * 64 + spots[i].x + spots[i].width - 1], i + 1);
    }
}

TEST(FontAtlas, EmptyAndOversizedGlyphs) {
    plat::GlyphAtlas atlas(32);
    plat::AtlasSpot spot;
    ASSERT_TRUE(atlas.Add(0, 10, nullptr, &spot));  // a space: nothing to draw
    EXPECT_EQ(spot.page, -1);
    EXPECT_EQ(atlas.PageCount(), 0);
    std::vector<uint8_t> big(40 * 40, 255);
    EXPECT_FALSE(atlas.Add(40, 40, big.data(), &spot));
    EXPECT_EQ(atlas.PageCount(), 0);
}

TEST(FontAtlas, DirtyRowsCoverNewGlyphsUntilMarkedClean) {
    plat::GlyphAtlas atlas(64);
    std::vector<uint8_t> pixels(10 * 12, 9);
    plat::AtlasSpot a, b;
    ASSERT_TRUE(atlas.Add(10, 12, pixels.data(), &a));
    int top = 0, bottom = 0;
    atlas.DirtyRows(0, &top, &bottom);
    EXPECT_EQ(top, a.y);
    EXPECT_EQ(bottom, a.y + 12);
    atlas.MarkClean(0);
    atlas.DirtyRows(0, &top, &bottom);
    EXPECT_GE(top, bottom);
    ASSERT_TRUE(atlas.Add(10, 12, pixels.data(), &b));
    atlas.DirtyRows(0, &top, &bottom);
    EXPECT_LE(top, b.y);
    EXPECT_GE(bottom, b.y + 12);
}

}  // namespace
