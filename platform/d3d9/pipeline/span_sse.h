// Pixel stage: the SSE2 building blocks the four-pixel loops share (16-bit
// channel arithmetic with the scalar loop's rounding, bilinear lerps and
// source-alpha blending). Internal to the pixel stage; SSE2 builds only.
#pragma once

#ifdef __SSE2__
#include <emmintrin.h>

#include <cstdint>

namespace plat::d3d9::span::sse {

// x / 255 rounded, in eight 16-bit lanes (x at most 255 * 255), as Div255:
// with t = x + 128, (t + (t >> 8)) >> 8 equals (t * 257) >> 16 for t < 65536.
inline __m128i Div255x8(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

template <typename T>
inline __m128i Load(const T (&lanes)[16 / sizeof(T)]) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
}

// Four A8R8G8B8 pixels as eight 16-bit channels in each of two registers.
struct Wide {
    __m128i lo, hi;
};

inline Wide Widen(__m128i p) {
    const __m128i zero = _mm_setzero_si128();
    return Wide{_mm_unpacklo_epi8(p, zero), _mm_unpackhi_epi8(p, zero)};
}

inline __m128i Narrow(const Wide& w) { return _mm_packus_epi16(w.lo, w.hi); }

// Per channel Mul255 of four pixels.
inline Wide Modulate(const Wide& x, const Wide& t) {
    return Wide{Div255x8(_mm_mullo_epi16(x.lo, t.lo)), Div255x8(_mm_mullo_epi16(x.hi, t.hi))};
}

// src * srcAlpha + dst * (1 - srcAlpha) per channel, alpha included, as BlendPixel.
inline __m128i BlendSrcAlpha8(__m128i s, __m128i d) {
    const __m128i full = _mm_set1_epi16(255);
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    __m128i sum = _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a)));
    return Div255x8(sum);
}

inline Wide BlendSrcAlpha(const Wide& s, const Wide& d) {
    return Wide{BlendSrcAlpha8(s.lo, d.lo), BlendSrcAlpha8(s.hi, d.hi)};
}

// Source-alpha blending of four shaded pixels over `old`. An opaque source gives itself and a
// transparent one the destination exactly (Div255(x * 255) == x), so such groups skip the blend.
inline __m128i BlendGroup(const Wide& color, __m128i packed, __m128i old) {
    const __m128i alphaBits = _mm_set1_epi32(int32_t(0xFF000000u));
    const __m128i alpha = _mm_and_si128(packed, alphaBits);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaBits)) == 0xFFFF) return packed;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) return old;
    return Narrow(BlendSrcAlpha(color, Widen(old)));
}

// True when all four texels' alphas are 0.
inline bool TransparentTexels(const Wide& t) {
    const __m128i alpha = _mm_and_si128(_mm_or_si128(t.lo, t.hi), _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0));
    return _mm_movemask_epi8(_mm_cmpeq_epi16(alpha, _mm_setzero_si128())) == 0xFFFF;
}

// Stepper::Byte of two pixels' [b, g, r, a] steppers as 16-bit channels:
// value >> 16 is at most 65535, which the signed pack saturates to 32767.
inline __m128i ColorBytes(__m128i first, __m128i second) {
    __m128i packed = _mm_packs_epi32(_mm_srli_epi32(first, 16), _mm_srli_epi32(second, 16));
    return _mm_min_epi16(packed, _mm_set1_epi16(255));
}

// The 0..256 weights of four pixels, each repeated over its four channels: pixels 0, 1 in `lo`,
// pixels 2, 3 in `hi`.
inline Wide ChannelWeights(__m128i w) {
    const __m128i packed = _mm_packs_epi32(w, w);              // w0 w1 w2 w3 w0 w1 w2 w3
    const __m128i pairs = _mm_unpacklo_epi16(packed, packed);  // w0 w0 w1 w1 w2 w2 w3 w3
    return Wide{_mm_unpacklo_epi32(pairs, pairs), _mm_unpackhi_epi32(pairs, pairs)};
}

// LerpTexel per channel: (a * (256 - w) + b * w) >> 8. Every term and the sum stay below 65536.
inline __m128i Lerp8(__m128i a, __m128i b, __m128i w) {
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(256), w);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, inverse), _mm_mullo_epi16(b, w)), 8);
}

inline Wide Lerp(const Wide& a, const Wide& b, const Wide& w) {
    return Wide{Lerp8(a.lo, b.lo, w.lo), Lerp8(a.hi, b.hi, w.hi)};
}

}  // namespace plat::d3d9::span::sse

#endif
