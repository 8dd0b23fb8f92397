// Font engine: face choice and sizing, per-character fallback, shaping of
// paragraphs by runs of one face, and the glyph cache over the atlas.
#include "platform/d3dx9/font_engine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "platform/d3dx9/font_face.h"
#include "platform/d3dx9/font_match.h"

namespace plat {
namespace {

// Result when no installed font can serve a request: no such file.
constexpr HRESULT kNoFont = static_cast<HRESULT>(0x80070002);
constexpr int kDefaultHeight = 16;
constexpr double kMaxEm = 2048.0;
constexpr size_t kShapeCacheLimit = 512;
// Characters over all cached paragraphs: a long edit-box line makes a new
// paragraph at every keystroke, and its glyphs take 28 bytes a character.
constexpr size_t kShapeCacheChars = size_t{1} << 16;
constexpr size_t kRecentParagraphs = 4;
constexpr char32_t kPlaneSize = 0x10000;

FontRequest RequestOf(const D3DXFONT_DESCW& desc) {
    FontRequest request;
    for (int i = 0; i < LF_FACESIZE && desc.FaceName[i]; ++i) request.face += desc.FaceName[i];
    request.weight = static_cast<int>(desc.Weight);
    request.italic = desc.Italic != FALSE;
    request.pitchAndFamily = desc.PitchAndFamily;
    return request;
}

void DebugLine(const std::wstring& text) {
    const std::wstring line = L"D3DXCreateFont: " + text + L"\n";
    OutputDebugStringW(line.c_str());
}

int PageSizeFor(int cellHeight) {
    int size = 256;
    while (size < cellHeight * 12 && size < 2048) size *= 2;
    return size;
}

// A paragraph's hash for the shape cache, two code points at a time (the
// cache compares texts whose hashes agree, so this only has to spread well).
size_t HashText(const std::u32string& text) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
    const char32_t* p = text.data();
    size_t i = 0;
    for (; i + 2 <= text.size(); i += 2) {
        uint64_t pair;
        std::memcpy(&pair, p + i, sizeof pair);
        h = (h ^ pair) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
    }
    if (i < text.size()) h = (h ^ p[i]) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<size_t>(h * 0x94D049BB133111EBull);
}

// Marks that belong to the previous character's face.
bool IsCombining(char32_t ch) {
    return (ch >= 0x0300 && ch <= 0x036F) || (ch >= 0x200C && ch <= 0x200D) || (ch >= 0xFE00 && ch <= 0xFE0F);
}

}  // namespace

FontEngine::FontEngine(const D3DXFONT_DESCW& desc, int pageSize)
    : m_desc(desc), m_planeSlots(new int8_t[kPlaneSize]), m_atlas(pageSize) {
    std::fill(m_planeSlots.get(), m_planeSlots.get() + kPlaneSize, static_cast<int8_t>(-1));
}
FontEngine::~FontEngine() = default;

HRESULT FontEngine::Create(const D3DXFONT_DESCW& desc, std::unique_ptr<FontEngine>* out) {
    const FontRequest request = RequestOf(desc);
    FontFile file;
    if (!MatchFontFile(request, &file)) {
        DebugLine(L"no installed font can serve the face \"" + request.face + L"\"");
        return kNoFont;
    }
    std::unique_ptr<SizedFace> face = SizedFace::Open(file);
    if (!face) {
        DebugLine(L"cannot open the font file for the face \"" + request.face + L"\"");
        return kNoFont;
    }
    // Positive height: the cell (ascent + descent); negative: the em square; 0: a default cell.
    const int units = face->UnitsPerEm();
    const int cellUnits = std::max(1, face->CellAscentUnits() + face->CellDescentUnits());
    const int height = desc.Height == 0 ? kDefaultHeight : desc.Height;
    // Sizes are kept within what a screen can show, so absurd requests cannot exhaust memory.
    const double emY = std::clamp(
        height > 0 ? static_cast<double>(height) * units / cellUnits : -static_cast<double>(height), 1.0,
        kMaxEm);
    const double emX =
        std::clamp(desc.Width > 0 ? static_cast<double>(desc.Width) * units / face->AverageWidthUnits() : emY,
                   1.0, kMaxEm);
    const bool mono = desc.Quality == NONANTIALIASED_QUALITY;
    face->SetPixelSize(emX, emY, mono);

    int ascent = face->Ascent();
    int descent = face->Descent();
    if (height > 0 && emY < kMaxEm) descent = height - ascent;  // the cell is exactly what was asked for
    const int cell = std::max(1, ascent + descent);

    std::unique_ptr<FontEngine> engine(new FontEngine(desc, PageSizeFor(cell)));
    engine->m_emX = emX;
    engine->m_emY = emY;
    engine->m_mono = mono;
    engine->m_ascent = ascent;
    engine->m_descent = descent;
    engine->m_averageWidth =
        std::max(1, static_cast<int>(std::lround(face->AverageWidthUnits() * emX / units)));
    engine->m_fallback = std::make_unique<FontFallbackChain>(request);
    engine->m_faceFiles.emplace_back(file.path, file.index);
    engine->m_faces.push_back(std::move(face));
    *out = std::move(engine);
    return S_OK;
}

int FontEngine::SlotFor(char32_t ch) {
    if (ch < kPlaneSize && m_planeSlots[ch] >= 0) return m_planeSlots[ch];
    auto found = m_charSlots.find(ch);
    if (found != m_charSlots.end()) return found->second;
    // A character the chosen face lacks takes the first face of the fixed
    // fallback order that covers it, never simply a fallback face loaded
    // earlier for another character: the same text shapes the same whatever
    // was shaped before.
    int slot = 0;
    if (!m_faces[0]->HasChar(ch)) {
        FontFile file;
        if (m_fallback->Find(ch, &file)) {
            const auto key = std::make_pair(file.path, file.index);
            const auto known = std::find(m_faceFiles.begin(), m_faceFiles.end(), key);
            if (known != m_faceFiles.end()) {
                slot = static_cast<int>(known - m_faceFiles.begin());
            } else if (auto face = SizedFace::Open(file)) {
                face->SetPixelSize(m_emX, m_emY, m_mono);
                // Both lists grow together or not at all: slots index both.
                m_faces.reserve(m_faces.size() + 1);
                m_faceFiles.reserve(m_faceFiles.size() + 1);
                m_faces.push_back(std::move(face));
                m_faceFiles.push_back(key);
                slot = static_cast<int>(m_faces.size()) - 1;
            }
        }
    }
    m_charSlots.emplace(ch, slot);
    if (ch < kPlaneSize && slot < 128) m_planeSlots[ch] = static_cast<int8_t>(slot);
    return slot;
}

void FontEngine::SplitRuns(const std::u32string& text, std::vector<Run>* runs) {
    runs->clear();
    const int length = static_cast<int>(text.size());
    int start = 0;
    int runSlot = length ? SlotFor(text[0]) : 0;
    for (int i = 1; i <= length; ++i) {
        int slot = runSlot;
        if (i < length) {
            const char32_t ch = text[i];
            // Spaces and marks stay in the current run so runs are not split needlessly.
            if (!(ch == U' ' || IsCombining(ch)))
                slot = ch < kPlaneSize && m_planeSlots[ch] >= 0 ? m_planeSlots[ch] : SlotFor(ch);
        }
        if (i < length && slot == runSlot) continue;
        runs->push_back(Run{start, i, runSlot, GuessScript(text.data() + start, i - start)});
        start = i;
        runSlot = slot;
    }
}

void FontEngine::ShapeWhole(const std::u32string& text, const std::vector<Run>& runs,
                            std::vector<Shaped>* out) {
    out->clear();
    std::vector<ShapedGlyph> run;
    const int length = static_cast<int>(text.size());
    for (const Run& r : runs) {
        run.clear();
        m_faces[r.slot]->Shape(text.data(), length, r.start, r.end - r.start, r.script, &run);
        for (const ShapedGlyph& g : run)
            out->push_back(Shaped{r.slot, g.glyph, g.advance, g.xOffset, g.yOffset, g.cluster, g.unsafe});
    }
}

const std::vector<FontEngine::Shaped>& FontEngine::ShapeParagraph(const std::u32string& text) {
    const size_t hash = HashText(text);
    auto cached = m_shapeCache.find(ShapeKeyView{text, hash});
    if (cached != m_shapeCache.end()) return *cached->second;

    std::vector<Run> runs;
    SplitRuns(text, &runs);
    std::vector<Shaped> shaped;
    if (!m_reuseShaping) {
        ShapeWhole(text, runs, &shaped);
        return Cache(text, hash, std::make_shared<const std::vector<Shaped>>(std::move(shaped)));
    }

    // Start from the recent paragraph sharing the longest head and tail with this
    // one; the new one takes its place (or the least recently used one's).
    Recent* base = nullptr;
    size_t bestShared = 0;
    for (Recent& r : m_recent) {
        const size_t most = std::min(r.text.size(), text.size());
        size_t head = 0, tail = 0;
        while (head < most && r.text[head] == text[head]) ++head;
        while (tail < most - head && r.text[r.text.size() - 1 - tail] == text[text.size() - 1 - tail]) ++tail;
        if (head + tail > bestShared) {
            bestShared = head + tail;
            base = &r;
        }
    }
    if (!base || !ShapeEdited(*base, text, runs, &shaped)) ShapeWhole(text, runs, &shaped);
    if (!base) {
        if (m_recent.size() < kRecentParagraphs) {
            base = &m_recent.emplace_back();
        } else {
            base = &*std::min_element(m_recent.begin(), m_recent.end(),
                                      [](const Recent& x, const Recent& y) { return x.used < y.used; });
        }
    }
    base->text = text;
    base->runs = std::move(runs);
    base->glyphs = std::make_shared<const std::vector<Shaped>>(std::move(shaped));
    base->used = ++m_recentClock;
    return Cache(text, hash, base->glyphs);
}

const std::vector<FontEngine::Shaped>& FontEngine::Cache(const std::u32string& text, size_t hash,
                                                         ShapedGlyphs shaped) {
    // The oldest paragraphs make room, one by one, so that their memory serves
    // the next ones; a paragraph larger than the whole budget is kept alone.
    while (!m_shapeOrder.empty() &&
           (m_shapeCache.size() >= kShapeCacheLimit || m_shapeChars + text.size() > kShapeCacheChars)) {
        const ShapeKey* oldest = m_shapeOrder.front();
        m_shapeOrder.pop_front();
        m_shapeChars -= oldest->text.size();
        m_shapeCache.erase(m_shapeCache.find(ShapeKeyView{oldest->text, oldest->hash}));
    }
    const auto [added, isNew] = m_shapeCache.emplace(ShapeKey{text, hash}, std::move(shaped));
    if (isNew) {
        m_shapeOrder.push_back(&added->first);
        m_shapeChars += text.size();
    }
    return *added->second;
}

const CachedGlyph* FontEngine::Glyph(int slot, uint32_t glyph) {
    const uint64_t key = (static_cast<uint64_t>(slot) << 32) | glyph;
    auto found = m_glyphs.find(key);
    if (found != m_glyphs.end()) return &found->second;
    if (slot < 0 || slot >= static_cast<int>(m_faces.size())) return nullptr;
    GlyphImage image;
    if (!m_faces[slot]->Render(glyph, &image)) return nullptr;
    CachedGlyph cachedGlyph;
    cachedGlyph.left = image.left;
    cachedGlyph.top = image.top;
    if (!m_atlas.Add(image.width, image.height, image.coverage.data(), &cachedGlyph.spot)) return nullptr;
    return &m_glyphs.emplace(key, cachedGlyph).first->second;
}

bool FontEngine::GlyphForChar(char32_t ch, int* slot, uint32_t* glyph) {
    const int s = SlotFor(ch);
    m_scratch.assign(1, ch);
    std::vector<ShapedGlyph> shaped;
    m_faces[s]->Shape(m_scratch.data(), 1, 0, 1, GuessScript(m_scratch.data(), 1), &shaped);
    if (shaped.empty() || shaped[0].glyph == 0) return false;
    *slot = s;
    *glyph = shaped[0].glyph;
    return true;
}

}  // namespace plat
