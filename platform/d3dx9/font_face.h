// One installed font face at one pixel size: metrics, HarfBuzz shaping and
// FreeType rasterisation. Files are opened once per process and shared; each
// sized face keeps its own FreeType size object and HarfBuzz font.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3dx9/font_match.h"

namespace plat {

// A shaped glyph in whole pixels; cluster is the index of its first character in the text.
struct ShapedGlyph {
    uint32_t glyph = 0;
    int advance = 0;
    int xOffset = 0;
    int yOffset = 0;  // downwards
    uint32_t cluster = 0;
    bool unsafe = false;  // cutting or joining text at this glyph's cluster may change the shaping
};

// The script HarfBuzz would guess for a run of text: that of its first
// character with a script of its own; 0 when there is none.
uint32_t GuessScript(const char32_t* text, int count);
bool IsRightToLeft(uint32_t script);

// Coverage of one glyph; (left, top) is the bitmap's top-left corner relative
// to the pen position on the baseline, y downwards.
struct GlyphImage {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    std::vector<uint8_t> coverage;  // width * height bytes, 0..255
};

class SizedFace {
  public:
    // Null when the file cannot be read as a scalable font.
    static std::unique_ptr<SizedFace> Open(const FontFile& file);
    ~SizedFace();
    SizedFace(const SizedFace&) = delete;
    SizedFace& operator=(const SizedFace&) = delete;

    // Design metrics in font units, to choose a pixel size.
    int UnitsPerEm() const;
    int CellAscentUnits() const;   // ascent of the character cell
    int CellDescentUnits() const;  // descent of the character cell (positive)
    int AverageWidthUnits() const;

    // Selects the pixel size of the em square; mono renders one-bit glyphs.
    void SetPixelSize(double emX, double emY, bool mono);
    int Ascent() const;   // cell ascent in pixels at the current size
    int Descent() const;  // cell descent in pixels at the current size

    bool HasChar(char32_t ch) const;
    // Shapes text[start, start + count) in the given script (from GuessScript over
    // the whole run the piece belongs to) with the whole text as context; appends to out.
    void Shape(const char32_t* text, int length, int start, int count, uint32_t script,
               std::vector<ShapedGlyph>* out) const;
    // Rasterises one glyph at the current size; false when the glyph cannot be loaded.
    bool Render(uint32_t glyph, GlyphImage* out) const;

  private:
    struct Impl;
    explicit SizedFace(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m;
};

}  // namespace plat
