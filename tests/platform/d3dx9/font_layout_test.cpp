// Font engine: face choice and sizes, fallback for missing characters, and the
// placement of text by the DT_* flags (no device needed).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/d3dx9/font_dc.h"
#include "platform/d3dx9/font_engine.h"
#include "tests/support/font_engine_setup.h"

namespace {

std::unique_ptr<plat::FontEngine> MakeEngine(const wchar_t* face, int height, UINT weight = FW_NORMAL,
                                             BOOL italic = FALSE, BYTE quality = DEFAULT_QUALITY) {
    auto engine = tumbral_test::MakeFontEngine(face, height, weight, italic, quality);
    EXPECT_NE(engine, nullptr) << face;
    return engine;
}

plat::TextLayout Lay(plat::FontEngine& engine, const wchar_t* text, RECT rect, DWORD format, int count = -1) {
    plat::TextLayout layout;
    engine.Layout(text, count, rect, format, &layout);
    return layout;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

TEST(FontLayout, PositiveHeightIsTheCellNegativeHeightTheEm) {
    auto cell = MakeEngine(L"Arial", 15);
    auto em = MakeEngine(L"Arial", -15);
    ASSERT_TRUE(cell && em);
    EXPECT_EQ(cell->CellHeight(), 15);
    EXPECT_GT(cell->Ascent(), cell->Descent());
    // Arial-like faces have a cell about 1.15 em tall.
    EXPECT_GE(em->CellHeight(), 16);
    EXPECT_LE(em->CellHeight(), 18);
    // A line of text is one cell tall and the call reports that height.
    const auto line = Lay(*cell, L"Frame rate", RECT{5, 5, 0, 0}, DT_NOCLIP);
    EXPECT_EQ(line.lines, 1);
    EXPECT_EQ(line.height, 15);
    EXPECT_EQ(line.bounds.top, 5);
    EXPECT_EQ(line.bounds.bottom, 20);
    EXPECT_EQ(line.bounds.left, 5);
    EXPECT_GT(Width(line.bounds), 40);
}

TEST(FontLayout, AbsurdSizesAreBoundedNotFatal) {
    for (int height : {INT32_MIN, -100000, 100000, INT32_MAX}) {
        auto engine = MakeEngine(L"Arial", height);
        ASSERT_TRUE(engine);
        EXPECT_GT(engine->CellHeight(), 0);
        EXPECT_LE(engine->CellHeight(), 4096);
        // Glyphs larger than an atlas page are skipped, never drawn out of bounds.
        const auto layout = Lay(*engine, L"W", RECT{}, DT_NOCLIP);
        ASSERT_EQ(layout.glyphs.size(), 1u);
        const plat::CachedGlyph* glyph = engine->Glyph(layout.glyphs[0].slot, layout.glyphs[0].glyph);
        if (glyph) {
            EXPECT_LE(glyph->spot.width, engine->Atlas().PageSize());
        }
    }
}

TEST(FontLayout, FaceNamesMatchInstalledFontsAndUnknownNamesFallBack) {
    for (const wchar_t* face :
         {L"Arial", L"Comic Sans MS", L"Courier New", L"MS Sans Serif", L"No Such Face 1234"}) {
        auto engine = MakeEngine(face, 14);
        ASSERT_TRUE(engine) << face;
        const auto layout = Lay(*engine, L"Quit: ESC", RECT{0, 0, 200, 50}, DT_LEFT);
        EXPECT_EQ(layout.glyphs.size(), 8u) << face;  // the space draws nothing
        for (const auto& g : layout.glyphs) {
            const plat::CachedGlyph* glyph = engine->Glyph(g.slot, g.glyph);
            ASSERT_NE(glyph, nullptr) << face;
            EXPECT_GT(glyph->spot.width, 0) << face;
        }
    }
    // A monospace face gives every character the same advance.
    auto mono = MakeEngine(L"Courier New", 16);
    EXPECT_EQ(Width(Lay(*mono, L"iiii", RECT{}, DT_NOCLIP).bounds),
              Width(Lay(*mono, L"MMMM", RECT{}, DT_NOCLIP).bounds));
}

TEST(FontLayout, BoldIsWiderThanNormal) {
    auto normal = MakeEngine(L"Arial", 15, FW_NORMAL);
    auto bold = MakeEngine(L"Arial", 15, FW_BOLD);
    const wchar_t* text = L"Controls (F1 to hide):";
    EXPECT_GT(Width(Lay(*bold, text, RECT{}, DT_NOCLIP).bounds),
              Width(Lay(*normal, text, RECT{}, DT_NOCLIP).bounds));
}

// The coverage of the single glyph of a one-character text.
std::vector<uint8_t> GlyphCoverage(plat::FontEngine& engine, const wchar_t* ch, int* width) {
    const auto layout = Lay(engine, ch, RECT{}, DT_NOCLIP);
    EXPECT_EQ(layout.glyphs.size(), 1u);
    const plat::CachedGlyph* glyph = engine.Glyph(layout.glyphs[0].slot, layout.glyphs[0].glyph);
    std::vector<uint8_t> coverage;
    if (!glyph) return coverage;
    const uint8_t* page = engine.Atlas().PagePixels(glyph->spot.page);
    for (int y = 0; y < glyph->spot.height; ++y)
        for (int x = 0; x < glyph->spot.width; ++x)
            coverage.push_back(page[(glyph->spot.y + y) * engine.Atlas().PageSize() + glyph->spot.x + x]);
    *width = glyph->spot.width;
    return coverage;
}

TEST(FontLayout, ItalicSlantsAndNonAntialiasedQualityGivesOneBitGlyphs) {
    auto upright = MakeEngine(L"Arial", 24);
    auto italic = MakeEngine(L"Arial", 24, FW_NORMAL, TRUE);
    int uprightWidth = 0, italicWidth = 0;
    GlyphCoverage(*upright, L"l", &uprightWidth);
    GlyphCoverage(*italic, L"l", &italicWidth);
    EXPECT_GT(italicWidth, uprightWidth + 2);

    auto mono = MakeEngine(L"Arial", 24, FW_NORMAL, FALSE, NONANTIALIASED_QUALITY);
    int width = 0;
    const auto sharp = GlyphCoverage(*mono, L"O", &width);
    ASSERT_FALSE(sharp.empty());
    for (uint8_t c : sharp) EXPECT_TRUE(c == 0 || c == 255);
    const auto smooth = GlyphCoverage(*upright, L"O", &width);
    EXPECT_TRUE(std::any_of(smooth.begin(), smooth.end(), [](uint8_t c) { return c > 0 && c < 255; }));
}

TEST(FontLayout, CharactersTheFaceLacksComeFromAnotherInstalledFont) {
    auto engine = MakeEngine(L"Arial", 15);
    const auto layout = Lay(*engine, L"\u8fd8\u539f", RECT{0, 0, 100, 30}, DT_CENTER | DT_VCENTER);
    ASSERT_EQ(layout.glyphs.size(), 2u);
    for (const auto& g : layout.glyphs) {
        EXPECT_NE(g.slot, 0) << "drawn with the Latin face";
        EXPECT_NE(g.glyph, 0u) << "missing-glyph box";
        const plat::CachedGlyph* glyph = engine->Glyph(g.slot, g.glyph);
        ASSERT_NE(glyph, nullptr);
        // An ideograph is a dense glyph, most of a cell wide and tall.
        EXPECT_GE(glyph->spot.width, 8);
        EXPECT_GE(glyph->spot.height, 8);
        const uint8_t* page = engine->Atlas().PagePixels(glyph->spot.page);
        int inked = 0;
        for (int y = 0; y < glyph->spot.height; ++y)
            for (int x = 0; x < glyph->spot.width; ++x)
                inked += page[(glyph->spot.y + y) * engine->Atlas().PageSize() + glyph->spot.x + x] > 128;
        EXPECT_GT(inked, 20);
    }
    // The fallback glyphs sit on the same baseline as the Latin text around them.
    const auto mixed = Lay(*engine, L"a\u8fd8", RECT{}, DT_NOCLIP);
    ASSERT_EQ(mixed.glyphs.size(), 2u);
    EXPECT_EQ(mixed.glyphs[0].y, mixed.glyphs[1].y);
}

// What a text looks like: each glyph with its place, and each character's advance.
struct Look {
    std::vector<std::pair<uint32_t, int>> glyphs;  // glyph and pen position
    std::vector<int> advances;
};

Look LookOf(plat::FontEngine& engine, const std::wstring& text) {
    Look look;
    for (const auto& g : Lay(engine, text.c_str(), RECT{}, DT_NOCLIP).glyphs)
        look.glyphs.emplace_back(g.glyph, g.x);
    engine.MeasureCharacters(text.c_str(), static_cast<int>(text.size()), &look.advances);
    return look;
}

// A character the face lacks and several fallback faces cover (the check mark:
// a symbol face and the CJK face) comes from the same face whatever the engine
// shaped before: each text looks as it does in an engine that never saw another.
TEST(FontLayout, FallbackForACharacterDoesNotDependOnWhatWasShapedBefore) {
    const std::vector<std::wstring> texts = {L"\u2713", L"\u8fd8\u2713", L"\u2605\u2713 \u8fd8\u539f",
                                             L"\u2192\u8fd8", L"a\u2713\u2192"};
    std::vector<Look> alone;
    for (const std::wstring& text : texts) alone.push_back(LookOf(*MakeEngine(L"Arial", 15), text));
    for (const bool reversed : {false, true}) {
        auto engine = MakeEngine(L"Arial", 15);
        for (size_t k = 0; k < texts.size(); ++k) {
            const size_t i = reversed ? texts.size() - 1 - k : k;
            SCOPED_TRACE(testing::Message() << "text " << i << (reversed ? ", last first" : ""));
            const Look look = LookOf(*engine, texts[i]);
            EXPECT_EQ(look.glyphs, alone[i].glyphs);
            EXPECT_EQ(look.advances, alone[i].advances);
        }
    }
}

TEST(FontLayout, AlignmentPlacesTheBlockInTheRectangle) {
    auto engine = MakeEngine(L"Arial", 15);
    const RECT rect{100, 50, 300, 110};
    const auto centred = Lay(*engine, L"Restore", rect, DT_CENTER | DT_VCENTER);
    EXPECT_LE(std::abs((centred.bounds.left - rect.left) - (rect.right - centred.bounds.right)), 1);
    EXPECT_LE(std::abs((centred.bounds.top - rect.top) - (rect.bottom - centred.bounds.bottom)), 1);
    EXPECT_EQ(Height(centred.bounds), 15);
    // Centred vertically, the call reports the distance from the rectangle's top to the text's bottom.
    EXPECT_EQ(centred.height, centred.bounds.bottom - rect.top);

    const auto corner = Lay(*engine, L"Restore", rect, DT_RIGHT | DT_BOTTOM);
    EXPECT_EQ(corner.bounds.right, rect.right);
    EXPECT_EQ(corner.bounds.bottom, rect.bottom);
    EXPECT_EQ(Width(corner.bounds), Width(centred.bounds));

    const auto plain = Lay(*engine, L"Restore", rect, DT_LEFT | DT_TOP);
    EXPECT_EQ(plain.bounds.left, rect.left);
    EXPECT_EQ(plain.bounds.top, rect.top);
    EXPECT_EQ(plain.height, 15);
    // Glyph pens follow the block: the right-aligned copy is the left one moved.
    ASSERT_EQ(plain.glyphs.size(), corner.glyphs.size());
    const int dx = corner.glyphs[0].x - plain.glyphs[0].x;
    for (size_t i = 0; i < plain.glyphs.size(); ++i) EXPECT_EQ(corner.glyphs[i].x - plain.glyphs[i].x, dx);
}

TEST(FontLayout, LineBreaksWordWrappingAndSingleLine) {
    auto engine = MakeEngine(L"Arial", 15);
    const auto two = Lay(*engine, L"first\nsecond", RECT{0, 0, 400, 100}, DT_LEFT);
    EXPECT_EQ(two.lines, 2);
    EXPECT_EQ(two.height, 30);
    EXPECT_EQ(Lay(*engine, L"first\r\nsecond", RECT{0, 0, 400, 100}, DT_LEFT).lines, 2);
    EXPECT_EQ(Lay(*engine, L"first\nsecond", RECT{0, 0, 400, 100}, DT_SINGLELINE).lines, 1);

    const wchar_t* sentence = L"The quick brown fox jumps over the lazy dog again and again";
    const auto unwrapped = Lay(*engine, sentence, RECT{0, 0, 120, 200}, DT_LEFT);
    EXPECT_EQ(unwrapped.lines, 1);
    EXPECT_GT(unwrapped.bounds.right, 120);
    const auto wrapped = Lay(*engine, sentence, RECT{0, 0, 120, 200}, DT_LEFT | DT_WORDBREAK);
    EXPECT_GE(wrapped.lines, 3);
    EXPECT_LE(wrapped.bounds.right, 120);
    EXPECT_EQ(wrapped.height, wrapped.lines * 15);
    EXPECT_EQ(wrapped.glyphs.size(), unwrapped.glyphs.size());
    // A word longer than the rectangle stays whole on its own line.
    const auto longWord = Lay(*engine, L"a Supercalifragilistic b", RECT{0, 0, 30, 200}, DT_WORDBREAK);
    EXPECT_EQ(longWord.lines, 3);
    EXPECT_GT(longWord.bounds.right, 30);
    // Ideographs break between any two characters.
    EXPECT_GE(Lay(*engine, L"\u8fd8\u539f\u8fd8\u539f\u8fd8\u539f", RECT{0, 0, 40, 200}, DT_WORDBREAK).lines,
              2);
}

TEST(FontLayout, CountsEmptyTextAndTabs) {
    auto engine = MakeEngine(L"Arial", 15);
    EXPECT_EQ(Lay(*engine, L"Hello world", RECT{}, DT_NOCLIP, 5).glyphs.size(), 5u);
    const auto empty = Lay(*engine, L"", RECT{10, 20, 50, 60}, DT_CENTER);
    EXPECT_EQ(empty.height, 0);
    EXPECT_TRUE(empty.glyphs.empty());
    EXPECT_EQ(Lay(*engine, L"Hello", RECT{}, DT_NOCLIP, 0).height, 0);
    const LONG plain = Width(Lay(*engine, L"a\tb", RECT{}, DT_NOCLIP).bounds);
    const LONG expanded = Width(Lay(*engine, L"a\tb", RECT{}, DT_NOCLIP | DT_EXPANDTABS).bounds);
    EXPECT_GE(expanded, engine->AverageCharWidth() * 8);
    EXPECT_LT(plain, expanded);
}

TEST(FontLayout, CharacterAdvancesAddUpToTheLineWidth) {
    auto engine = MakeEngine(L"Arial", 15);
    std::vector<int> advances;
    engine->MeasureCharacters(L"office W\u8fd8", 8, &advances);
    ASSERT_EQ(advances.size(), 8u);
    int sum = 0;
    for (int a : advances) {
        EXPECT_GT(a, 0);
        sum += a;
    }
    // The line's ink ends before its last advance; the space adds a gap of its own.
    const auto layout = Lay(*engine, L"office W\u8fd8", RECT{}, DT_NOCLIP, 8);
    EXPECT_EQ(sum, Width(layout.bounds));
    EXPECT_GT(advances[7], advances[0]);  // an ideograph is wider than 'o'
    engine->MeasureCharacters(L"x", 0, &advances);
    EXPECT_TRUE(advances.empty());
}

TEST(FontLayout, DeviceContextNamesTheEngineWhileRegistered) {
    auto engine = MakeEngine(L"Arial", 15);
    HDC dc = plat::RegisterFontDC(engine.get());
    EXPECT_EQ(plat::FontEngineFromDC(dc), engine.get());
    plat::UnregisterFontDC(dc);
    EXPECT_EQ(plat::FontEngineFromDC(dc), nullptr);
    EXPECT_EQ(plat::FontEngineFromDC(nullptr), nullptr);
}

// With no fonts installed at all, creation fails with a result instead of
// crashing. Runs in a fresh process so fontconfig reads the empty configuration.
TEST(FontLayoutDeathTest, NoInstalledFontFailsCreation) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string conf = ::testing::TempDir() + "tumbral_no_fonts.conf";
    std::ofstream(conf) << "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n";
    EXPECT_EXIT(
        {
            setenv("FONTCONFIG_FILE", conf.c_str(), 1);
            setenv("TUMBRAL_DEBUG_OUTPUT", "off", 1);
            D3DXFONT_DESCW desc{};
            desc.Height = 15;
            std::wcscpy(desc.FaceName, L"Arial");
            std::unique_ptr<plat::FontEngine> engine;
            const HRESULT hr = plat::FontEngine::Create(desc, &engine);
            std::exit(FAILED(hr) && !engine ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
