// Font engine: a paragraph shaped by reusing the previous one's glyphs around
// an edit must come out exactly as shaping it whole, over many random edits of
// mixed text (kerning, ligatures, fallback faces, marks, right-to-left).
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/d3dx9/font_engine.h"
#include "tests/support/font_engine_setup.h"

namespace {

using tumbral_test::MakeFontEngine;

// Two engines of one face: one reusing earlier shaping after edits, one always shaping whole.
struct ReusingAndWhole {
    std::unique_ptr<plat::FontEngine> reusing, whole;
    ReusingAndWhole(const wchar_t* face, int height)
        : reusing(MakeFontEngine(face, height)), whole(MakeFontEngine(face, height)) {
        if (whole) whole->SetShapingReuse(false);
    }
    bool Ready() const { return reusing && whole; }
};

// `piece` repeated to at least `length` characters.
std::u32string LineOf(const std::u32string& piece, size_t length) {
    std::u32string line;
    while (line.size() < length) line += piece;
    return line;
}

// Pieces the random text is made of: kerning pairs, ligature candidates, spaces,
// CJK from a fallback face, combining marks, emoji, digits and punctuation.
const std::vector<std::u32string>& Pieces() {
    static const std::vector<std::u32string> pieces = {
        U"fi",     U"ff",     U"ffi",     U"fl",      U"AV",     U"To",         U"Wa",
        U"Yo",     U"LT",     U"ly",      U" ",       U" ",      U"  ",         U"还原",
        U"汉字",   U"。",     U"e\u0301", U"a\u0308", U"\u0301", U"\U0001F600", U"\U0001F44D\U0001F3FD",
        U"0123",   U"42",     U"1/2",     U",",       U".",      U"-",          U"office",
        U"affine", U"AVATAR", U"Typo",    U"x",       U"\u200D", U"\u00E9",     U"\u03A9\u03B1"};
    return pieces;
}

std::u32string RandomText(std::mt19937& rng, int pieces) {
    const auto& all = Pieces();
    std::u32string text;
    for (int i = 0; i < pieces; ++i) text += all[rng() % all.size()];
    return text;
}

// One random edit: insert, delete or replace, at the start, the end or anywhere.
void RandomEdit(std::mt19937& rng, std::u32string* text) {
    const size_t len = text->size();
    size_t at = 0;
    switch (rng() % 4) {
        case 0:
            at = 0;
            break;
        case 1:
            at = len;
            break;
        default:
            at = len ? rng() % (len + 1) : 0;
    }
    const size_t span = std::min<size_t>(len - at, 1 + rng() % 4);
    const auto& all = Pieces();
    switch (rng() % 3) {
        case 0:
            text->insert(at, all[rng() % all.size()]);
            break;
        case 1:
            if (span)
                text->erase(at, span);
            else if (len)
                text->erase(len - 1, 1);
            break;
        default:
            text->replace(at, span, all[rng() % all.size()]);
            break;
    }
}

// Every glyph of both shapings: face slot, glyph id, advance, offsets, cluster.
void ExpectSameGlyphs(plat::FontEngine& reusing, plat::FontEngine& whole, const std::u32string& text,
                      int step) {
    const auto& got = reusing.ShapeParagraph(text);
    const auto& want = whole.ShapeParagraph(text);
    ASSERT_EQ(got.size(), want.size()) << "step " << step;
    for (size_t i = 0; i < got.size(); ++i) {
        const auto &g = got[i], &w = want[i];
        ASSERT_TRUE(g.slot == w.slot && g.glyph == w.glyph && g.advance == w.advance &&
                    g.xOffset == w.xOffset && g.yOffset == w.yOffset && g.cluster == w.cluster)
            << "step " << step << " glyph " << i << ": slot " << g.slot << "/" << w.slot << " glyph "
            << g.glyph << "/" << w.glyph << " advance " << g.advance << "/" << w.advance << " cluster "
            << g.cluster << "/" << w.cluster;
    }
}

void RunRandomEdits(const wchar_t* face, int height, unsigned seed, int edits, bool rightToLeft) {
    ReusingAndWhole engines(face, height);
    ASSERT_TRUE(engines.Ready());
    plat::FontEngine &reusing = *engines.reusing, &whole = *engines.whole;
    std::mt19937 rng(seed);
    std::u32string text = RandomText(rng, 60);
    for (int step = 0; step < edits; ++step) {
        RandomEdit(rng, &text);
        if (rightToLeft && rng() % 50 == 0)
            text.insert(rng() % (text.size() + 1), U"\u05E9\u05DC\u05D5\u05DD");
        if (text.empty()) text = RandomText(rng, 10);
        ExpectSameGlyphs(reusing, whole, text, step);
        if (testing::Test::HasFatalFailure()) return;
        // A part of the line in between, as an edit box draws only what it shows.
        if (text.size() > 2 && step % 2) {
            const size_t from = rng() % (text.size() / 2);
            ExpectSameGlyphs(reusing, whole, text.substr(from, 1 + rng() % (text.size() - from)), step);
            if (testing::Test::HasFatalFailure()) return;
        }
    }
}

TEST(FontReshape, RandomEditsShapeAsTheWholeParagraphWould) {
    RunRandomEdits(L"Arial", 16, 1u, 1500, false);
    RunRandomEdits(L"P052", 23, 2u, 1500, false);
    RunRandomEdits(L"Courier New", -13, 3u, 800, false);
}

TEST(FontReshape, RightToLeftTextAmongTheEditsStaysExact) { RunRandomEdits(L"Arial", 16, 4u, 800, true); }

// The edit box's case: a long line typed into and erased at a caret.
TEST(FontReshape, TypingAndErasingInALongLineStaysExact) {
    ReusingAndWhole engines(L"Arial", 16);
    ASSERT_TRUE(engines.Ready());
    plat::FontEngine &reusing = *engines.reusing, &whole = *engines.whole;
    std::u32string text = LineOf(U"Wave office To fix AV 还原 e\u0301 42 ", 1000);
    const std::u32string typed = U"ffi AVo 还 fi\u0301";
    size_t caret = 500;
    int step = 0;
    for (char32_t ch : typed) {
        text.insert(caret++, 1, ch);
        ExpectSameGlyphs(reusing, whole, text, step++);
        ASSERT_FALSE(testing::Test::HasFatalFailure());
    }
    for (size_t i = 0; i < typed.size(); ++i) {
        text.erase(--caret, 1);
        ExpectSameGlyphs(reusing, whole, text, step++);
        ASSERT_FALSE(testing::Test::HasFatalFailure());
    }
}

// Letters typed one after another inside words of several scripts: a typed
// letter that kerns with the one after it cannot join the unchanged text right
// there, so the reuse has to cut further on, and must still match.
TEST(FontReshape, TypingLettersThatKernWithWhatFollowsStaysExact) {
    ReusingAndWhole engines(L"Arial", 14);
    ASSERT_TRUE(engines.Ready());
    plat::FontEngine &reusing = *engines.reusing, &whole = *engines.whole;
    std::u32string text = LineOf(U"Tumbral 还原 cube, Κύβος 立方体 кубик 42; AVATAR Typo ", 1000);
    int step = 0;
    // Between T|y, A|V, у|б and ύ|β, from the last so each stays where it is.
    for (size_t caret : {size_t(535), size_t(528), size_t(519), size_t(509)}) {
        for (char32_t ch = U'a'; ch <= U'z'; ++ch) {
            text.insert(caret++, 1, ch == U'q' ? U'V' : ch);
            ExpectSameGlyphs(reusing, whole, text, step++);
            ASSERT_FALSE(testing::Test::HasFatalFailure());
        }
    }
}

// The random texts above only prove something if the faces really join and
// kern: a ligature takes fewer glyphs than characters, a kerning pair less room.
TEST(FontReshape, TheTestFacesLigateAndKern) {
    auto serif = MakeFontEngine(L"P052", 23);
    ASSERT_TRUE(serif);
    EXPECT_LT(serif->ShapeParagraph(U"ffi").size(), 3u);
    auto sans = MakeFontEngine(L"Arial", 16);
    ASSERT_TRUE(sans);
    const auto av = sans->ShapeParagraph(U"AV");
    const auto& a = sans->ShapeParagraph(U"A");
    const int aAlone = a.at(0).advance;
    ASSERT_EQ(av.size(), 2u);
    EXPECT_LT(av[0].advance, aAlone);
}

}  // namespace
