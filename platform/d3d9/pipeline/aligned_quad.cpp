// Pixel stage, screen-aligned quads (see aligned_quad.h). The span loops find
// every pixel's texture coordinates from the row's start as start + step * i;
// with u independent of y, pixel i's u (and so its texel column and weight)
// is the same in every row, and with v independent of x a row's v is the same
// at every pixel. Both are taken from tables in the span loops' arithmetic;
// a group of four pixels whose texels all lie inside the image is filtered
// with SampleLinear's 8-bit lerps four at a time, anything else (the image's
// edges, where addressing applies) goes through the sampler itself.
#include "platform/d3d9/pipeline/aligned_quad.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d9/pipeline/pixel_processing.h"
#include "platform/d3d9/pipeline/span_shading.h"
#include "platform/d3d9/pipeline/span_sse.h"
#include "platform/d3d9/pipeline/texture_sampling.h"

namespace plat::d3d9 {

#ifdef __SSE2__

namespace {

using namespace span::sse;

// Columns whose tables are built at once (a multiple of four: groups start at a chunk's start).
constexpr int kChunk = 512;

// One filter position along an axis: the coordinate in texels less a half, split as SampleLinear
// splits it. `inside` when both neighbouring texels lie in the image (no addressing).
struct AxisTexel {
    float at;  // the normalised coordinate itself, for the sampler
    int index;
    uint32_t weight;
    bool inside;
};

inline AxisTexel Locate(float coordinate, int size) {
    AxisTexel a{coordinate, 0, 0, false};
    const float f = coordinate * static_cast<float>(size) - 0.5f;
    // floor(f) in [0, size - 2]; false for NaN and for values no int holds.
    a.inside = f >= 0.0f && f < static_cast<float>(size - 1);
    if (a.inside) {
        a.index = FloorToInt(f);
        a.weight = static_cast<uint32_t>((f - static_cast<float>(a.index)) * 256.0f + 0.5f);
    }
    return a;
}

struct QuadColor {
    uint32_t r, g, b, a;  // diffuse bytes; a is 255 when texture alpha replaces it
};

// One pixel as the scalar span loop shades it: texel modulated by the diffuse colour, then blended.
inline void ShadePixel(const PixelConfig& c, const QuadColor& d, uint32_t t, uint32_t* dst) {
    const uint32_t color = (Mul255(d.a, t >> 24) << 24) | (Mul255(d.r, span::Channel(t, 16)) << 16) |
                           (Mul255(d.g, span::Channel(t, 8)) << 8) | Mul255(d.b, t & 0xFF);
    *dst = c.blend ? BlendPixel(c, color, *dst) : color;
}

// The tables of one chunk of columns (left uninitialised: only the chunk's columns are filled).
struct ColumnTables {
    alignas(16) float u[kChunk];               // each column's u, for the sampler
    alignas(16) int32_t index[kChunk];         // its left texel (columns of inside groups)
    alignas(16) uint16_t weights[kChunk * 4];  // its right texel's weight over the four channels
    bool groupInside[kChunk / 4];              // all four columns of a group inside

    // Columns [first, first + count) of a span whose u starts at `start` and steps by `du`, four at
    // a time with Locate's arithmetic (inside, the coordinate is not negative: truncation floors).
    void Fill(float start, float du, int first, int count, int width) {
        const __m128 size = _mm_set1_ps(static_cast<float>(width));
        const __m128 last = _mm_set1_ps(static_cast<float>(width - 1));
        for (int k = 0; k < count; k += 4) {
            const __m128 column =
                _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(first + k), _mm_setr_epi32(0, 1, 2, 3)));
            const __m128 at = _mm_add_ps(_mm_set1_ps(start), _mm_mul_ps(_mm_set1_ps(du), column));
            const __m128 f = _mm_sub_ps(_mm_mul_ps(at, size), _mm_set1_ps(0.5f));
            const __m128 inside = _mm_and_ps(_mm_cmpge_ps(f, _mm_setzero_ps()), _mm_cmplt_ps(f, last));
            const __m128i floor = _mm_cvttps_epi32(f);
            const __m128 fraction = _mm_sub_ps(f, _mm_cvtepi32_ps(floor));
            const __m128i weight =
                _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(fraction, _mm_set1_ps(256.0f)), _mm_set1_ps(0.5f)));
            const Wide channels = ChannelWeights(weight);
            _mm_store_ps(u + k, at);
            _mm_store_si128(reinterpret_cast<__m128i*>(index + k), floor);
            _mm_store_si128(reinterpret_cast<__m128i*>(weights + 4 * k), channels.lo);
            _mm_store_si128(reinterpret_cast<__m128i*>(weights + 4 * k + 8), channels.hi);
            groupInside[k / 4] = _mm_movemask_ps(inside) == 15;
        }
    }
};

// Texels x and x + 1 of a row.
inline __m128i PairAt(const uint32_t* row, int32_t x) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x));
}

// A texel row filtered along x at the chunk's columns: SampleLinear's first lerp (between a pixel's
// left and right texel), kept for the destination rows that read the same texel row. Its results
// are at most 255, so they are kept as packed pixels and widened again unchanged.
struct FilteredRow {
    int texelRow = -1;
    alignas(16) uint32_t pixels[kChunk];

    void Fill(const ImageLevel& img, const ColumnTables& t, int count, int row) {
        texelRow = row;
        const uint32_t* texels = img.texels + static_cast<ptrdiff_t>(row) * img.pitch;
        for (int i = 0; i + 4 <= count; i += 4) {
            if (!t.groupInside[i / 4]) continue;
            // Each column's two texels; then [left0 left1 right0 right1], [left2 left3 right2 right3].
            const __m128i p01 =
                _mm_unpacklo_epi32(PairAt(texels, t.index[i]), PairAt(texels, t.index[i + 1]));
            const __m128i p23 =
                _mm_unpacklo_epi32(PairAt(texels, t.index[i + 2]), PairAt(texels, t.index[i + 3]));
            const Wide wx{_mm_load_si128(reinterpret_cast<const __m128i*>(t.weights + 4 * i)),
                          _mm_load_si128(reinterpret_cast<const __m128i*>(t.weights + 4 * i + 8))};
            const Wide mixed =
                Lerp(Widen(_mm_unpacklo_epi64(p01, p23)), Widen(_mm_unpackhi_epi64(p01, p23)), wx);
            _mm_store_si128(reinterpret_cast<__m128i*>(pixels + i), Narrow(mixed));
        }
    }
};

// The two filtered rows a destination row reads, refilled only when its texel rows change.
struct RowCache {
    FilteredRow rows[2];

    const FilteredRow& Get(const ImageLevel& img, const ColumnTables& t, int count, int row, int keep) {
        for (const FilteredRow& r : rows)
            if (r.texelRow == row) return r;
        FilteredRow& slot = rows[0].texelRow == keep ? rows[1] : rows[0];
        slot.Fill(img, t, count, row);
        return slot;
    }
};

// Rows sampled (both lerps done, before the diffuse colour) kept from frame to frame: a page draws
// the same skin pieces at the same sizes again and again (a column of combo boxes, an edit box
// redrawn at every keystroke). A row's texels depend only on the column tables and the texel row
// (the key) and on the texels those read, two texel rows over a range of columns: a copy of those
// is kept with the row and compared before the row is used again, so a texture whose texels
// changed in any way (a lock, drawing into it, a new texture at the same address) is sampled afresh.
struct SampledRowKey {
    const uint32_t* texels;
    int pitch, width, height;
    int texelRow;
    uint32_t rowWeight;
    uint32_t uStart, du;  // float bits of the columns' u at the chunk's start and its step
    int first, count;

    bool operator==(const SampledRowKey& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};
static_assert(sizeof(SampledRowKey) == 48, "keys are compared and hashed as bytes (no padding)");

inline size_t HashKey(const SampledRowKey& k) {
    uint64_t words[6];
    std::memcpy(words, &k, sizeof words);
    uint64_t h = 0x9E3779B97F4A7C15u;
    for (uint64_t w : words) h = (h ^ w) * 0xBF58476D1CE4E5B9u, h ^= h >> 29;
    return size_t(h);
}

class SampledRows {
  public:
    static SampledRows& OfThisThread() {
        thread_local SampledRows rows;
        return rows;
    }

    // The kept row under `key` whose source texels (rows key.texelRow and the next, columns
    // [column, column + columns)) are still those of `img`; null when there is none.
    const uint32_t* Find(const SampledRowKey& key, const ImageLevel& img, int column, int columns) const {
        for (size_t n = 0, at = HashKey(key); n < kProbes; ++n, ++at) {
            const Slot& slot = m_slots[at & (kSlots - 1)];
            if (slot.generation != m_generation) return nullptr;
            if (!(slot.key == key)) continue;
            return SameSource(slot, img, column, columns) ? m_store.get() + slot.at : nullptr;
        }
        return nullptr;
    }

    // Room for the row under `key` (a new one, or in place of one whose source changed), its source
    // texels copied; null when it cannot be kept.
    uint32_t* Add(const SampledRowKey& key, const ImageLevel& img, int column, int columns) {
        const size_t need = size_t(key.count) + 2 * size_t(columns);
        if (need > kMaxStore) return nullptr;
        if (m_used + need > kMaxStore) Forget();  // full: start afresh
        if (!m_store) m_store.reset(new uint32_t[kMaxStore]);
        for (int attempt = 0; attempt < 2; ++attempt) {
            for (size_t n = 0, at = HashKey(key); n < kProbes; ++n, ++at) {
                Slot& slot = m_slots[at & (kSlots - 1)];
                const bool empty = slot.generation != m_generation;
                if (!empty && !(slot.key == key)) continue;
                if (empty) {
                    slot = Slot{key, uint32_t(m_used), m_generation};
                    m_used += need;
                }
                uint32_t* source = m_store.get() + slot.at + size_t(key.count);
                for (int r = 0; r < 2; ++r)
                    std::memcpy(source + r * columns, Source(img, key.texelRow + r, column),
                                sizeof(uint32_t) * size_t(columns));
                return m_store.get() + slot.at;
            }
            Forget();  // no free slot near the key's: start afresh
        }
        return nullptr;
    }

  private:
    static constexpr size_t kMaxStore = 256 * 1024;      // 1 MB per drawing thread
    static constexpr size_t kSlots = 2048, kProbes = 8;  // open addressing, a slot per sampled row
    struct Slot {
        SampledRowKey key;
        uint32_t at = 0;          // the row's texels in m_store, then its two source rows
        uint32_t generation = 0;  // slots of other generations are empty
    };

    static const uint32_t* Source(const ImageLevel& img, int row, int column) {
        return img.texels + static_cast<ptrdiff_t>(row) * img.pitch + column;
    }
    bool SameSource(const Slot& slot, const ImageLevel& img, int column, int columns) const {
        const uint32_t* kept = m_store.get() + slot.at + size_t(slot.key.count);
        const size_t bytes = sizeof(uint32_t) * size_t(columns);
        return std::memcmp(kept, Source(img, slot.key.texelRow, column), bytes) == 0 &&
               std::memcmp(kept + columns, Source(img, slot.key.texelRow + 1, column), bytes) == 0;
    }
    void Forget() {
        ++m_generation;
        m_used = 0;
    }

    uint32_t m_generation = 1;
    std::vector<Slot> m_slots = std::vector<Slot>(kSlots);
    std::unique_ptr<uint32_t[]> m_store;
    size_t m_used = 0;
};

// Columns [first, first + count) of the span [x0, ...) in rows [y0, y1); the columns' u starts at
// `uStart` at x0 and steps by `du`. Sampled rows are kept and looked up (SampledRows).
template <bool kBlend>
void ShadeChunk(const PixelConfig& c, const Gradients& g, const ColumnTables& t, float uStart, float du,
                int x0, int first, int count, int y0, int y1) {
    const TriangleSampling& ts = g.sampling[0];
    const Sampler& sampler = c.samplers[0];
    const ImageLevel& img = *ts.level;
    const bool textureAlpha = !c.alphaUsesDiffuse;
    const float fx = static_cast<float>(x0);
    RowCache cache;
    SampledRows* sampledRows = &SampledRows::OfThisThread();
    SampledRowKey key{img.texels, img.pitch, img.width, img.height, 0, 0, 0, 0, first, count};
    std::memcpy(&key.uStart, &uStart, sizeof key.uStart);
    std::memcpy(&key.du, &du, sizeof key.du);
    // The texel columns the kept rows read: the left texels of the columns filtered here and the
    // texel right of each.
    int column = INT32_MAX, lastColumn = -1;
    for (int k = 0; k + 4 <= count; k += 4)
        if (t.groupInside[k / 4]) {
            column = std::min(column, std::min(t.index[k], t.index[k + 3]));
            lastColumn = std::max(lastColumn, std::max(t.index[k], t.index[k + 3]) + 1);
        }
    if (lastColumn < 0) sampledRows = nullptr;
    const int columns = lastColumn - column + 1;
    alignas(16) uint32_t scratch[kChunk];
    for (int y = y0; y < y1; ++y) {
        const float fy = static_cast<float>(y);
        // The row's colour as the span loops' steppers start it (constant along the row).
        QuadColor d{
            span::Stepper(g.At(kR, fx, fy), 0.0f).Byte(), span::Stepper(g.At(kG, fx, fy), 0.0f).Byte(),
            span::Stepper(g.At(kB, fx, fy), 0.0f).Byte(), span::Stepper(g.At(kA, fx, fy), 0.0f).Byte()};
        if (textureAlpha) d.a = 255;
        const AxisTexel row = Locate(g.At(kV0, fx, fy), img.height);
        uint32_t* dst = c.color.pixels + static_cast<ptrdiff_t>(y) * c.color.pitch + x0 + first;

        int i = 0;
        if (row.inside) {
            const __m128i bgra = _mm_setr_epi16(int16_t(d.b), int16_t(d.g), int16_t(d.r), int16_t(d.a),
                                                int16_t(d.b), int16_t(d.g), int16_t(d.r), int16_t(d.a));
            const Wide diffuse{bgra, bgra};
            key.texelRow = row.index;
            key.rowWeight = row.weight;
            const uint32_t* sampled = sampledRows ? sampledRows->Find(key, img, column, columns) : nullptr;
            if (!sampled) {
                uint32_t* out = sampledRows ? sampledRows->Add(key, img, column, columns) : nullptr;
                if (!out) out = scratch;
                const __m128i wy = _mm_set1_epi16(int16_t(row.weight));
                const Wide rowWeight{wy, wy};
                const uint32_t* above = cache.Get(img, t, count, row.index, row.index + 1).pixels;
                const uint32_t* below = cache.Get(img, t, count, row.index + 1, row.index).pixels;
                // SampleLinear's second lerp, between the filtered rows.
                for (int k = 0; k + 4 <= count; k += 4) {
                    if (!t.groupInside[k / 4]) continue;
                    const Wide texel =
                        Lerp(Widen(_mm_load_si128(reinterpret_cast<const __m128i*>(above + k))),
                             Widen(_mm_load_si128(reinterpret_cast<const __m128i*>(below + k))), rowWeight);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), Narrow(texel));
                }
                sampled = out;
            }
            for (; i + 4 <= count; i += 4) {
                if (!t.groupInside[i / 4]) {
                    for (int k = i; k < i + 4; ++k)
                        ShadePixel(c, d, Sample(ts, sampler, t.u[k], row.at), dst + k);
                    continue;
                }
                const Wide texel = Widen(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sampled + i)));
                const Wide color = Modulate(diffuse, texel);
                __m128i packed = Narrow(color);
                __m128i* out = reinterpret_cast<__m128i*>(dst + i);
                if constexpr (kBlend) packed = BlendGroup(color, packed, _mm_loadu_si128(out));
                _mm_storeu_si128(out, packed);
            }
        }
        for (; i < count; ++i) ShadePixel(c, d, Sample(ts, sampler, t.u[i], row.at), dst + i);
    }
}

// An alpha test that refuses at most alpha 0 changes nothing under source-alpha blending, which
// leaves the destination as it was for such pixels (a sprite's "alpha > 0").
bool AlphaTestChangesNothing(const PixelConfig& c) {
    if (!c.alphaTest) return true;
    if (!c.blend) return false;
    switch (c.alphaFunc) {
        case D3DCMP_ALWAYS:
            return true;
        case D3DCMP_GREATER:
        case D3DCMP_NOTEQUAL:
            return c.alphaRef == 0;
        case D3DCMP_GREATEREQUAL:
            return c.alphaRef <= 1;
        default:
            return false;
    }
}

}  // namespace

bool AlignedQuadApplies(const PixelConfig& c, const Gradients& g) {
    const bool blendOk =
        !c.blend || (c.srcBlend == D3DBLEND_SRCALPHA && c.destBlend == D3DBLEND_INVSRCALPHA &&
                     c.blendOp == D3DBLENDOP_ADD && !c.separateAlpha);
    const bool depthUsed = c.depth.depth != nullptr && (c.depthTest || c.depthWrite);
    const TriangleSampling& ts = g.sampling[0];
    return c.simpleCombiner && c.samplers[0].levels && c.colorUsesTexture && c.colorUsesDiffuse &&
           c.alphaUsesTexture && !c.specularAdd && blendOk && AlphaTestChangesNothing(c) &&
           c.writeMask == 0xFFFFFFFFu && !depthUsed && !g.perspective && g.constantColor &&
           g.ddy[kU0] == 0.0f && g.ddx[kV0] == 0.0f && ts.level && ts.linear && ts.level->width > 0 &&
           ts.level->height > 0 &&
           ts.level->texels != c.color.pixels;  // filtered rows are kept: the texels must not change
}

void ShadeAlignedQuad(const PixelConfig& c, const Gradients& g, int x0, int x1, int y0, int y1) {
    if (x0 >= x1 || y0 >= y1) return;
    const ImageLevel& img = *g.sampling[0].level;
    // Pixel i's u, as the span loops form it from the row's start (the y term is zero).
    const float fx = static_cast<float>(x0);
    const float start = g.At(kU0, fx, static_cast<float>(y0)), du = g.ddx[kU0];
    ColumnTables tables;
    for (int first = 0; first < x1 - x0; first += kChunk) {
        const int count = std::min(kChunk, x1 - x0 - first);
        tables.Fill(start, du, first, count, img.width);
        if (c.blend)
            ShadeChunk<true>(c, g, tables, start, du, x0, first, count, y0, y1);
        else
            ShadeChunk<false>(c, g, tables, start, du, x0, first, count, y0, y1);
    }
}

#else

bool AlignedQuadApplies(const PixelConfig&, const Gradients&) { return false; }
void ShadeAlignedQuad(const PixelConfig&, const Gradients&, int, int, int, int) {}

#endif

}  // namespace plat::d3d9
