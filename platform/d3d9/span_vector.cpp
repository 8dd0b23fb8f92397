// Pixel stage, four pixels per step (SSE2; part of the x86-64 baseline).
// Colour channels step in 16.16 fixed point as in the scalar loop, products
// and blends use 16-bit lanes with the same rounded division by 255, and
// depth is evaluated per pixel as start + step * i, so results equal the
// scalar loop's. A group of four whose depth test fails everywhere is
// skipped before any texel is read.
#include "platform/d3d9/span_vector.h"

#include "platform/d3d9/span_shading.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace plat::d3d9::span {

#ifdef __SSE2__

namespace {

// x / 255 rounded, in eight 16-bit lanes (x at most 255 * 255), as Div255.
inline __m128i Div255x8(__m128i x) {
    __m128i t = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
}

// Per channel Mul255 of four A8R8G8B8 pixels.
inline __m128i Modulate(__m128i x, __m128i y) {
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero)));
    __m128i hi = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero)));
    return _mm_packus_epi16(lo, hi);
}

// src * srcAlpha + dst * (1 - srcAlpha) per channel, alpha included, as BlendPixel.
inline __m128i BlendSrcAlpha8(__m128i s, __m128i d) {
    const __m128i full = _mm_set1_epi16(255);
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a)));
    return Div255x8(sum);
}

inline __m128i BlendSrcAlpha(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = BlendSrcAlpha8(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    __m128i hi = BlendSrcAlpha8(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    return _mm_packus_epi16(lo, hi);
}

// Stepper::Byte for four lanes: value >> 16 (unsigned), at most 255.
inline __m128i StepperBytes(__m128i value) {
    __m128i s = _mm_srli_epi32(value, 16);
    __m128i over = _mm_cmpgt_epi32(s, _mm_set1_epi32(255));
    return _mm_or_si128(_mm_andnot_si128(over, s), _mm_and_si128(over, _mm_set1_epi32(255)));
}

// The alpha test as an open range lo < alpha < hi, optionally inverted, so a
// group is tested without branching (no test: the range holds every alpha).
struct AlphaRange {
    __m128i lo, hi, invert;
    explicit AlphaRange(const PixelConfig& c) {
        int l = -1, h = 256, ref = int(c.alphaRef);
        bool inv = false;
        if (c.alphaTest) {
            switch (c.alphaFunc) {
            case D3DCMP_NEVER: l = 256, h = -1; break;
            case D3DCMP_LESS: h = ref; break;
            case D3DCMP_EQUAL: l = ref - 1, h = ref + 1; break;
            case D3DCMP_LESSEQUAL: h = ref + 1; break;
            case D3DCMP_GREATER: l = ref; break;
            case D3DCMP_NOTEQUAL: l = ref - 1, h = ref + 1, inv = true; break;
            case D3DCMP_GREATEREQUAL: l = ref - 1; break;
            default: break;
            }
        }
        lo = _mm_set1_epi32(l);
        hi = _mm_set1_epi32(h);
        invert = _mm_set1_epi32(inv ? -1 : 0);
    }
    // Mask of the lanes whose alpha (0..255) passes.
    __m128i Passes(__m128i alpha) const {
        return _mm_xor_si128(_mm_and_si128(_mm_cmpgt_epi32(alpha, lo), _mm_cmpgt_epi32(hi, alpha)), invert);
    }
};

// Four lanes of a stepper, at pixels i .. i + 3 of the span.
struct Stepper4 {
    __m128i value, step4;
    explicit Stepper4(const Stepper& s) {
        uint32_t v = uint32_t(s.value), d = uint32_t(s.step);
        value = _mm_setr_epi32(int32_t(v), int32_t(v + d), int32_t(v + 2 * d), int32_t(v + 3 * d));
        step4 = _mm_set1_epi32(int32_t(4 * d));
    }
    __m128i Bytes() const { return StepperBytes(value); }
    void Next() { value = _mm_add_epi32(value, step4); }
};

// Texel offsets (y * pitch + x) of four 16.16 texel coordinates, addressing
// fixed at compile time. x and y end within the image (below 32768), and
// the pitch is below 32768 too, so one 16-bit multiply-add forms the offset.
template <bool kClamp>
inline __m128i TexelOffsets(__m128i tu, __m128i tv, __m128i limits, __m128i rowAndOne) {
    __m128i x = _mm_srai_epi32(tu, 16), y = _mm_srai_epi32(tv, 16);
    __m128i xy;
    if (kClamp) {
        // x0..x3, y0..y3 in 16 bits (the coordinates are within +-16385 here), clamped to 0..size - 1.
        __m128i packed = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(x, y), _mm_setzero_si128()), limits);
        xy = _mm_unpacklo_epi16(packed, _mm_srli_si128(packed, 8));
    } else {
        // `limits` holds the wrap masks: size - 1 for x in the low half of each lane, for y in the high half.
        xy = _mm_and_si128(_mm_or_si128(_mm_and_si128(x, _mm_set1_epi32(0xFFFF)), _mm_slli_epi32(y, 16)), limits);
    }
    return _mm_madd_epi16(xy, rowAndOne);
}

// Copies 1..3 values (inline: a library call would cost more than the copy).
template <typename T>
inline void CopyFew(T* to, const T* from, int n) {
    to[0] = from[0];
    if (n > 1) to[1] = from[1];
    if (n > 2) to[2] = from[2];
}

// `kFlat`: the diffuse colour is the same along the span (flat-lit faces,
// sprites and glyphs), so it is packed once.
template <bool kPersp, int kMode, bool kDepth, bool kBlend, bool kClamp, bool kFlat>
void ShadeSpanVectorBody(const PixelConfig& c, const Gradients& g, const SpanTexture& tex0, int y, int x0, int x1) {
    constexpr bool kTex = kMode != kDiffuse;
    const float fx = static_cast<float>(x0), fy = static_cast<float>(y);
    const __m128 zs = _mm_set1_ps(g.At(kZ, fx, fy)), dz = _mm_set1_ps(g.ddx[kZ]);
    const float qs = kPersp ? g.At(kRhw, fx, fy) : 1.0f, dq = g.ddx[kRhw];
    const float us = kTex ? g.At(kU0, fx, fy) : 0.0f, vs = kTex ? g.At(kV0, fx, fy) : 0.0f;
    const float du = g.ddx[kU0], dv = g.ddx[kV0];
    const Stepper r1(g.At(kR, fx, fy), g.ddx[kR]), g1(g.At(kG, fx, fy), g.ddx[kG]);
    const Stepper b1(g.At(kB, fx, fy), g.ddx[kB]), a1(g.At(kA, fx, fy), g.ddx[kA]);
    Stepper4 r(r1), gr(g1), b(b1), a(a1);
    const __m128i flatColor =
        _mm_set1_epi32(int32_t((a1.Byte() << 24) | (r1.Byte() << 16) | (g1.Byte() << 8) | b1.Byte()));
    const bool lessEqual = c.depthFunc == D3DCMP_LESSEQUAL, depthTest = c.depthTest, depthWrite = c.depthWrite;
    const AlphaRange alphaTest(c);
    const bool testAlpha = c.alphaTest, maskWrites = c.writeMask != 0xFFFFFFFFu;
    const __m128i writeMask = _mm_set1_epi32(int32_t(c.writeMask));
    // Texture alpha replaces diffuse alpha: a diffuse alpha of 255 leaves it unchanged.
    const __m128i alphaOne = _mm_set1_epi32(kMode == kModulateTexA ? int32_t(0xFF000000u) : 0);
    const __m128 laneIndex = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);

    uint32_t* row = c.color.pixels + static_cast<ptrdiff_t>(y) * c.color.pitch + x0;
    float* zrow = kDepth ? c.depth.depth + static_cast<ptrdiff_t>(y) * c.depth.pitch + x0 : nullptr;
    TexSegment seg;
    SegmentWalker segments(tex0, kPersp, us, vs, qs, du, dv, dq);
    int segmentLeft = 0;
    // Texture fields in registers: the colour stores could otherwise alias them.
    const uint32_t* const texels0 = tex0.texels;
    const __m128i rowAndOne = _mm_set1_epi32(int32_t((uint32_t(tex0.pitch) << 16) | 1u));
    const __m128i limits =
        kClamp ? _mm_setr_epi16(int16_t(tex0.lastU), int16_t(tex0.lastU), int16_t(tex0.lastU), int16_t(tex0.lastU),
                                int16_t(tex0.lastV), int16_t(tex0.lastV), int16_t(tex0.lastV), int16_t(tex0.lastV))
               : _mm_set1_epi32(int32_t((uint32_t(tex0.lastV) << 16) | uint32_t(tex0.lastU)));
    __m128i tu4 = _mm_setzero_si128(), tv4 = _mm_setzero_si128(), dtu4 = tu4, dtv4 = tu4;
    const int count = x1 - x0;

    // Shades pixels i .. i + 3 at dst and zp, then steps to the next group.
    auto shade = [&](int i, uint32_t* dst, float* zp) __attribute__((always_inline)) {
        if (kTex && segmentLeft <= 0) {
            segmentLeft = std::min(kSegment, count - i);
            seg = segments.Next(i, segmentLeft);
            const uint32_t tu = uint32_t(seg.tu), tv = uint32_t(seg.tv);
            const uint32_t dtu = uint32_t(seg.dtu), dtv = uint32_t(seg.dtv);
            tu4 = _mm_setr_epi32(int32_t(tu), int32_t(tu + dtu), int32_t(tu + 2 * dtu), int32_t(tu + 3 * dtu));
            tv4 = _mm_setr_epi32(int32_t(tv), int32_t(tv + dtv), int32_t(tv + 2 * dtv), int32_t(tv + 3 * dtv));
            dtu4 = _mm_set1_epi32(int32_t(4 * dtu));
            dtv4 = _mm_set1_epi32(int32_t(4 * dtv));
        }
        __m128i pass = _mm_set1_epi32(-1);
        __m128 z = _mm_setzero_ps(), stored = _mm_setzero_ps();
        if constexpr (kDepth) {
            z = _mm_add_ps(zs, _mm_mul_ps(dz, _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), laneIndex)));
            stored = _mm_loadu_ps(zp);
            if (depthTest) pass = _mm_castps_si128(lessEqual ? _mm_cmple_ps(z, stored) : _mm_cmplt_ps(z, stored));
        }
        if (!kDepth || _mm_movemask_epi8(pass) != 0) {
            __m128i color = flatColor;
            if constexpr (!kFlat)
                color = _mm_or_si128(_mm_or_si128(_mm_slli_epi32(a.Bytes(), 24), _mm_slli_epi32(r.Bytes(), 16)),
                                     _mm_or_si128(_mm_slli_epi32(gr.Bytes(), 8), b.Bytes()));
            if constexpr (kTex) {
                __m128i texel;
                if (!kClamp || !seg.general) {
                    __m128i offsets = TexelOffsets<kClamp>(tu4, tv4, limits, rowAndOne);
                    uint32_t t0 = texels0[_mm_cvtsi128_si32(offsets)];
                    uint32_t t1 = texels0[_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 1))];
                    uint32_t t2 = texels0[_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 2))];
                    uint32_t t3 = texels0[_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 3))];
                    texel = _mm_unpacklo_epi64(
                        _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(t0)), _mm_cvtsi32_si128(int32_t(t1))),
                        _mm_unpacklo_epi32(_mm_cvtsi32_si128(int32_t(t2)), _mm_cvtsi32_si128(int32_t(t3))));
                } else {
                    alignas(16) uint32_t texels[4];
                    for (int k = 0; k < 4; ++k) {
                        const float fi = static_cast<float>(i + k);
                        const float w = kPersp ? 1.0f / (qs + dq * fi) : 1.0f;
                        texels[k] = tex0.Fetch(g.sampling[0], c.samplers[0], (us + du * fi) * w, (vs + dv * fi) * w);
                    }
                    texel = _mm_load_si128(reinterpret_cast<const __m128i*>(texels));
                }
                color = Modulate(_mm_or_si128(color, alphaOne), texel);
            }
            if (testAlpha) pass = _mm_and_si128(pass, alphaTest.Passes(_mm_srli_epi32(color, 24)));
            __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
            if constexpr (kBlend) color = BlendSrcAlpha(color, old);
            if (maskWrites) color = _mm_or_si128(_mm_and_si128(color, writeMask), _mm_andnot_si128(writeMask, old));
            color = _mm_or_si128(_mm_and_si128(color, pass), _mm_andnot_si128(pass, old));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), color);
            if constexpr (kDepth) {
                if (depthWrite) {
                    __m128 keep = _mm_castsi128_ps(pass);
                    _mm_storeu_ps(zp, _mm_or_ps(_mm_and_ps(z, keep), _mm_andnot_ps(keep, stored)));
                }
            }
        }
        if constexpr (kTex) {
            tu4 = _mm_add_epi32(tu4, dtu4);
            tv4 = _mm_add_epi32(tv4, dtv4);
            segmentLeft -= 4;
        }
        if constexpr (!kFlat) r.Next(), gr.Next(), b.Next(), a.Next();
    };

    int i = 0;
    for (; i + 4 <= count; i += 4) shade(i, row + i, kDepth ? zrow + i : nullptr);
    if (i < count) {
        // The last, partial group works on copies, so nothing past the span is touched.
        const int lanes = count - i;
        alignas(16) uint32_t colorCopy[4] = {};
        alignas(16) float depthCopy[4] = {};
        CopyFew(colorCopy, row + i, lanes);
        if constexpr (kDepth) CopyFew(depthCopy, zrow + i, lanes);
        shade(i, colorCopy, depthCopy);
        CopyFew(row + i, colorCopy, lanes);
        if constexpr (kDepth) CopyFew(zrow + i, depthCopy, lanes);
    }
}

template <bool kPersp, int kMode, bool kDepth, bool kBlend, bool kClamp>
void ShadeSpanVectorColor(const PixelConfig& c, const Gradients& g, const SpanTexture& tex0, int y, int x0, int x1) {
    // Zero colour steps (the steps Stepper derives) keep every pixel's colour at the start's.
    if (g.constantColor)
        return ShadeSpanVectorBody<kPersp, kMode, kDepth, kBlend, kClamp, true>(c, g, tex0, y, x0, x1);
    ShadeSpanVectorBody<kPersp, kMode, kDepth, kBlend, kClamp, false>(c, g, tex0, y, x0, x1);
}

template <bool kPersp, int kMode, bool kDepth, bool kBlend>
void ShadeSpanVector(const PixelConfig& c, const Gradients& g, int y, int x0, int x1) {
    const SpanTexture tex0(g.sampling[0], c.samplers[0]);
    if constexpr (kMode != kDiffuse) {
        if (!tex0.fast) return ShadeSpan<kPersp, kMode, kDepth, kBlend>(c, g, y, x0, x1);
        if (tex0.clamp) return ShadeSpanVectorColor<kPersp, kMode, kDepth, kBlend, true>(c, g, tex0, y, x0, x1);
    }
    ShadeSpanVectorColor<kPersp, kMode, kDepth, kBlend, false>(c, g, tex0, y, x0, x1);
}

template <int kMode, bool kDepth, bool kBlend>
SpanFunctions PickVector() {
    return SpanFunctions{&ShadeSpanVector<false, kMode, kDepth, kBlend>, &ShadeSpanVector<true, kMode, kDepth, kBlend>};
}

template <int kMode>
SpanFunctions PickVectorFlags(bool depth, bool blend) {
    if (depth) return blend ? PickVector<kMode, true, true>() : PickVector<kMode, true, false>();
    return blend ? PickVector<kMode, false, true>() : PickVector<kMode, false, false>();
}

}  // namespace

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
    case kDiffuse: out = PickVectorFlags<kDiffuse>(depth, c.blend); return true;
    case kModulate: out = PickVectorFlags<kModulate>(depth, c.blend); return true;
    case kModulateTexA: out = PickVectorFlags<kModulateTexA>(depth, c.blend); return true;
    default: return false;
    }
}

#else

bool ChooseVectorSpans(const PixelConfig&, int, bool, SpanFunctions&) { return false; }

#endif

}  // namespace plat::d3d9::span
