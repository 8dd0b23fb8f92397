// The device-independent half of a font: the chosen faces and their sizes,
// per-character fallback, shaping (with a cache of shaped paragraphs), line
// layout with the DT_* flags, and the glyph cache over a coverage atlas.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/d3dx9core.h"
#include "platform/d3dx9/glyph_atlas.h"

namespace plat {

class SizedFace;
class FontFallbackChain;

// A glyph placed by layout: pen position on the baseline, in pixels.
struct PlacedGlyph {
    int slot = 0;  // face slot: 0 the chosen face, higher the fallbacks
    uint32_t glyph = 0;
    int x = 0, y = 0;
};

// The outcome of laying out one DrawText call.
struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    RECT bounds{};   // rectangle the lines occupy
    int lines = 0;   // number of lines
    int height = 0;  // value DrawText returns
};

// A rasterised glyph: its place in the atlas and its offset from the pen position.
struct CachedGlyph {
    AtlasSpot spot;
    int left = 0, top = 0;
};

class FontEngine {
  public:
    // Matches and opens the faces for a description; the failure result when
    // no installed font can serve it.
    static HRESULT Create(const D3DXFONT_DESCW& desc, std::unique_ptr<FontEngine>* out);
    ~FontEngine();
    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int CellHeight() const { return m_ascent + m_descent; }
    int AverageCharWidth() const { return m_averageWidth; }

    // Lays out count characters (-1: up to the terminator) in rect with DT_* flags.
    void Layout(const WCHAR* text, int count, const RECT& rect, DWORD format, TextLayout* out);
    // Advance width of each of count characters laid out as one line (a
    // ligature's width is shared among its characters), for caret placement.
    void MeasureCharacters(const WCHAR* text, int count, std::vector<int>* advances);
    // Shapes one line; per character, whether a shaping cluster starts there and,
    // for a cluster's first character, the cluster's advance (control characters
    // take no room). For the text-layout service's caret positions.
    void MeasureClusters(const std::u32string& line, std::vector<int>* advances,
                         std::vector<uint8_t>* starts);
    // The rasterised glyph, rendering it into the atlas on first use; null when it cannot be rendered.
    const CachedGlyph* Glyph(int slot, uint32_t glyph);
    // The chosen face's glyph for a character (fallback faces included); false when none covers it.
    bool GlyphForChar(char32_t ch, int* slot, uint32_t* glyph);

    GlyphAtlas& Atlas() { return m_atlas; }

    // A glyph of a shaped paragraph, tagged with the face that shaped it.
    struct Shaped {
        int slot;
        uint32_t glyph;
        int advance, xOffset, yOffset;
        uint32_t cluster;  // index of the glyph's first character in the paragraph
        bool unsafe;       // the shaping may change if the text is cut or joined at this cluster
    };
    // The glyphs of one paragraph (no line breaks), cached by text. A paragraph
    // that differs from the last one shaped only in a stretch reuses that one's
    // glyphs before and after the stretch where the shaping allows it.
    const std::vector<Shaped>& ShapeParagraph(const std::u32string& text);
    // Off: every new paragraph is shaped whole (the reference the reuse must match).
    void SetShapingReuse(bool on) { m_reuseShaping = on; }

  private:
    FontEngine(const D3DXFONT_DESCW& desc, int pageSize);

    // A stretch of a paragraph shaped with one face.
    struct Run {
        int start, end, slot;
        uint32_t script;
    };
    void SplitRuns(const std::u32string& text, std::vector<Run>* runs);
    // A paragraph shaped lately, kept whole for reuse after an edit.
    struct Recent {
        std::u32string text;
        std::vector<Run> runs;
        std::shared_ptr<const std::vector<Shaped>> glyphs;  // shared with the cache
        uint64_t used = 0;
    };
    void ShapeWhole(const std::u32string& text, const std::vector<Run>& runs, std::vector<Shaped>* out);
    // Reshapes text from a recent paragraph it differs from by an edit (font_reshape.cpp);
    // false when that cannot be done exactly.
    struct EditReshape;
    bool ShapeEdited(const Recent& before, const std::u32string& text, const std::vector<Run>& runs,
                     std::vector<Shaped>* out);
    int SlotFor(char32_t ch);
    void LayoutParagraph(const std::u32string& text, const std::vector<Shaped>& shaped, DWORD format,
                         int limit, std::vector<std::vector<PlacedGlyph>>* lines, std::vector<int>* widths);

    D3DXFONT_DESCW m_desc;
    double m_emX = 0, m_emY = 0;
    bool m_mono = false;
    int m_ascent = 0, m_descent = 0, m_averageWidth = 0;
    std::unique_ptr<FontFallbackChain> m_fallback;
    std::vector<std::unique_ptr<SizedFace>> m_faces;       // by slot
    std::vector<std::pair<std::string, int>> m_faceFiles;  // file and index of each slot
    std::unordered_map<char32_t, int> m_charSlots;
    std::unique_ptr<int8_t[]> m_planeSlots;  // the same for the basic plane without hashing; -1 not yet known
    // Shaped paragraphs by text, with the text's hash kept so a paragraph is hashed once.
    struct ShapeKey {
        std::u32string text;
        size_t hash;
    };
    struct ShapeKeyView {
        std::u32string_view text;
        size_t hash;
    };
    struct ShapeKeyHash {
        using is_transparent = void;
        size_t operator()(const ShapeKey& k) const { return k.hash; }
        size_t operator()(const ShapeKeyView& k) const { return k.hash; }
    };
    struct ShapeKeyEqual {
        using is_transparent = void;
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            return a.hash == b.hash && std::u32string_view(a.text) == std::u32string_view(b.text);
        }
    };
    using ShapedGlyphs = std::shared_ptr<const std::vector<Shaped>>;
    std::unordered_map<ShapeKey, ShapedGlyphs, ShapeKeyHash, ShapeKeyEqual> m_shapeCache;
    std::deque<const ShapeKey*> m_shapeOrder;  // the cached paragraphs, oldest first
    size_t m_shapeChars = 0;                   // characters over all cached paragraphs
    // Caches a shaped paragraph, making room first; the cached glyphs.
    const std::vector<Shaped>& Cache(const std::u32string& text, size_t hash, ShapedGlyphs shaped);
    // The last few paragraphs shaped (not found in the cache), for reuse after an
    // edit: an edit box's whole line and its visible part each find their own.
    bool m_reuseShaping = true;
    std::vector<Recent> m_recent;
    uint64_t m_recentClock = 0;
    std::unordered_map<uint64_t, CachedGlyph> m_glyphs;
    GlyphAtlas m_atlas;
    std::u32string m_scratch;
};

}  // namespace plat
