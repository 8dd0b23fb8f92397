// Pixel stage: the choice of span loop per draw, and the general combiner and
// blender the loops fall back on.
#include "platform/d3d9/pipeline/pixel_processing.h"

#include <algorithm>
#include <cmath>

#include "platform/d3d9/pipeline/span_shading.h"
#include "platform/d3d9/pipeline/span_vector.h"

namespace plat::d3d9 {

namespace {

using span::Channel;

template <int kMode, bool kDepth, bool kBlend>
SpanFunctions Pick() {
    return SpanFunctions{&span::PrepareScalar<false, kMode, kDepth, kBlend>,
                         &span::PrepareScalar<true, kMode, kDepth, kBlend>};
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
        case D3DTA_DIFFUSE:
            v = in.diffuse;
            break;
        case D3DTA_CURRENT:
            v = in.current;
            break;
        case D3DTA_TEXTURE:
            v = in.texture;
            break;
        case D3DTA_TFACTOR:
        case D3DTA_CONSTANT:
            v = in.factor;
            break;
        case D3DTA_SPECULAR:
            v = in.specular;
            break;
        case D3DTA_TEMP:
            v = in.temp;
            break;
        default:
            v = in.current;
            break;
    }
    if (arg & D3DTA_COMPLEMENT)
        for (int& x : v.c) x = 255 - x;
    if (arg & D3DTA_ALPHAREPLICATE) v.c[0] = v.c[1] = v.c[2] = v.c[3];
    return v;
}

int Operate(DWORD op, int a1, int a2, int a0, const StageInputs& in, int current) {
    switch (op) {
        case D3DTOP_SELECTARG1:
            return a1;
        case D3DTOP_SELECTARG2:
            return a2;
        case D3DTOP_MODULATE:
            return int(Mul255(a1, a2));
        case D3DTOP_MODULATE2X:
            return std::min(255, int(Mul255(a1, a2)) * 2);
        case D3DTOP_MODULATE4X:
            return std::min(255, int(Mul255(a1, a2)) * 4);
        case D3DTOP_ADD:
            return std::min(255, a1 + a2);
        case D3DTOP_ADDSIGNED:
            return std::clamp(a1 + a2 - 128, 0, 255);
        case D3DTOP_ADDSIGNED2X:
            return std::clamp((a1 + a2 - 128) * 2, 0, 255);
        case D3DTOP_SUBTRACT:
            return std::max(0, a1 - a2);
        case D3DTOP_ADDSMOOTH:
            return std::min(255, a1 + a2 - int(Mul255(a1, a2)));
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
        case D3DTOP_MULTIPLYADD:
            return std::min(255, a0 + int(Mul255(a1, a2)));
        case D3DTOP_LERP:
            return int(Mul255(a0, a1) + Mul255(255 - a0, a2));
        default:
            return current;  // unsupported operations pass the current value (ValidateDevice reports them)
    }
}

// The depth, alpha and stencil tests share one comparison; unknown functions pass.
template <typename T>
bool Compare(DWORD func, T value, T reference) {
    switch (func) {
        case D3DCMP_NEVER:
            return false;
        case D3DCMP_LESS:
            return value < reference;
        case D3DCMP_EQUAL:
            return value == reference;
        case D3DCMP_LESSEQUAL:
            return value <= reference;
        case D3DCMP_GREATER:
            return value > reference;
        case D3DCMP_NOTEQUAL:
            return value != reference;
        case D3DCMP_GREATEREQUAL:
            return value >= reference;
        default:
            return true;
    }
}

}  // namespace

bool CompareFunc(DWORD func, float value, float reference) { return Compare(func, value, reference); }

bool CompareFunc(DWORD func, uint32_t value, uint32_t reference) { return Compare(func, value, reference); }

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
        Rgba c1 = Argument(st.colorArg1, in), c2 = Argument(st.colorArg2, in),
             c0 = Argument(st.colorArg0, in);
        Rgba out = in.current;
        for (int i = 0; i < 3; ++i)
            out.c[i] = Operate(st.colorOp, c1.c[i], c2.c[i], c0.c[i], in, in.current.c[i]);
        if (st.alphaOp != D3DTOP_DISABLE) {
            Rgba a1 = Argument(st.alphaArg1, in), a2 = Argument(st.alphaArg2, in),
                 a0 = Argument(st.alphaArg0, in);
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
        case D3DBLEND_ZERO:
            return 0;
        case D3DBLEND_ONE:
            return 255;
        case D3DBLEND_SRCCOLOR:
            return src.c[channel];
        case D3DBLEND_INVSRCCOLOR:
            return 255 - src.c[channel];
        case D3DBLEND_SRCALPHA:
            return src.c[3];
        case D3DBLEND_INVSRCALPHA:
            return 255 - src.c[3];
        case D3DBLEND_DESTALPHA:
            return dst.c[3];
        case D3DBLEND_INVDESTALPHA:
            return 255 - dst.c[3];
        case D3DBLEND_DESTCOLOR:
            return dst.c[channel];
        case D3DBLEND_INVDESTCOLOR:
            return 255 - dst.c[channel];
        case D3DBLEND_SRCALPHASAT:
            return channel == 3 ? 255 : std::min(src.c[3], 255 - dst.c[3]);
        case D3DBLEND_BLENDFACTOR:
            return constant.c[channel];
        case D3DBLEND_INVBLENDFACTOR:
            return 255 - constant.c[channel];
        default:
            return 255;
    }
}

inline int BlendOp(DWORD op, int s, int d, int sf, int df) {
    int a = int(Mul255(s, sf)), b = int(Mul255(d, df));
    switch (op) {
        case D3DBLENDOP_SUBTRACT:
            return std::max(0, a - b);
        case D3DBLENDOP_REVSUBTRACT:
            return std::max(0, b - a);
        case D3DBLENDOP_MIN:
            return std::min(s, d);
        case D3DBLENDOP_MAX:
            return std::max(s, d);
        default:
            return std::min(255, a + b);
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

namespace {

bool DepthUsed(const PixelConfig& c) { return c.depth.depth != nullptr && (c.depthTest || c.depthWrite); }
bool TextureUsed(const PixelConfig& c) {
    return c.samplers[0].levels != nullptr && (c.colorUsesTexture || c.alphaUsesTexture);
}

}  // namespace

SpanFunctions ChooseScalarSpanFunctions(const PixelConfig& c) {
    using namespace span;
    const bool depth = DepthUsed(c);
    if (!c.simpleCombiner) return PickFlags<kGeneral>(depth, c.blend);
    const bool usesTex = TextureUsed(c);
    if (!usesTex && c.colorUsesDiffuse && c.alphaUsesDiffuse) return PickFlags<kDiffuse>(depth, c.blend);
    if (usesTex && c.colorUsesTexture && c.colorUsesDiffuse && c.alphaUsesTexture)
        return c.alphaUsesDiffuse ? PickFlags<kModulate>(depth, c.blend)
                                  : PickFlags<kModulateTexA>(depth, c.blend);
    return PickFlags<kSimpleFlags>(depth, c.blend);
}

SpanFunctions ChooseSpanFunctions(const PixelConfig& c) {
    using namespace span;
    SpanFunctions vector;
    if (!c.simpleCombiner) return ChooseScalarSpanFunctions(c);
    const bool depth = DepthUsed(c), usesTex = TextureUsed(c);
    if (!usesTex && c.colorUsesDiffuse && c.alphaUsesDiffuse && ChooseVectorSpans(c, kDiffuse, depth, vector))
        return vector;
    if (usesTex && c.colorUsesTexture && c.colorUsesDiffuse && c.alphaUsesTexture &&
        ChooseVectorSpans(c, c.alphaUsesDiffuse ? kModulate : kModulateTexA, depth, vector))
        return vector;
    return ChooseScalarSpanFunctions(c);
}

}  // namespace plat::d3d9
