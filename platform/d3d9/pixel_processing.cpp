// Pixel stage: the span loops and the general combiner and blender they fall back on.
#include "platform/d3d9/pixel_processing.h"

#include <algorithm>
#include <cmath>

#include "platform/d3d9/texture_sampling.h"

namespace plat::d3d9 {

namespace {

inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

inline int ToByte(float f) {
    int i = static_cast<int>(f + 0.5f);
    return i < 0 ? 0 : (i > 255 ? 255 : i);
}

inline uint32_t PackColor(float r, float g, float b, float a) {
    return (uint32_t(ToByte(a)) << 24) | (uint32_t(ToByte(r)) << 16) | (uint32_t(ToByte(g)) << 8) | uint32_t(ToByte(b));
}

inline uint32_t MulColor(uint32_t x, uint32_t y) {
    return (Mul255(x >> 24, y >> 24) << 24) | (Mul255(Channel(x, 16), Channel(y, 16)) << 16) |
           (Mul255(Channel(x, 8), Channel(y, 8)) << 8) | Mul255(x & 0xFF, y & 0xFF);
}

inline uint32_t AddSpecular(uint32_t c, uint32_t s) {
    uint32_t r = std::min<uint32_t>(255, Channel(c, 16) + Channel(s, 16));
    uint32_t g = std::min<uint32_t>(255, Channel(c, 8) + Channel(s, 8));
    uint32_t b = std::min<uint32_t>(255, (c & 0xFF) + (s & 0xFF));
    return (c & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

// The simple combiner: (texture or 1) x (diffuse or 1) for colour and for alpha.
inline uint32_t CombineSimple(const PixelConfig& c, uint32_t diffuse, uint32_t texel) {
    uint32_t colorA = c.colorUsesTexture ? texel : 0xFFFFFFFFu;
    uint32_t colorB = c.colorUsesDiffuse ? diffuse : 0xFFFFFFFFu;
    uint32_t alphaA = c.alphaUsesTexture ? texel : 0xFFFFFFFFu;
    uint32_t alphaB = c.alphaUsesDiffuse ? diffuse : 0xFFFFFFFFu;
    uint32_t rgb = MulColor(colorA, colorB) & 0x00FFFFFFu;
    return rgb | (Mul255(alphaA >> 24, alphaB >> 24) << 24);
}

inline bool DepthPasses(DWORD func, float z, float stored) {
    if (func == D3DCMP_LESSEQUAL) return z <= stored;
    if (func == D3DCMP_LESS) return z < stored;
    return CompareFunc(func, z, stored);
}

// Fixed-point (16.16) stepping of a colour channel along a span, rounded.
// Pixel centres lie inside the primitive, so the values stay within the
// vertex colours (0..255) up to float error; the start is clamped and the
// read-out saturates at 255 to keep that error from reaching the next channel.
struct Stepper {
    int32_t value, step;
    Stepper(float start, float delta)
        : value(static_cast<int32_t>(std::clamp(start, 0.0f, 255.0f) * 65536.0f) + 32768),
          step(static_cast<int32_t>(delta * 65536.0f)) {}
    uint32_t Byte() const { return std::min<uint32_t>(uint32_t(value) >> 16, 255u); }
    void Next() { value += step; }
};

// Texel fetch for one span: point sampling with wrap on power-of-two sizes
// is done inline; everything else goes through the general sampler.
struct SpanTexture {
    const uint32_t* texels = nullptr;
    int pitch = 0;
    float width = 0, height = 0;
    int maskU = 0, maskV = 0;
    bool fast = false;

    SpanTexture(const TriangleSampling& ts, const Sampler& s) {
        if (!ts.level) return;
        const ImageLevel& img = *ts.level;
        texels = img.texels;
        pitch = img.pitch;
        width = static_cast<float>(img.width);
        height = static_cast<float>(img.height);
        maskU = img.width - 1;
        maskV = img.height - 1;
        fast = !ts.linear && s.addressU == D3DTADDRESS_WRAP && s.addressV == D3DTADDRESS_WRAP &&
               (img.width & maskU) == 0 && (img.height & maskV) == 0;
    }
    uint32_t Fetch(const TriangleSampling& ts, const Sampler& s, float u, float v) const {
        if (fast) return texels[(FloorToInt(v * height) & maskV) * pitch + (FloorToInt(u * width) & maskU)];
        return Sample(ts, s, u, v);
    }
};

// How a span combines texture and diffuse colour, fixed per draw.
enum CombineMode {
    kGeneral,       // the general combiner over the configured stages
    kDiffuse,       // colour and alpha are the diffuse colour
    kModulate,      // texture x diffuse, for colour and alpha
    kModulateTexA,  // texture x diffuse for colour, texture alpha
    kSimpleFlags,   // (texture or 1) x (diffuse or 1) from the configuration's flags
};

template <bool kPersp, int kMode, bool kDepth, bool kBlend>
void ShadeSpan(const PixelConfig& c, const Gradients& g, int y, int x0, int x1) {
    // Everything the loop reads is copied into locals first: the colour stores
    // could otherwise alias the configuration and force reloads per pixel.
    const bool depthTest = c.depthTest, depthWrite = c.depthWrite;
    const DWORD depthFunc = c.depthFunc;
    const bool alphaTest = c.alphaTest;
    const DWORD alphaFunc = c.alphaFunc;
    const uint32_t alphaRef = c.alphaRef, writeMask = c.writeMask, keep = ~c.writeMask;
    const bool specularAdd = c.specularAdd;
    const bool colorTex = c.colorUsesTexture, colorDiff = c.colorUsesDiffuse;
    const bool alphaTex = c.alphaUsesTexture, alphaDiff = c.alphaUsesDiffuse;
    const bool stepSpecular = specularAdd || kMode == kGeneral;

    const float fx = static_cast<float>(x0), fy = static_cast<float>(y);
    float z = g.At(kZ, fx, fy);
    const float dz = g.ddx[kZ];
    float q = g.At(kRhw, fx, fy);
    const float dq = g.ddx[kRhw];
    Stepper r(g.At(kR, fx, fy), g.ddx[kR]), gr(g.At(kG, fx, fy), g.ddx[kG]);
    Stepper b(g.At(kB, fx, fy), g.ddx[kB]), a(g.At(kA, fx, fy), g.ddx[kA]);
    float u0 = g.At(kU0, fx, fy), v0 = g.At(kV0, fx, fy);
    const float du0 = g.ddx[kU0], dv0 = g.ddx[kV0];
    float u1 = g.At(kU1, fx, fy), v1 = g.At(kV1, fx, fy);
    const float du1 = g.ddx[kU1], dv1 = g.ddx[kV1];
    Stepper sr(g.At(kSR, fx, fy), g.ddx[kSR]), sg(g.At(kSG, fx, fy), g.ddx[kSG]), sb(g.At(kSB, fx, fy), g.ddx[kSB]);
    const SpanTexture tex0(g.sampling[0], c.samplers[0]);
    const bool hasTex0 = tex0.texels != nullptr;

    uint32_t* dst = c.color.pixels + static_cast<ptrdiff_t>(y) * c.color.pitch + x0;
    float* zp = kDepth ? c.depth.depth + static_cast<ptrdiff_t>(y) * c.depth.pitch + x0 : nullptr;

    // Point-sampled wrapping textures step their texel coordinates in 16.16
    // fixed point over segments of kSegment pixels; the perspective division
    // happens at the segment ends only.
    constexpr bool kTexModes = kMode == kModulate || kMode == kModulateTexA;
    constexpr int kSegment = 16;
    const bool segmented = kTexModes && tex0.fast;
    int32_t tu = 0, tv = 0, dtu = 0, dtv = 0;
    int segmentLeft = 0;

    for (int x = x0; x < x1; ++x) {
        if (segmented && segmentLeft == 0) {
            segmentLeft = std::min(kSegment, x1 - x);
            float qa = kPersp ? q : 1.0f, qb = kPersp ? q + dq * static_cast<float>(segmentLeft) : 1.0f;
            float ua = u0 / qa * tex0.width, va = v0 / qa * tex0.height;
            float ub = (u0 + du0 * static_cast<float>(segmentLeft)) / qb * tex0.width;
            float vb = (v0 + dv0 * static_cast<float>(segmentLeft)) / qb * tex0.height;
            // Keep the fixed-point values in range: wrap whole periods off the start
            // (coordinates beyond any sensible range are held at 0).
            if (!(std::fabs(ua) < 1e6f && std::fabs(va) < 1e6f)) ua = va = 0.0f;
            float pu = static_cast<float>(FloorToInt(ua / tex0.width)) * tex0.width;
            float pv = static_cast<float>(FloorToInt(va / tex0.height)) * tex0.height;
            ua -= pu, ub -= pu, va -= pv, vb -= pv;
            if (std::fabs(ub) > 16384.0f || std::fabs(vb) > 16384.0f || !(std::fabs(ua) <= 16384.0f) ||
                !(std::fabs(va) <= 16384.0f)) {
                ub = ua, vb = va;  // degenerate steps: hold the segment start
            }
            tu = static_cast<int32_t>(ua * 65536.0f);
            tv = static_cast<int32_t>(va * 65536.0f);
            dtu = static_cast<int32_t>((ub - ua) * 65536.0f / static_cast<float>(segmentLeft));
            dtv = static_cast<int32_t>((vb - va) * 65536.0f / static_cast<float>(segmentLeft));
        }
        bool visible = true;
        if constexpr (kDepth) visible = !depthTest || DepthPasses(depthFunc, z, *zp);
        if (visible) {
            uint32_t color;
            const float w = (kPersp && !kTexModes) ? 1.0f / q : 1.0f;
            uint32_t dr = r.Byte(), dg = gr.Byte(), db = b.Byte(),
                     da = a.Byte();
            if constexpr (kMode == kDiffuse) {
                color = (da << 24) | (dr << 16) | (dg << 8) | db;
            } else if constexpr (kTexModes) {
                uint32_t t;
                if (segmented) {
                    t = tex0.texels[((tv >> 16) & tex0.maskV) * tex0.pitch + ((tu >> 16) & tex0.maskU)];
                } else {
                    const float wp = kPersp ? 1.0f / q : 1.0f;
                    t = tex0.Fetch(g.sampling[0], c.samplers[0], u0 * wp, v0 * wp);
                }
                uint32_t alpha = kMode == kModulate ? Mul255(da, t >> 24) : t >> 24;
                color = (alpha << 24) | (Mul255(dr, Channel(t, 16)) << 16) | (Mul255(dg, Channel(t, 8)) << 8) |
                        Mul255(db, t & 0xFF);
            } else if constexpr (kMode == kSimpleFlags) {
                uint32_t t = (hasTex0 && (colorTex || alphaTex))
                                 ? tex0.Fetch(g.sampling[0], c.samplers[0], u0 * w, v0 * w)
                                 : 0xFFFFFFFFu;
                if (!colorDiff) dr = dg = db = 255;
                if (!alphaDiff) da = 255;
                if (colorTex) dr = Mul255(dr, Channel(t, 16)), dg = Mul255(dg, Channel(t, 8)), db = Mul255(db, t & 0xFF);
                if (alphaTex) da = Mul255(da, t >> 24);
                color = (da << 24) | (dr << 16) | (dg << 8) | db;
            } else {
                uint32_t texels[kPipelineTexStages] = {0xFFFFFFFFu, 0xFFFFFFFFu};
                if (hasTex0) texels[0] = tex0.Fetch(g.sampling[0], c.samplers[0], u0 * w, v0 * w);
                if (g.sampling[1].level) texels[1] = Sample(g.sampling[1], c.samplers[1], u1 * w, v1 * w);
                uint32_t spec = (sr.Byte() << 16) | (sg.Byte() << 8) | sb.Byte();
                color = CombineStages(c, (da << 24) | (dr << 16) | (dg << 8) | db, spec, texels);
            }
            if (specularAdd)
                color = AddSpecular(color, (sr.Byte() << 16) | (sg.Byte() << 8) | sb.Byte());
            if (!alphaTest || CompareFunc(alphaFunc, color >> 24, alphaRef)) {
                if constexpr (kBlend) color = BlendPixel(c, color, *dst);
                *dst = (color & writeMask) | (*dst & keep);
                if constexpr (kDepth) {
                    if (depthWrite) *zp = z;
                }
            }
        }
        if (segmented) tu += dtu, tv += dtv, --segmentLeft;
        ++dst;
        if constexpr (kDepth) ++zp;
        z += dz;
        if constexpr (kPersp) q += dq;
        r.Next(), gr.Next(), b.Next(), a.Next();
        if constexpr (kMode != kDiffuse) u0 += du0, v0 += dv0;
        if constexpr (kMode == kGeneral) u1 += du1, v1 += dv1;
        if (stepSpecular) sr.Next(), sg.Next(), sb.Next();
    }
}

template <int kMode, bool kDepth, bool kBlend>
SpanFunctions Pick() {
    return SpanFunctions{&ShadeSpan<false, kMode, kDepth, kBlend>, &ShadeSpan<true, kMode, kDepth, kBlend>};
}

template <int kMode>
SpanFunctions PickFlags(bool depth, bool blend) {
    if (depth) return blend ? Pick<kMode, true, true>() : Pick<kMode, true, false>();
    return blend ? Pick<kMode, false, true>() : Pick<kMode, false, false>();
}

// ---- General combiner -------------------------------------------------------

struct Rgba {
    int c[4];  // r, g, b, a in 0..255
};

inline Rgba Unpack(uint32_t p) {
    return Rgba{{int(Channel(p, 16)), int(Channel(p, 8)), int(p & 0xFF), int(p >> 24)}};
}

inline uint32_t Pack(const Rgba& v) {
    auto clamp = [](int x) { return uint32_t(x < 0 ? 0 : (x > 255 ? 255 : x)); };
    return (clamp(v.c[3]) << 24) | (clamp(v.c[0]) << 16) | (clamp(v.c[1]) << 8) | clamp(v.c[2]);
}

struct StageInputs {
    Rgba diffuse, specular, current, texture, factor, temp;
};

Rgba Argument(DWORD arg, const StageInputs& in) {
    Rgba v;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: v = in.diffuse; break;
    case D3DTA_CURRENT: v = in.current; break;
    case D3DTA_TEXTURE: v = in.texture; break;
    case D3DTA_TFACTOR:
    case D3DTA_CONSTANT: v = in.factor; break;
    case D3DTA_SPECULAR: v = in.specular; break;
    case D3DTA_TEMP: v = in.temp; break;
    default: v = in.current; break;
    }
    if (arg & D3DTA_COMPLEMENT)
        for (int& x : v.c) x = 255 - x;
    if (arg & D3DTA_ALPHAREPLICATE) v.c[0] = v.c[1] = v.c[2] = v.c[3];
    return v;
}

int Operate(DWORD op, int a1, int a2, int a0, const StageInputs& in, int current) {
    switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return int(Mul255(a1, a2));
    case D3DTOP_MODULATE2X: return std::min(255, int(Mul255(a1, a2)) * 2);
    case D3DTOP_MODULATE4X: return std::min(255, int(Mul255(a1, a2)) * 4);
    case D3DTOP_ADD: return std::min(255, a1 + a2);
    case D3DTOP_ADDSIGNED: return std::clamp(a1 + a2 - 128, 0, 255);
    case D3DTOP_ADDSIGNED2X: return std::clamp((a1 + a2 - 128) * 2, 0, 255);
    case D3DTOP_SUBTRACT: return std::max(0, a1 - a2);
    case D3DTOP_ADDSMOOTH: return std::min(255, a1 + a2 - int(Mul255(a1, a2)));
    case D3DTOP_BLENDDIFFUSEALPHA: {
        int f = in.diffuse.c[3];
        return int(Mul255(a1, f) + Mul255(a2, 255 - f));
    }
    case D3DTOP_BLENDTEXTUREALPHA: {
        int f = in.texture.c[3];
        return int(Mul255(a1, f) + Mul255(a2, 255 - f));
    }
    case D3DTOP_BLENDFACTORALPHA: {
        int f = in.factor.c[3];
        return int(Mul255(a1, f) + Mul255(a2, 255 - f));
    }
    case D3DTOP_BLENDCURRENTALPHA: {
        int f = in.current.c[3];
        return int(Mul255(a1, f) + Mul255(a2, 255 - f));
    }
    case D3DTOP_MULTIPLYADD: return std::min(255, a0 + int(Mul255(a1, a2)));
    case D3DTOP_LERP: return int(Mul255(a0, a1) + Mul255(255 - a0, a2));
    default: return current;  // unsupported operations pass the current value (ValidateDevice reports them)
    }
}

}  // namespace

bool CompareFunc(DWORD func, float value, float reference) {
    switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return value < reference;
    case D3DCMP_EQUAL: return value == reference;
    case D3DCMP_LESSEQUAL: return value <= reference;
    case D3DCMP_GREATER: return value > reference;
    case D3DCMP_NOTEQUAL: return value != reference;
    case D3DCMP_GREATEREQUAL: return value >= reference;
    default: return true;
    }
}

bool CompareFunc(DWORD func, uint32_t value, uint32_t reference) {
    switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return value < reference;
    case D3DCMP_EQUAL: return value == reference;
    case D3DCMP_LESSEQUAL: return value <= reference;
    case D3DCMP_GREATER: return value > reference;
    case D3DCMP_NOTEQUAL: return value != reference;
    case D3DCMP_GREATEREQUAL: return value >= reference;
    default: return true;
    }
}

uint32_t CombineStages(const PixelConfig& config, uint32_t diffuse, uint32_t specular,
                       const uint32_t texel[kPipelineTexStages]) {
    StageInputs in;
    in.diffuse = Unpack(diffuse);
    in.specular = Unpack(specular);
    in.current = in.diffuse;
    in.factor = Unpack(config.textureFactor);
    in.temp = Rgba{{0, 0, 0, 0}};
    for (int s = 0; s < config.stageCount; ++s) {
        const StageConfig& st = config.stages[s];
        in.texture = Unpack(texel[st.sampler >= 0 ? st.sampler : 0]);
        if (st.sampler < 0) in.texture = Rgba{{255, 255, 255, 255}};
        Rgba c1 = Argument(st.colorArg1, in), c2 = Argument(st.colorArg2, in), c0 = Argument(st.colorArg0, in);
        Rgba out = in.current;
        for (int i = 0; i < 3; ++i) out.c[i] = Operate(st.colorOp, c1.c[i], c2.c[i], c0.c[i], in, in.current.c[i]);
        if (st.alphaOp != D3DTOP_DISABLE) {
            Rgba a1 = Argument(st.alphaArg1, in), a2 = Argument(st.alphaArg2, in), a0 = Argument(st.alphaArg0, in);
            out.c[3] = Operate(st.alphaOp, a1.c[3], a2.c[3], a0.c[3], in, in.current.c[3]);
        }
        if ((st.resultArg & D3DTA_SELECTMASK) == D3DTA_TEMP)
            in.temp = out;
        else
            in.current = out;
    }
    return Pack(in.current);
}

namespace {

inline int BlendFactor(DWORD factor, int channel, const Rgba& src, const Rgba& dst, const Rgba& constant) {
    switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return src.c[channel];
    case D3DBLEND_INVSRCCOLOR: return 255 - src.c[channel];
    case D3DBLEND_SRCALPHA: return src.c[3];
    case D3DBLEND_INVSRCALPHA: return 255 - src.c[3];
    case D3DBLEND_DESTALPHA: return dst.c[3];
    case D3DBLEND_INVDESTALPHA: return 255 - dst.c[3];
    case D3DBLEND_DESTCOLOR: return dst.c[channel];
    case D3DBLEND_INVDESTCOLOR: return 255 - dst.c[channel];
    case D3DBLEND_SRCALPHASAT: return channel == 3 ? 255 : std::min(src.c[3], 255 - dst.c[3]);
    case D3DBLEND_BLENDFACTOR: return constant.c[channel];
    case D3DBLEND_INVBLENDFACTOR: return 255 - constant.c[channel];
    default: return 255;
    }
}

inline int BlendOp(DWORD op, int s, int d, int sf, int df) {
    int a = int(Mul255(s, sf)), b = int(Mul255(d, df));
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return std::max(0, a - b);
    case D3DBLENDOP_REVSUBTRACT: return std::max(0, b - a);
    case D3DBLENDOP_MIN: return std::min(s, d);
    case D3DBLENDOP_MAX: return std::max(s, d);
    default: return std::min(255, a + b);
    }
}

}  // namespace

uint32_t BlendGeneral(const PixelConfig& c, uint32_t src, uint32_t dst) {
    Rgba s = Unpack(src), d = Unpack(dst), k = Unpack(c.blendFactor), out;
    for (int i = 0; i < 3; ++i)
        out.c[i] = BlendOp(c.blendOp, s.c[i], d.c[i], BlendFactor(c.srcBlend, i, s, d, k),
                           BlendFactor(c.destBlend, i, s, d, k));
    DWORD sa = c.separateAlpha ? c.srcBlendAlpha : c.srcBlend;
    DWORD da = c.separateAlpha ? c.destBlendAlpha : c.destBlend;
    DWORD oa = c.separateAlpha ? c.blendOpAlpha : c.blendOp;
    out.c[3] = BlendOp(oa, s.c[3], d.c[3], BlendFactor(sa, 3, s, d, k), BlendFactor(da, 3, s, d, k));
    return Pack(out);
}

SpanFunctions ChooseSpanFunctions(const PixelConfig& c) {
    bool tex = c.samplers[0].levels != nullptr;
    bool depth = c.depth.depth != nullptr && (c.depthTest || c.depthWrite);
    bool usesTex = tex && (c.colorUsesTexture || c.alphaUsesTexture);
    if (!c.simpleCombiner) return PickFlags<kGeneral>(depth, c.blend);
    if (!usesTex && c.colorUsesDiffuse && c.alphaUsesDiffuse) return PickFlags<kDiffuse>(depth, c.blend);
    if (usesTex && c.colorUsesTexture && c.colorUsesDiffuse && c.alphaUsesTexture)
        return c.alphaUsesDiffuse ? PickFlags<kModulate>(depth, c.blend) : PickFlags<kModulateTexA>(depth, c.blend);
    return PickFlags<kSimpleFlags>(depth, c.blend);
}

}  // namespace plat::d3d9
