// Pixel stage, four pixels per step (SSE2; part of the x86-64 baseline).
// A primitive is prepared once (SpanSetup: targets, tests, colour steps,
// texture constants, the loop for its texture addressing and colour); a row
// then computes its start values and runs the loop. Colour channels step in
// 16.16 fixed point as in the scalar loop, products and blends use 16-bit
// lanes with the same rounded division by 255, and depth is evaluated per
// pixel as start + step * i, so results equal the scalar loop's. A group of
// four whose depth test fails everywhere is skipped before any texel is read.
// Bilinear textures are sampled four pixels at a time with SampleLinear's
// arithmetic (the same float steps, weights and 8-bit lerps); groups touching
// the texture's edge or far outside it take SampleLinear itself per pixel.
#include "platform/d3d9/pipeline/span_vector.h"

#include <array>
#include <type_traits>

#include "platform/d3d9/pipeline/span_sse.h"
#include "platform/d3d9/pipeline/span_shading.h"

#ifdef __SSE2__
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace plat::d3d9::span {

#ifdef __SSE2__

namespace {

using namespace sse;

// 65536 / length for segment lengths 1..kSegment, the fixed-point step of one pixel.
constexpr std::array<float, kSegment + 1> kPerPixel = [] {
    std::array<float, kSegment + 1> t{};
    for (int n = 1; n <= kSegment; ++n) t[size_t(n)] = 65536.0f / static_cast<float>(n);
    return t;
}();

// Texel offsets (y * pitch + x) of four 16.16 texel coordinates, addressing
// fixed at compile time. x and y end within the image (below 32768), and
// the pitch is below 32768 too, so one 16-bit multiply-add forms the offset.
template <bool kClamp>
__attribute__((always_inline)) inline __m128i TexelOffsets(__m128i tu, __m128i tv, __m128i limits,
                                                           __m128i rowAndOne) {
    __m128i xy;
    if (kClamp) {
        // x0..x3, y0..y3 in 16 bits (the coordinates are within +-16385 here), clamped to 0..size - 1.
        __m128i x = _mm_srai_epi32(tu, 16), y = _mm_srai_epi32(tv, 16);
        __m128i packed = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(x, y), _mm_setzero_si128()), limits);
        xy = _mm_unpacklo_epi16(packed, _mm_srli_si128(packed, 8));
    } else {
        // `limits` holds the wrap masks: size - 1 for x in the low half of each lane, for y in the high
        // half, where v's integer part already sits.
        const __m128i vHigh = _mm_andnot_si128(_mm_set1_epi32(0xFFFF), tv);
        xy = _mm_and_si128(_mm_or_si128(_mm_srli_epi32(tu, 16), vHigh), limits);
    }
    return _mm_madd_epi16(xy, rowAndOne);
}

// The texels at four offsets (never negative, so read as unsigned: no sign extension). Four
// neighbouring texels (a texture drawn one texel per pixel, as glyphs are) are read at once.
__attribute__((always_inline)) inline __m128i Gather(const uint32_t* texels, __m128i offsets) {
    const uint32_t first = uint32_t(_mm_cvtsi128_si32(offsets));
    const __m128i run = _mm_add_epi32(_mm_shuffle_epi32(offsets, 0), _mm_setr_epi32(0, 1, 2, 3));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(offsets, run)) == 0xFFFF)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + first));
    uint32_t t0 = texels[first];
    uint32_t t1 = texels[uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 1)))];
    uint32_t t2 = texels[uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 2)))];
    uint32_t t3 = texels[uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 3)))];
    const __m128i low = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(t0)), _mm_cvtsi32_si128(int32_t(t1)));
    const __m128i high = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(t2)), _mm_cvtsi32_si128(int32_t(t3)));
    return _mm_unpacklo_epi64(low, high);
}

// How a row fetches stage 0's texels, fixed per primitive.
enum FetchKind {
    kPointWrap,   // point sampling, wrap on power-of-two sizes, stepped in 16.16 segments
    kPointClamp,  // point sampling, clamp, stepped in 16.16 segments
    kBilinear,    // bilinear filtering, any addressing
};

// Floor of four floats (as FloorToInt).
inline __m128i Floor4(__m128 f) {
    const __m128i i = _mm_cvttps_epi32(f);
    return _mm_add_epi32(i, _mm_castps_si128(_mm_cmplt_ps(f, _mm_cvtepi32_ps(i))));
}

// The texel rows four pixels sample between: the upper row, whether both rows lie in the image
// (per lane, all ones), and the rounded weights of the lower row.
struct TexelRows {
    __m128i y0 = _mm_setzero_si128(), inside = y0;
    Wide weights{y0, y0};
};

// What a row's bilinear sampling reads for every group, loaded once per row.
struct BilinearRow {
    __m128 u = _mm_setzero_ps(), v = u;  // texture coordinates (times rhw) at the row's first pixel
    __m128 du, dv;                       // and their steps per pixel, in every lane
    __m128 width, height;                // the level's size, in every lane
    __m128i lastColumn, lastRow;  // size - 1 in every lane, biased by -2^31 (signed compares as unsigned)
    __m128i rowAndOne;            // see SpanSetup::texRowAndOne
    const uint32_t* texels;
    ptrdiff_t pitch;
    // An affine row along which v does not change (a sprite's row) samples the same two texel
    // rows at every pixel: `rows` then holds them, found once.
    bool constantV = false;
    TexelRows rows;

    explicit BilinearRow(const SpanSetup& s)
        : du(_mm_set1_ps(s.ddx[0][2])),
          dv(_mm_set1_ps(s.ddx[0][3])),
          width(_mm_set1_ps(s.texSize[0])),
          height(_mm_set1_ps(s.texSize[1])),
          lastColumn(_mm_set1_epi32(int32_t(uint32_t(s.lastU) ^ 0x80000000u))),
          lastRow(_mm_set1_epi32(int32_t(uint32_t(s.lastV) ^ 0x80000000u))),
          rowAndOne(Load(s.texRowAndOne)),
          texels(s.texels),
          pitch(s.texelPitch) {}
};

// Point-sampled rows need none of it.
struct NoBilinearRow {
    explicit NoBilinearRow(const SpanSetup&) {}
};

// SampleLinear's texel position along one axis: the coordinate in texels less a half, its floor,
// and the weight of the next texel rounded to 0..256 (meaningful where the floor is inside).
struct Axis {
    __m128i floor, weight;
};

inline Axis TexelAxis(__m128 coordinate, __m128 size) {
    const __m128 f = _mm_sub_ps(_mm_mul_ps(coordinate, size), _mm_set1_ps(0.5f));
    const __m128i i = Floor4(f);
    const __m128 fraction = _mm_sub_ps(f, _mm_cvtepi32_ps(i));
    return Axis{i,
                _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(fraction, _mm_set1_ps(256.0f)), _mm_set1_ps(0.5f)))};
}

// Inside: 0 <= i < size - 1 (one unsigned compare; `last` is size - 1 biased by -2^31), so both texels
// lie in the image and no addressing applies. This also rules out NaN and coordinates whose floor
// does not fit an int.
inline __m128i BothInside(__m128i i, __m128i last) {
    return _mm_cmplt_epi32(_mm_xor_si128(i, _mm_set1_epi32(int32_t(0x80000000u))), last);
}

inline TexelRows FindTexelRows(const BilinearRow& r, __m128 v) {
    const Axis a = TexelAxis(v, r.height);
    TexelRows rows;
    rows.y0 = a.floor;
    rows.inside = BothInside(a.floor, r.lastRow);
    rows.weights = ChannelWeights(a.weight);
    return rows;
}

// SampleLinear at four texture coordinates (u, v lane by lane), as 16-bit channels, with `rows`
// found from v. `active`: the lanes whose texels are used (a partial group's others may hold any
// coordinates and are not sampled one by one).
__attribute__((always_inline)) inline Wide SampleBilinear4(const SpanSetup& s, const BilinearRow& r, __m128 u,
                                                           __m128 v, const TexelRows& rows, int active) {
    const Axis across = TexelAxis(u, r.width);
    const __m128i x0 = across.floor, y0 = rows.y0;
    const __m128i inside = _mm_and_si128(BothInside(x0, r.lastColumn), rows.inside);
    if (_mm_movemask_ps(_mm_castsi128_ps(inside)) != 15) {
        alignas(16) float us[4], vs[4];
        alignas(16) uint32_t fetched[4] = {};
        _mm_store_ps(us, u);
        _mm_store_ps(vs, v);
        const TriangleSampling& ts = s.gradients->sampling[0];
        const Sampler& sampler = s.config->samplers[0];
        for (int k = 0; k < 4; ++k)
            if (active & (1 << k)) fetched[k] = Sample(ts, sampler, us[k], vs[k]);
        return Widen(_mm_load_si128(reinterpret_cast<const __m128i*>(fetched)));
    }
    // Row offsets y * pitch + x in one multiply-add (both below 32768: ChooseVectorSpans).
    const __m128i offsets = _mm_madd_epi16(_mm_or_si128(x0, _mm_slli_epi32(y0, 16)), r.rowAndOne);
    alignas(16) uint32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), offsets);
    // Each pixel's two texel pairs (x, x + 1) on rows y and y + 1.
    __m128i top[4], bottom[4];
    for (int k = 0; k < 4; ++k) {
        const uint32_t* p = r.texels + at[k];
        top[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        bottom[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + r.pitch));
    }
    // [left0 left1 right0 right1], [left2 left3 right2 right3] -> left and right of all four pixels.
    const __m128i t01 = _mm_unpacklo_epi32(top[0], top[1]), t23 = _mm_unpacklo_epi32(top[2], top[3]);
    const __m128i b01 = _mm_unpacklo_epi32(bottom[0], bottom[1]);
    const __m128i b23 = _mm_unpacklo_epi32(bottom[2], bottom[3]);
    const Wide wx = ChannelWeights(across.weight);
    const Wide upper = Lerp(Widen(_mm_unpacklo_epi64(t01, t23)), Widen(_mm_unpackhi_epi64(t01, t23)), wx);
    const Wide lower = Lerp(Widen(_mm_unpacklo_epi64(b01, b23)), Widen(_mm_unpackhi_epi64(b01, b23)), wx);
    return Lerp(upper, lower, rows.weights);
}

// The texture segments of one row (see SegmentWalker, whose arithmetic this
// repeats lane by lane: u and v at the segment's start and end in one register).
template <bool kPersp, bool kClamp>
struct RowSegments {
    const SpanSetup& s;  // the step, sizes and reciprocals (read where used: fewer registers to keep)
    __m128 start = _mm_setzero_ps();  // [u, v, u, v] at the row's first pixel (times rhw)
    __m128 q = start, dq = start;     // rhw at the first pixel and per pixel, in every lane
    // The current segment: four lanes of 16.16 texel coordinates and their step per group.
    __m128i tu4 = _mm_setzero_si128(), tv4 = tu4, dtu4 = tu4, dtv4 = tu4;
    bool general = false;  // clamped coordinates beyond the fixed-point range: sample per pixel

    // Starts the row at the planes of its first pixel, [z, rhw, u, v].
    __attribute__((always_inline)) void Start(__m128 zquv) {
        start = _mm_shuffle_ps(zquv, zquv, _MM_SHUFFLE(3, 2, 3, 2));
        q = _mm_shuffle_ps(zquv, zquv, 0x55);
        dq = _mm_set1_ps(s.ddx[0][1]);
    }

    __attribute__((always_inline)) void Next(int i, int length) {
        const float a = static_cast<float>(i), b = static_cast<float>(i + length);
        const __m128 f = _mm_setr_ps(a, a, b, b);
        const __m128 size = _mm_load_ps(s.texSize);
        __m128 uv = _mm_add_ps(start, _mm_mul_ps(_mm_load_ps(s.texStep), f));
        if (kPersp) uv = _mm_mul_ps(uv, _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(q, _mm_mul_ps(dq, f))));
        uv = _mm_mul_ps(uv, size);  // [ua, va, ub, vb] in texels
        const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        const __m128 limit = _mm_set1_ps(16384.0f);
        if (kClamp) {
            general = _mm_movemask_ps(_mm_cmple_ps(_mm_and_ps(uv, absMask), limit)) != 15;
            if (general) return;
        } else {
            // Whole periods off the start; starts beyond any sensible range are held at 0.
            if ((_mm_movemask_ps(_mm_cmplt_ps(_mm_and_ps(uv, absMask), _mm_set1_ps(1e6f))) & 3) != 3)
                uv = _mm_shuffle_ps(_mm_setzero_ps(), uv, _MM_SHUFFLE(3, 2, 1, 0));
            const __m128 periods = _mm_mul_ps(_mm_movelh_ps(uv, uv), _mm_load_ps(s.texInvSize));
            __m128i whole = _mm_cvttps_epi32(periods);
            whole = _mm_add_epi32(whole, _mm_castps_si128(_mm_cmplt_ps(periods, _mm_cvtepi32_ps(whole))));
            uv = _mm_sub_ps(uv, _mm_mul_ps(_mm_cvtepi32_ps(whole), size));
            const __m128 magnitude = _mm_and_ps(uv, absMask);
            const int startOut = _mm_movemask_ps(_mm_cmpnle_ps(magnitude, limit)) & 3;
            const int endOut = _mm_movemask_ps(_mm_cmpgt_ps(magnitude, limit)) & 12;
            if (startOut | endOut) uv = _mm_movelh_ps(uv, uv);  // degenerate steps: hold the segment start
        }
        const __m128i t = _mm_cvttps_epi32(_mm_mul_ps(uv, _mm_set1_ps(65536.0f)));
        const __m128 delta = _mm_sub_ps(_mm_movehl_ps(uv, uv), uv);
        const __m128i d = _mm_cvttps_epi32(_mm_mul_ps(delta, _mm_set1_ps(kPerPixel[size_t(length)])));
        // Pixels 0, 1 as [u, v, u + du, v + dv] and pixels 2, 3 two steps on (wrapping, as the
        // scalar steps do); then the u and v lanes apart.
        const __m128i dd = _mm_unpacklo_epi64(d, d);
        const __m128i first = _mm_add_epi32(_mm_unpacklo_epi64(t, t), _mm_slli_si128(dd, 8));
        const __m128i second = _mm_add_epi32(first, _mm_add_epi32(dd, dd));
        tu4 = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(first), _mm_castsi128_ps(second), 0x88));
        tv4 = _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(first), _mm_castsi128_ps(second), 0xDD));
        dtu4 = _mm_slli_epi32(_mm_shuffle_epi32(d, 0x00), 2);
        dtv4 = _mm_slli_epi32(_mm_shuffle_epi32(d, 0x55), 2);
    }

    __attribute__((always_inline)) void Step() {
        tu4 = _mm_add_epi32(tu4, dtu4);
        tv4 = _mm_add_epi32(tv4, dtv4);
    }
};

// Copies 1..3 values (inline: a library call would cost more than the copy).
template <typename T>
inline void CopyFew(T* to, const T* from, int n) {
    to[0] = from[0];
    if (n > 1) to[1] = from[1];
    if (n > 2) to[2] = from[2];
}

// An opaque Gouraud row (a background gradient: diffuse colour only, no blending, test or mask),
// eight pixels per step with 256-bit registers where the processor has them: the same steppers and
// read-out as the four-pixel loop (Stepper::Byte of each channel), so the same pixels. Draws the
// first count / 8 * 8 pixels, `stepper` holding pixel 0's [b, g, r, a] steppers and stepping by
// `step` per pixel; returns how many it drew, with `stepper` at the first pixel not drawn.
__attribute__((target("avx2"))) int OpaqueGouraudRowAvx2(uint32_t* row, int count, __m128i& stepper,
                                                         __m128i step) {
    const __m256i step1 = _mm256_broadcastsi128_si256(step);
    const __m256i step8 = _mm256_slli_epi32(step1, 3);
    // Registers of pixels [0 | 4], [1 | 5], [2 | 6], [3 | 7]: the packs below give 0..3 in the low
    // half and 4..7 in the high half, in order.
    const __m256i start = _mm256_broadcastsi128_si256(stepper);
    __m256i p0 = _mm256_blend_epi32(start, _mm256_add_epi32(start, _mm256_slli_epi32(step1, 2)), 0xF0);
    __m256i p1 = _mm256_add_epi32(p0, step1);
    __m256i p2 = _mm256_add_epi32(p1, step1);
    __m256i p3 = _mm256_add_epi32(p2, step1);
    const __m256i most = _mm256_set1_epi16(255);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i low =
            _mm256_min_epi16(_mm256_packs_epi32(_mm256_srli_epi32(p0, 16), _mm256_srli_epi32(p1, 16)), most);
        const __m256i high =
            _mm256_min_epi16(_mm256_packs_epi32(_mm256_srli_epi32(p2, 16), _mm256_srli_epi32(p3, 16)), most);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), _mm256_packus_epi16(low, high));
        p0 = _mm256_add_epi32(p0, step8);
        p1 = _mm256_add_epi32(p1, step8);
        p2 = _mm256_add_epi32(p2, step8);
        p3 = _mm256_add_epi32(p3, step8);
    }
    stepper = _mm256_castsi256_si128(p0);
    return i;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

template <bool kPersp, int kMode, bool kDepth, bool kBlend, int kFetch, bool kFlat, bool kRect = false>
void ShadeRow(const SpanSetup& s, int y, int x0, int x1);

// Row y's texel row in a point-clamped rectangle whose v does not change along rows, as the segment
// code finds it from the row's v; false when that v lies beyond the fixed-point range.
inline bool RectTexelRow(const SpanSetup& s, __m128 zquv, int& row) {
    const float v = _mm_cvtss_f32(_mm_shuffle_ps(zquv, zquv, 0xFF)) * s.texSize[1];
    if (!(std::fabs(v) <= 16384.0f)) return false;
    row = std::clamp(static_cast<int32_t>(v * 65536.0f) >> 16, 0, s.lastV);
    return true;
}

// One set of a prepared primitive's planes (0: [z, rhw, u, v], 1: [b, g, r, a]) at dx, dy from its
// origin, lane by lane as Gradients::At.
__attribute__((always_inline)) inline __m128 PlanesAt(const SpanSetup& s, int set, __m128 dx, __m128 dy) {
    return _mm_add_ps(_mm_add_ps(_mm_load_ps(s.base[set]), _mm_mul_ps(_mm_load_ps(s.ddx[set]), dx)),
                      _mm_mul_ps(_mm_load_ps(s.ddy[set]), dy));
}

// The colour steppers of the four pixels of a group, each [b, g, r, a] as Stepper, starting from the
// row's first pixel. A flat row keeps all four at the start.
template <bool kFlat>
struct GroupColors {
    __m128i c0, c1, c2, c3, step4;

    __attribute__((always_inline)) GroupColors(const SpanSetup& s, __m128 bgra) {
        const __m128 clamped = _mm_max_ps(_mm_setzero_ps(), _mm_min_ps(_mm_set1_ps(255.0f), bgra));
        const __m128i fixedStart = _mm_cvttps_epi32(_mm_mul_ps(clamped, _mm_set1_ps(65536.0f)));
        c0 = _mm_add_epi32(fixedStart, _mm_set1_epi32(32768));
        c1 = c2 = c3 = step4 = c0;
        if constexpr (!kFlat) {
            const __m128i step = _mm_load_si128(reinterpret_cast<const __m128i*>(s.colorStep));
            From(c0, step);
            step4 = _mm_slli_epi32(step, 2);
        }
    }

    // Pixel 0 at `first`, the others `step` apart.
    __attribute__((always_inline)) void From(__m128i first, __m128i step) {
        c0 = first;
        c1 = _mm_add_epi32(c0, step);
        c2 = _mm_add_epi32(c1, step);
        c3 = _mm_add_epi32(c2, step);
    }

    // The four pixels' colours as 16-bit channels, with `alphaOne` set in.
    __attribute__((always_inline)) Wide Bytes(__m128i alphaOne) const {
        return Wide{_mm_or_si128(ColorBytes(c0, c1), alphaOne), _mm_or_si128(ColorBytes(c2, c3), alphaOne)};
    }

    __attribute__((always_inline)) void Step() {
        if constexpr (!kFlat) {
            c0 = _mm_add_epi32(c0, step4);
            c1 = _mm_add_epi32(c1, step4);
            c2 = _mm_add_epi32(c2, step4);
            c3 = _mm_add_epi32(c3, step4);
        }
    }
};

// One row of a prepared primitive, shaded a group of four pixels at a time (see ShadeRow). Everything
// the groups read is held here, out of the colour stores' way.
template <bool kPersp, int kMode, bool kDepth, bool kBlend, int kFetch, bool kFlat, bool kRect>
class RowShader {
    static constexpr bool kTex = kMode != kDiffuse;
    static constexpr bool kClamp = kFetch == kPointClamp, kLinear = kTex && kFetch == kBilinear;

  public:
    using Bilinear = std::conditional_t<kLinear, BilinearRow, NoBilinearRow>;

    // Pixels [first, end) of line y, whose planes at `first` are `zquv` and `bgra`; `rectOffset`
    // (kRect): the row's texel offset less the first row's; `rowBilinear` (kLinear): the row's
    // bilinear sampling.
    __attribute__((always_inline)) RowShader(const SpanSetup& setup, int y, int first, int end, __m128 zquv,
                                             __m128 bgra, __m128i rectOffset, const Bilinear& rowBilinear)
        : s(setup),
          colors(setup, bgra),
          flatColor(FlatColor(colors.c0, alphaOne)),
          zs(_mm_shuffle_ps(zquv, zquv, 0x00)),
          seg(StartSegments(setup, zquv)),
          rectRow(rectOffset),
          bilinear(rowBilinear),
          row(setup.pixels + static_cast<ptrdiff_t>(y) * setup.pitch + first),
          zrow(kDepth ? setup.depth + static_cast<ptrdiff_t>(y) * setup.depthPitch + first : nullptr),
          x0(first),
          count(end - first) {}

    // Shades the row: whole groups in place, then the last, partial group, in place when four pixels
    // fit in the target's row (the lanes past the span rewrite what they read), on copies at the right
    // edge.
    __attribute__((always_inline)) void Run() {
        int i = 0;
        if constexpr (kMode == kDiffuse && !kDepth && !kBlend && !kFlat) {
            if (!maskWrites && !testAlpha && count >= 8 && HasAvx2()) {
                const __m128i step = _mm_load_si128(reinterpret_cast<const __m128i*>(s.colorStep));
                __m128i first = colors.c0;
                i = OpaqueGouraudRowAvx2(row, count, first, step);
                colors.From(first, step);
            }
        }
        for (; i + 4 <= count; i += 4)
            Shade<false>(i, row + i, kDepth ? zrow + i : nullptr, _mm_setzero_si128());
        if (i == count) return;
        const __m128i lanes = _mm_cmpgt_epi32(_mm_set1_epi32(count - i), _mm_setr_epi32(0, 1, 2, 3));
        const int end = x0 + i + 4;
        if (end <= s.width && (!kDepth || end <= s.depthWidth)) {
            Shade<true>(i, row + i, kDepth ? zrow + i : nullptr, lanes);
            return;
        }
        const int left = count - i;
        alignas(16) uint32_t colorCopy[4] = {};
        alignas(16) float depthCopy[4] = {};
        CopyFew(colorCopy, row + i, left);
        if constexpr (kDepth) CopyFew(depthCopy, zrow + i, left);
        Shade<true>(i, colorCopy, depthCopy, lanes);
        CopyFew(row + i, colorCopy, left);
        if constexpr (kDepth) CopyFew(zrow + i, depthCopy, left);
    }

  private:
    __attribute__((always_inline)) static Wide FlatColor(__m128i c0, __m128i alphaOne) {
        const __m128i flatBytes = ColorBytes(c0, c0);
        return Wide{_mm_or_si128(flatBytes, alphaOne), _mm_or_si128(flatBytes, alphaOne)};
    }

    __attribute__((always_inline)) static RowSegments<kPersp, kClamp> StartSegments(const SpanSetup& s,
                                                                                    __m128 zquv) {
        RowSegments<kPersp, kClamp> seg{s};
        if constexpr (kTex) seg.Start(zquv);
        return seg;
    }

    // Shades pixels i .. i + 3 at dst and zp (only the `lanes` when masked), then steps to the next group.
    template <bool kMasked>
    __attribute__((always_inline)) void Shade(int i, uint32_t* dst, float* zp, __m128i lanes) {
        if (kTex && !kLinear && !kRect && segmentLeft <= 0) {
            segmentLeft = std::min(kSegment, count - i);
            seg.Next(i, segmentLeft);
        }
        __m128i pass = kMasked ? lanes : _mm_set1_epi32(-1);
        __m128 z = _mm_setzero_ps(), stored = z;
        if constexpr (kDepth) {
            z = _mm_add_ps(zs, _mm_mul_ps(dz, index));
            stored = _mm_loadu_ps(zp);
            if (depthTest) {
                const __m128 test = lessEqual ? _mm_cmple_ps(z, stored) : _mm_cmplt_ps(z, stored);
                pass = kMasked ? _mm_and_si128(pass, _mm_castps_si128(test)) : _mm_castps_si128(test);
            }
        }
        int passing = kDepth ? _mm_movemask_epi8(pass) : 0xFFFF;
        Wide color = flatColor;
        if (passing != 0) {
            if constexpr (!kFlat) color = colors.Bytes(alphaOne);
            if constexpr (kTex) {
                const Wide texel = GroupTexels(i, pass);
                // Blending a source alpha of 0 (a texel alpha of 0 times anything) leaves the
                // destination as it is: groups in the empty part of a glyph's cell end here.
                if (kBlend && (!kDepth || !depthWrite) && TransparentTexels(texel)) passing = 0;
                color = Modulate(color, texel);
            }
        }
        if (passing != 0) Write<kMasked>(color, pass, passing, dst, zp, z, stored);
        Step();
    }

    // Stage 0's texels for pixels i .. i + 3 (only the lanes in `pass` matter).
    __attribute__((always_inline)) Wide GroupTexels(int i, __m128i pass) {
        Wide texel;
        if constexpr (kLinear) {
            // Texture coordinates of the four pixels as the scalar loop forms them.
            __m128 u = _mm_add_ps(bilinear.u, _mm_mul_ps(bilinear.du, index));
            __m128 v = _mm_add_ps(bilinear.v, _mm_mul_ps(bilinear.dv, index));
            if constexpr (kPersp) {
                const __m128 w = _mm_div_ps(_mm_set1_ps(1.0f), _mm_add_ps(seg.q, _mm_mul_ps(seg.dq, index)));
                u = _mm_mul_ps(u, w);
                v = _mm_mul_ps(v, w);
            }
            const int active = _mm_movemask_ps(_mm_castsi128_ps(pass));
            texel = bilinear.constantV
                        ? SampleBilinear4(s, bilinear, u, v, bilinear.rows, active)
                        : SampleBilinear4(s, bilinear, u, v, FindTexelRows(bilinear, v), active);
        } else if constexpr (kRect) {
            const __m128i columns = _mm_load_si128(reinterpret_cast<const __m128i*>(s.rectColumns + i));
            texel = Widen(Gather(texels, _mm_add_epi32(columns, rectRow)));
        } else if (!kClamp || !seg.general) {
            const __m128i offsets =
                TexelOffsets<kClamp>(seg.tu4, seg.tv4, Load(s.texLimits), Load(s.texRowAndOne));
            texel = Widen(Gather(texels, offsets));
        } else {
            texel = ClampedTexels(i);
        }
        return texel;
    }

    // Point-clamped texels of pixels i .. i + 3 one by one, as the scalar loop's fast clamped fetch (the
    // segment reaches beyond the fixed-point range).
    __attribute__((always_inline)) Wide ClampedTexels(int i) {
        const float us = _mm_cvtss_f32(seg.start);
        const float vs = _mm_cvtss_f32(_mm_shuffle_ps(seg.start, seg.start, 0x55));
        const float qs = _mm_cvtss_f32(seg.q);
        alignas(16) uint32_t fetched[4];
        for (int k = 0; k < 4; ++k) {
            const float f = static_cast<float>(i + k);
            const float w = kPersp ? 1.0f / (qs + s.ddx[0][1] * f) : 1.0f;
            const float u = (us + s.ddx[0][2] * f) * w, v = (vs + s.ddx[0][3] * f) * w;
            const int tx = std::clamp(FloorToInt(u * s.texSize[0]), 0, s.lastU);
            const int ty = std::clamp(FloorToInt(v * s.texSize[1]), 0, s.lastV);
            fetched[k] = texels[ty * s.texelPitch + tx];
        }
        return Widen(_mm_load_si128(reinterpret_cast<const __m128i*>(fetched)));
    }

    // Alpha test, blending and write mask, then the stores of the lanes that pass (`passing`: the
    // depth test's lanes as a byte mask).
    template <bool kMasked>
    __attribute__((always_inline)) void Write(const Wide& color, __m128i pass, int passing, uint32_t* dst,
                                              float* zp, __m128 z, __m128 stored) {
        __m128i packed = Narrow(color);
        if (testAlpha) {
            const __m128i alpha = _mm_srli_epi32(packed, 24);
            const __m128i inside = _mm_and_si128(_mm_cmpgt_epi32(alpha, Load(s.alphaLow)),
                                                 _mm_cmpgt_epi32(Load(s.alphaHigh), alpha));
            pass = _mm_and_si128(pass, _mm_xor_si128(inside, Load(s.alphaInvert)));
        }
        // Every lane passing (the inside of most primitives) needs neither selection.
        const bool everyLane = !kMasked && !testAlpha && passing == 0xFFFF;
        if (kBlend || maskWrites || !everyLane) {
            const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
            if constexpr (kBlend) packed = BlendGroup(color, packed, old);
            if (maskWrites)
                packed = _mm_or_si128(_mm_and_si128(packed, Load(s.writeMask)),
                                      _mm_andnot_si128(Load(s.writeMask), old));
            if (!everyLane) packed = _mm_or_si128(_mm_and_si128(packed, pass), _mm_andnot_si128(pass, old));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), packed);
        if constexpr (kDepth) {
            if (depthWrite) {
                const __m128 keep = _mm_castsi128_ps(pass);
                const __m128 kept = _mm_or_ps(_mm_and_ps(z, keep), _mm_andnot_ps(keep, stored));
                _mm_storeu_ps(zp, everyLane ? z : kept);
            }
        }
    }

    // On to the next group.
    __attribute__((always_inline)) void Step() {
        if constexpr (kTex && !kLinear && !kRect) {
            seg.Step();
            segmentLeft -= 4;
        }
        // Pixel indices along the row: for depth, and for bilinear texture coordinates.
        if constexpr (kDepth || kLinear) index = _mm_add_ps(index, _mm_set1_ps(4.0f));
        colors.Step();
    }

    const SpanSetup& s;
    GroupColors<kFlat> colors;
    // Texture alpha replaces diffuse alpha: a diffuse alpha of 255 leaves it unchanged.
    const __m128i alphaOne =
        kMode == kModulateTexA ? _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0) : _mm_setzero_si128();
    const Wide flatColor;
    const __m128 zs, dz = _mm_set1_ps(s.ddx[0][0]);
    const bool lessEqual = s.depthLessEqual, depthTest = s.depthTest, depthWrite = s.depthWrite;
    const bool testAlpha = s.alphaTest, maskWrites = s.maskWrites;
    RowSegments<kPersp, kClamp> seg;
    const uint32_t* const texels = s.texels;
    const __m128i rectRow;     // kRect: the row's texel offset less the first row's
    const Bilinear& bilinear;  // kLinear: the row's bilinear sampling (ShadeRow's)
    uint32_t* const row;
    float* const zrow;
    const int x0, count;
    __m128 index = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);  // pixels i .. i + 3 of the row
    int segmentLeft = 0;
};

// One row of a prepared primitive. `kFlat`: the diffuse colour is the same
// along the row (flat-lit faces, sprites and glyphs), so it is formed once.
// `kRect`: a point-clamped rectangle whose texel offsets along x were found
// once for all its rows (SpanSetup::rectColumns); the row adds its own.
template <bool kPersp, int kMode, bool kDepth, bool kBlend, int kFetch, bool kFlat, bool kRect>
void ShadeRow(const SpanSetup& s, int y, int x0, int x1) {
    const __m128 dx = _mm_set1_ps(static_cast<float>(x0) - s.x0);
    const __m128 dy = _mm_set1_ps(static_cast<float>(y) - s.y0);
    const __m128 zquv = PlanesAt(s, 0, dx, dy);
    __m128i rectRow = _mm_setzero_si128();
    if constexpr (kRect) {
        int texelRow;
        if (!RectTexelRow(s, zquv, texelRow))
            return ShadeRow<kPersp, kMode, kDepth, kBlend, kFetch, kFlat>(s, y, x0, x1);
        rectRow = _mm_set1_epi32((texelRow - s.rectFirstRow) * s.texelPitch);
    }
    // The bilinear sampling is built here, not inside the shader (a value returned into it would keep
    // it in memory, and reading its texel pointer from there costs in every group).
    using Shader = RowShader<kPersp, kMode, kDepth, kBlend, kFetch, kFlat, kRect>;
    typename Shader::Bilinear bilinear(s);
    if constexpr (kMode != kDiffuse && kFetch == kBilinear) {
        bilinear.u = _mm_shuffle_ps(zquv, zquv, 0xAA);
        bilinear.v = _mm_shuffle_ps(zquv, zquv, 0xFF);
        // v + 0 * i is the same at every pixel i, so the rows found for the first group hold for all.
        bilinear.constantV = !kPersp && s.ddx[0][3] == 0.0f;
        if (bilinear.constantV)
            bilinear.rows = FindTexelRows(
                bilinear,
                _mm_add_ps(bilinear.v, _mm_mul_ps(bilinear.dv, _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f))));
    }
    Shader(s, y, x0, x1, zquv, PlanesAt(s, 1, dx, dy), rectRow, bilinear).Run();
}

template <bool kPersp, int kMode, bool kDepth, bool kBlend, int kFetch>
SpanFn PickRow(bool flat) {
    return flat ? &ShadeRow<kPersp, kMode, kDepth, kBlend, kFetch, true>
                : &ShadeRow<kPersp, kMode, kDepth, kBlend, kFetch, false>;
}

// The alpha test as an open range low < alpha < high, optionally inverted, so a
// group is tested without branching (no test: the range holds every alpha).
void PrepareAlphaTest(const PixelConfig& c, SpanSetup& s) {
    int low = -1, high = 256, ref = int(c.alphaRef);
    bool invert = false;
    if (c.alphaTest) {
        switch (c.alphaFunc) {
            case D3DCMP_NEVER:
                low = 256, high = -1;
                break;
            case D3DCMP_LESS:
                high = ref;
                break;
            case D3DCMP_EQUAL:
                low = ref - 1, high = ref + 1;
                break;
            case D3DCMP_LESSEQUAL:
                high = ref + 1;
                break;
            case D3DCMP_GREATER:
                low = ref;
                break;
            case D3DCMP_NOTEQUAL:
                low = ref - 1, high = ref + 1, invert = true;
                break;
            case D3DCMP_GREATEREQUAL:
                low = ref - 1;
                break;
            default:
                break;
        }
    }
    s.alphaTest = c.alphaTest;
    for (int k = 0; k < 4; ++k) {
        s.alphaLow[k] = low;
        s.alphaHigh[k] = high;
        s.alphaInvert[k] = invert ? -1 : 0;
    }
}

template <bool kPersp, int kMode, bool kDepth, bool kBlend>
SpanFn PrepareVector(const PixelConfig& c, const Gradients& g, SpanSetup& s) {
    s.config = &c;
    s.gradients = &g;
    bool clamp = false, linear = false;
    if constexpr (kMode != kDiffuse) {
        const SpanTexture tex(g.sampling[0], c.samplers[0]);
        linear = tex.texels && g.sampling[0].linear;
        if (!tex.fast && !linear) return &ShadeSpan<kPersp, kMode, kDepth, kBlend>;
        clamp = tex.clamp;
        s.texels = tex.texels;
        s.texelPitch = tex.pitch;
        s.lastU = tex.lastU;
        s.lastV = tex.lastV;
        s.texSize[0] = s.texSize[2] = tex.width;
        s.texSize[1] = s.texSize[3] = tex.height;
        s.texInvSize[0] = s.texInvSize[2] = clamp ? 0.0f : 1.0f / tex.width;
        s.texInvSize[1] = s.texInvSize[3] = clamp ? 0.0f : 1.0f / tex.height;
        s.texStep[0] = s.texStep[2] = g.ddx[kU0];
        s.texStep[1] = s.texStep[3] = g.ddx[kV0];
        // Clamp limits for x in the low four 16-bit lanes and for y in the high four; wrap masks for x in
        // the low half of each 32-bit lane and for y in the high half (TexelOffsets).
        for (int k = 0; k < 8; ++k)
            s.texLimits[k] = int16_t((clamp ? k >= 4 : k % 2 == 1) ? tex.lastV : tex.lastU);
        for (int32_t& lane : s.texRowAndOne) lane = int32_t((uint32_t(tex.pitch) << 16) | 1u);
    }
    constexpr int kLanes[2][4] = {{kZ, kRhw, kU0, kV0}, {kB, kG, kR, kA}};
    for (int v = 0; v < 2; ++v)
        for (int k = 0; k < 4; ++k) {
            s.base[v][k] = g.base[kLanes[v][k]];
            s.ddx[v][k] = g.ddx[kLanes[v][k]];
            s.ddy[v][k] = g.ddy[kLanes[v][k]];
        }
    s.x0 = g.x0;
    s.y0 = g.y0;
    for (int k = 0; k < 4; ++k) s.colorStep[k] = Stepper(0.0f, g.ddx[kLanes[1][k]]).step;

    s.pixels = c.color.pixels;
    s.pitch = c.color.pitch;
    s.width = c.color.width;
    if constexpr (kDepth) {
        s.depth = c.depth.depth;
        s.depthPitch = c.depth.pitch;
        s.depthWidth = c.depth.width;
        s.depthTest = c.depthTest;
        s.depthWrite = c.depthWrite;
        s.depthLessEqual = c.depthFunc == D3DCMP_LESSEQUAL;
    }
    PrepareAlphaTest(c, s);
    for (uint32_t& mask : s.writeMask) mask = c.writeMask;
    s.maskWrites = c.writeMask != 0xFFFFFFFFu;

    // Zero colour steps (the steps Stepper derives) keep every pixel's colour at the start's.
    const bool flat = g.constantColor;
    // An untextured primitive whose alpha is 255 everywhere replaces what it covers: source-alpha
    // blending gives the source exactly, so the row neither reads nor blends (a dialog's gradient).
    if constexpr (kMode == kDiffuse && kBlend) {
        if (g.ddx[kA] == 0.0f && g.ddy[kA] == 0.0f && g.base[kA] >= 255.0f)
            return PickRow<kPersp, kMode, kDepth, false, kPointWrap>(flat);
    }
    if (linear) return PickRow<kPersp, kMode, kDepth, kBlend, kBilinear>(flat);
    if (clamp) return PickRow<kPersp, kMode, kDepth, kBlend, kPointClamp>(flat);
    return PickRow<kPersp, kMode, kDepth, kBlend, kPointWrap>(flat);
}

template <int kMode, bool kDepth, bool kBlend>
SpanFunctions PickVector() {
    return SpanFunctions{&PrepareVector<false, kMode, kDepth, kBlend>,
                         &PrepareVector<true, kMode, kDepth, kBlend>};
}

template <int kMode>
SpanFunctions PickVectorFlags(bool depth, bool blend) {
    if (depth) return blend ? PickVector<kMode, true, true>() : PickVector<kMode, true, false>();
    return blend ? PickVector<kMode, false, true>() : PickVector<kMode, false, false>();
}

// The rows of a point-clamped rectangle (see ShadeRow's kRect): the setup, and the texel offsets of
// the first row's columns as its segments give them; null when the rectangle is not of that kind.
template <int kMode, bool kBlend>
SpanFn PrepareRectRows(const PixelConfig& c, const Gradients& g, SpanSetup& s, int x0, int x1, int y0) {
    constexpr SpanFn kRows = &ShadeRow<false, kMode, false, kBlend, kPointClamp, true, true>;
    if (PrepareVector<false, kMode, false, kBlend>(c, g, s) !=
        &ShadeRow<false, kMode, false, kBlend, kPointClamp, true>)
        return nullptr;
    const int count = x1 - x0;
    const __m128 dx = _mm_set1_ps(static_cast<float>(x0) - s.x0);
    const __m128 dy = _mm_set1_ps(static_cast<float>(y0) - s.y0);
    const __m128 zquv = PlanesAt(s, 0, dx, dy);
    if (!RectTexelRow(s, zquv, s.rectFirstRow)) return nullptr;
    RowSegments<false, true> seg{s};
    seg.Start(zquv);
    // Whole groups, as the row loop steps them (the lanes past the end included).
    for (int i = 0, left = 0; i < count; i += 4, left -= 4) {
        if (left <= 0) {
            left = std::min(kSegment, count - i);
            seg.Next(i, left);
            if (seg.general) return nullptr;
        }
        const __m128i offsets = TexelOffsets<true>(seg.tu4, seg.tv4, Load(s.texLimits), Load(s.texRowAndOne));
        _mm_store_si128(reinterpret_cast<__m128i*>(s.rectColumns + i), offsets);
        seg.Step();
    }
    return kRows;
}

}  // namespace

SpanFn PrepareRectRows(const PixelConfig& c, const Gradients& g, SpanSetup& s, int x0, int x1, int y0) {
    if (g.perspective || !g.constantColor || g.ddy[kU0] != 0.0f || g.ddx[kV0] != 0.0f ||
        x1 - x0 > SpanSetup::kRectColumns || x1 <= x0)
        return nullptr;
    const bool depth = c.depth.depth != nullptr && (c.depthTest || c.depthWrite);
    if (depth || !c.simpleCombiner || !c.samplers[0].levels || !c.colorUsesTexture || !c.colorUsesDiffuse ||
        !c.alphaUsesTexture)
        return nullptr;
    const int mode = c.alphaUsesDiffuse ? kModulate : kModulateTexA;
    SpanFunctions unused;
    if (!ChooseVectorSpans(c, mode, false, unused)) return nullptr;
    if (mode == kModulate)
        return c.blend ? PrepareRectRows<kModulate, true>(c, g, s, x0, x1, y0)
                       : PrepareRectRows<kModulate, false>(c, g, s, x0, x1, y0);
    return c.blend ? PrepareRectRows<kModulateTexA, true>(c, g, s, x0, x1, y0)
                   : PrepareRectRows<kModulateTexA, false>(c, g, s, x0, x1, y0);
}

bool ChooseVectorSpans(const PixelConfig& c, int mode, bool depth, SpanFunctions& out) {
    if (c.specularAdd) return false;
    if (depth && c.depthTest && c.depthFunc != D3DCMP_LESSEQUAL && c.depthFunc != D3DCMP_LESS) return false;
    // Texel offsets are formed in 16-bit halves (TexelOffsets).
    for (int l = 0; l < c.samplers[0].levelCount; ++l)
        if (c.samplers[0].levels[l].pitch > 32767 || c.samplers[0].levels[l].height > 32767) return false;
    if (c.blend && (c.srcBlend != D3DBLEND_SRCALPHA || c.destBlend != D3DBLEND_INVSRCALPHA ||
                    c.blendOp != D3DBLENDOP_ADD || c.separateAlpha))
        return false;
    switch (mode) {
        case kDiffuse:
            out = PickVectorFlags<kDiffuse>(depth, c.blend);
            return true;
        case kModulate:
            out = PickVectorFlags<kModulate>(depth, c.blend);
            return true;
        case kModulateTexA:
            out = PickVectorFlags<kModulateTexA>(depth, c.blend);
            return true;
        default:
            return false;
    }
}

#else

bool ChooseVectorSpans(const PixelConfig&, int, bool, SpanFunctions&) { return false; }
SpanFn PrepareRectRows(const PixelConfig&, const Gradients&, SpanSetup&, int, int, int) { return nullptr; }

#endif

}  // namespace plat::d3d9::span
