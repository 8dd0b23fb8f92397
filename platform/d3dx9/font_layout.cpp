// Text layout for DrawText: paragraphs at line breaks, word wrapping within the
// rectangle's width, tab expansion, then horizontal and vertical placement by
// the DT_* flags.
#include <algorithm>

#include "platform/d3dx9/font_engine.h"

namespace plat {
namespace {

bool IsSpace(char32_t ch) { return ch == U' ' || ch == U'\t' || ch == 0x3000; }

// Ideographic scripts break between any two characters.
bool IsIdeographic(char32_t ch) {
    return (ch >= 0x2E80 && ch <= 0x9FFF) || (ch >= 0xAC00 && ch <= 0xD7AF) ||
           (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFF00 && ch <= 0xFFEF) ||
           (ch >= 0x20000 && ch <= 0x3FFFF);
}

// Control characters other than tab take no room and draw nothing.
bool IsInvisible(char32_t ch) { return (ch < 0x20 && ch != U'\t') || ch == 0x7F; }

}  // namespace

void FontEngine::LayoutParagraph(const std::u32string& text, const std::vector<Shaped>& shaped, DWORD format,
                                 int limit, std::vector<std::vector<PlacedGlyph>>* lines,
                                 std::vector<int>* widths) {
    const size_t n = shaped.size();
    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    const int tabStop = std::max(1, m_averageWidth * 8);
    auto charOf = [&](size_t i) { return text[std::min<size_t>(shaped[i].cluster, text.size() - 1)]; };

    size_t lineStart = 0;
    while (true) {
        // Find the end of this line: the whole rest, or the last break that fits.
        size_t lineEnd = n;
        if (wrap) {
            int pen = 0;
            size_t lastBreak = lineStart;
            for (size_t i = lineStart; i < n; ++i) {
                const char32_t ch = charOf(i);
                if (i > lineStart) {
                    const char32_t prev = charOf(i - 1);
                    if ((IsSpace(prev) && !IsSpace(ch)) || IsIdeographic(ch) || IsIdeographic(prev))
                        lastBreak = i;
                }
                int advance = shaped[i].advance;
                if (ch == U'\t' && (format & DT_EXPANDTABS)) advance = tabStop - pen % tabStop;
                if (IsInvisible(ch)) advance = 0;
                if (!IsSpace(ch) && pen + advance > limit && lastBreak > lineStart) {
                    lineEnd = lastBreak;
                    break;
                }
                pen += advance;
            }
        }

        // Place the line's glyphs from pen position 0; trailing spaces do not count towards its width.
        std::vector<PlacedGlyph> line;
        int pen = 0, width = 0;
        for (size_t i = lineStart; i < lineEnd; ++i) {
            const Shaped& g = shaped[i];
            const char32_t ch = charOf(i);
            int advance = g.advance;
            if (ch == U'\t' && (format & DT_EXPANDTABS)) advance = tabStop - pen % tabStop;
            if (IsInvisible(ch)) advance = 0;
            if (!IsSpace(ch) && !IsInvisible(ch)) {
                line.push_back(PlacedGlyph{g.slot, g.glyph, pen + g.xOffset, g.yOffset});
                width = pen + advance;
            }
            pen += advance;
        }
        lines->push_back(std::move(line));
        widths->push_back(width);
        if (lineEnd >= n) break;
        lineStart = lineEnd;
    }
}

void FontEngine::Layout(const WCHAR* text, int count, const RECT& rect, DWORD format, TextLayout* out) {
    out->glyphs.clear();
    out->lines = 0;
    out->height = 0;
    out->bounds = RECT{rect.left, rect.top, rect.left, rect.top};
    if (!text) return;
    size_t length = 0;
    if (count < 0) {
        while (text[length]) ++length;
    } else {
        length = static_cast<size_t>(count);
    }
    if (length == 0) return;

    // Paragraphs end at CR, LF or CR LF; a single line keeps everything together.
    const bool single = (format & DT_SINGLELINE) != 0;
    const int limit = rect.right - rect.left;
    std::vector<std::vector<PlacedGlyph>> lines;
    std::vector<int> widths;
    std::u32string paragraph;
    for (size_t i = 0; i <= length; ++i) {
        const char32_t ch = i < length ? static_cast<char32_t>(text[i]) : U'\n';
        const bool lineBreak = ch == U'\n' || ch == U'\r';
        if (!lineBreak || single) {
            if (!lineBreak) paragraph += ch;
            if (i < length) continue;
        }
        if (paragraph.empty()) {
            lines.emplace_back();
            widths.push_back(0);
        } else {
            LayoutParagraph(paragraph, ShapeParagraph(paragraph), format, limit, &lines, &widths);
        }
        paragraph.clear();
        if (ch == U'\r' && i + 1 < length && text[i + 1] == U'\n') ++i;
    }

    // Vertical placement of the block, then each line by its alignment.
    const int lineHeight = CellHeight();
    const int total = static_cast<int>(lines.size()) * lineHeight;
    int top = rect.top;
    if (format & DT_BOTTOM)
        top = rect.bottom - total;
    else if (format & DT_VCENTER)
        top = rect.top + (rect.bottom - rect.top - total) / 2;

    int left = 0, right = 0;
    for (size_t l = 0; l < lines.size(); ++l) {
        int x0 = rect.left;
        if (format & DT_RIGHT)
            x0 = rect.right - widths[l];
        else if (format & DT_CENTER)
            x0 = rect.left + (limit - widths[l]) / 2;
        if (l == 0 || x0 < left) left = x0;
        if (l == 0 || x0 + widths[l] > right) right = x0 + widths[l];
        const int baseline = top + static_cast<int>(l) * lineHeight + m_ascent;
        for (const PlacedGlyph& g : lines[l])
            out->glyphs.push_back(PlacedGlyph{g.slot, g.glyph, x0 + g.x, baseline + g.y});
    }
    out->lines = static_cast<int>(lines.size());
    out->bounds = RECT{left, top, right, top + total};
    // Centred or bottom-aligned text reports how far its bottom lies below the rectangle's top.
    out->height = (format & (DT_VCENTER | DT_BOTTOM)) ? top - rect.top + total : total;
}

void FontEngine::MeasureCharacters(const WCHAR* text, int count, std::vector<int>* advances) {
    advances->clear();
    if (!text || count <= 0) return;
    const std::u32string line(text, text + count);
    const std::vector<Shaped>& shaped = ShapeParagraph(line);
    // Sum advances per cluster, then spread each cluster's width over its characters.
    std::vector<int> width(line.size(), 0);
    std::vector<bool> starts(line.size() + 1, false);
    starts[line.size()] = true;
    for (const Shaped& g : shaped) {
        if (g.cluster >= line.size()) continue;
        starts[g.cluster] = true;
        if (!IsInvisible(line[g.cluster])) width[g.cluster] += g.advance;
    }
    advances->assign(line.size(), 0);
    size_t start = 0;
    while (start < line.size()) {
        size_t end = start + 1;
        while (!starts[end]) ++end;
        const int chars = static_cast<int>(end - start), total = width[start];
        for (int i = 0; i < chars; ++i) (*advances)[start + i] = total / chars + (i < total % chars ? 1 : 0);
        start = end;
    }
}

void FontEngine::MeasureClusters(const std::u32string& line, std::vector<int>* advances,
                                 std::vector<uint8_t>* starts) {
    advances->assign(line.size(), 0);
    starts->assign(line.size(), 0);
    if (line.empty()) return;
    for (const Shaped& g : ShapeParagraph(line)) {
        if (g.cluster >= line.size()) continue;
        (*starts)[g.cluster] = 1;
        if (!IsInvisible(line[g.cluster])) (*advances)[g.cluster] += g.advance;
    }
    (*starts)[0] = 1;
}

}  // namespace plat
