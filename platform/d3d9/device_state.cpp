// Device state: D3D9 defaults, transform slots, state-block masks and the
// internal references bound objects hold.
#include "platform/d3d9/device_state.h"

#include <cstring>

#include "platform/d3d9/com_object.h"

namespace plat::d3d9 {

namespace {

DWORD FloatBits(float f) {
    DWORD d;
    std::memcpy(&d, &f, 4);
    return d;
}

void Bind(IUnknown* object, bool add) {
    if (auto* b = dynamic_cast<Bindable*>(object)) {
        if (add)
            b->AddInternalRef();
        else
            b->ReleaseInternal();
    }
}

template <class F>
void ForEachBinding(DeviceState& s, F f) {
    for (auto* t : s.textures) f(t);
    for (auto& st : s.streams) f(st.buffer);
    f(s.indices);
    f(s.declaration);
}

// Render states by the part of the pipeline they belong to.
constexpr D3DRENDERSTATETYPE kVertexRenderStates[] = {D3DRS_CULLMODE,
                                                      D3DRS_FOGENABLE,
                                                      D3DRS_FOGCOLOR,
                                                      D3DRS_FOGTABLEMODE,
                                                      D3DRS_FOGSTART,
                                                      D3DRS_FOGEND,
                                                      D3DRS_FOGDENSITY,
                                                      D3DRS_RANGEFOGENABLE,
                                                      D3DRS_AMBIENT,
                                                      D3DRS_COLORVERTEX,
                                                      D3DRS_FOGVERTEXMODE,
                                                      D3DRS_CLIPPING,
                                                      D3DRS_LIGHTING,
                                                      D3DRS_NORMALIZENORMALS,
                                                      D3DRS_LOCALVIEWER,
                                                      D3DRS_EMISSIVEMATERIALSOURCE,
                                                      D3DRS_AMBIENTMATERIALSOURCE,
                                                      D3DRS_DIFFUSEMATERIALSOURCE,
                                                      D3DRS_SPECULARMATERIALSOURCE,
                                                      D3DRS_VERTEXBLEND,
                                                      D3DRS_CLIPPLANEENABLE,
                                                      D3DRS_POINTSIZE,
                                                      D3DRS_POINTSIZE_MIN,
                                                      D3DRS_POINTSPRITEENABLE,
                                                      D3DRS_POINTSCALEENABLE,
                                                      D3DRS_POINTSCALE_A,
                                                      D3DRS_POINTSCALE_B,
                                                      D3DRS_POINTSCALE_C,
                                                      D3DRS_MULTISAMPLEANTIALIAS,
                                                      D3DRS_MULTISAMPLEMASK,
                                                      D3DRS_PATCHEDGESTYLE,
                                                      D3DRS_POINTSIZE_MAX,
                                                      D3DRS_INDEXEDVERTEXBLENDENABLE,
                                                      D3DRS_TWEENFACTOR,
                                                      D3DRS_POSITIONDEGREE,
                                                      D3DRS_NORMALDEGREE,
                                                      D3DRS_MINTESSELLATIONLEVEL,
                                                      D3DRS_MAXTESSELLATIONLEVEL,
                                                      D3DRS_ADAPTIVETESS_X,
                                                      D3DRS_ADAPTIVETESS_Y,
                                                      D3DRS_ADAPTIVETESS_Z,
                                                      D3DRS_ADAPTIVETESS_W,
                                                      D3DRS_ENABLEADAPTIVETESSELLATION};

struct RenderStateDefault {
    D3DRENDERSTATETYPE state;
    DWORD value;
};

}  // namespace

int TransformSlot(D3DTRANSFORMSTATETYPE state) {
    DWORD s = DWORD(state);
    if (s == D3DTS_VIEW) return 0;
    if (s == D3DTS_PROJECTION) return 1;
    if (s >= D3DTS_TEXTURE0 && s <= D3DTS_TEXTURE7) return 2 + int(s - D3DTS_TEXTURE0);
    if (s >= 256 && s < 256 + DWORD(kTransformSlots - kWorldSlot)) return kWorldSlot + int(s - 256);
    return -1;
}

bool IsKnownRenderState(DWORD state) {
    static const std::bitset<kRenderStateCount> known = [] {
        std::bitset<kRenderStateCount> b;
        const int list[] = {7,  8,  9,  14, 15, 16, 19, 20, 22, 23, 24, 25, 26, 27, 28, 29,
                            34, 35, 36, 37, 38, 48, 52, 53, 54, 55, 56, 57, 58, 59, 60};
        for (int i : list) b.set(i);
        for (int i = 128; i <= 137; ++i) b.set(i);
        for (int i = 139; i <= 143; ++i) b.set(i);
        for (int i = 145; i <= 148; ++i) b.set(i);
        for (int i : {151, 152}) b.set(i);
        for (int i = 154; i <= 163; ++i) b.set(i);
        for (int i = 165; i <= 168; ++i) b.set(i);
        for (int i = 170; i <= 176; ++i) b.set(i);
        for (int i = 178; i <= 195; ++i) b.set(i);
        for (int i = 198; i <= 209; ++i) b.set(i);
        return b;
    }();
    return state < DWORD(kRenderStateCount) && known.test(state);
}

bool IsKnownStageState(DWORD type) {
    return (type >= 1 && type <= 11) || type == 22 || type == 23 || type == 24 || type == 26 || type == 27 ||
           type == 28 || type == 32;
}

void ResetToDefaults(DeviceState& s, bool depthBuffer, UINT width, UINT height) {
    for (auto& m : s.transforms) {
        std::memset(&m, 0, sizeof m);
        m._11 = m._22 = m._33 = m._44 = 1.0f;
    }
    s.viewport = D3DVIEWPORT9{0, 0, width, height, 0.0f, 1.0f};
    s.material = D3DMATERIAL9{};
    s.lights.clear();
    std::memset(s.renderStates, 0, sizeof s.renderStates);
    const RenderStateDefault defaults[] = {
        {D3DRS_ZENABLE, depthBuffer ? DWORD(D3DZB_TRUE) : DWORD(D3DZB_FALSE)},
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_LASTPIXEL, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_FOGEND, FloatBits(1.0f)},
        {D3DRS_FOGDENSITY, FloatBits(1.0f)},
        {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_STENCILMASK, 0xFFFFFFFF},
        {D3DRS_STENCILWRITEMASK, 0xFFFFFFFF},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF},
        {D3DRS_CLIPPING, TRUE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_LOCALVIEWER, TRUE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_POINTSIZE, FloatBits(1.0f)},
        {D3DRS_POINTSIZE_MIN, FloatBits(1.0f)},
        {D3DRS_POINTSCALE_A, FloatBits(1.0f)},
        {D3DRS_MULTISAMPLEANTIALIAS, TRUE},
        {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFF},
        {D3DRS_POINTSIZE_MAX, FloatBits(64.0f)},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},
        {D3DRS_POSITIONDEGREE, D3DDEGREE_CUBIC},
        {D3DRS_NORMALDEGREE, D3DDEGREE_LINEAR},
        {D3DRS_MINTESSELLATIONLEVEL, FloatBits(1.0f)},
        {D3DRS_MAXTESSELLATIONLEVEL, FloatBits(1.0f)},
        {D3DRS_ADAPTIVETESS_Z, FloatBits(1.0f)},
        {D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_CCW_STENCILZFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_CCW_STENCILPASS, D3DSTENCILOP_KEEP},
        {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_COLORWRITEENABLE1, 0xF},
        {D3DRS_COLORWRITEENABLE2, 0xF},
        {D3DRS_COLORWRITEENABLE3, 0xF},
        {D3DRS_BLENDFACTOR, 0xFFFFFFFF},
        {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
        {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
        {D3DRS_BLENDOPALPHA, D3DBLENDOP_ADD},
    };
    for (const auto& d : defaults) s.renderStates[d.state] = d.value;

    for (int stage = 0; stage < kTextureStages; ++stage) {
        DWORD* t = s.stageStates[stage];
        std::memset(t, 0, sizeof(DWORD) * kStageStateCount);
        t[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        t[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        t[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        t[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        t[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        t[D3DTSS_TEXCOORDINDEX] = DWORD(stage);
        t[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        t[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        t[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    for (int i = 0; i < kSamplers; ++i) {
        DWORD* p = s.samplerStates[i];
        std::memset(p, 0, sizeof(DWORD) * kSamplerStateCount);
        p[D3DSAMP_ADDRESSU] = p[D3DSAMP_ADDRESSV] = p[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        p[D3DSAMP_MAGFILTER] = p[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        p[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        p[D3DSAMP_MAXANISOTROPY] = 1;
    }
    for (auto& t : s.textures) t = nullptr;
    s.fvf = 0;
    s.declaration = nullptr;
    for (auto& st : s.streams) st = StreamBinding{};
    s.indices = nullptr;
    s.scissor = RECT{0, 0, LONG(width), LONG(height)};
}

void AddBindingRefs(DeviceState& state) {
    ForEachBinding(state, [](IUnknown* o) { Bind(o, true); });
}

void ReleaseBindingRefs(DeviceState& state) {
    ForEachBinding(state, [](IUnknown* o) { Bind(o, false); });
    for (auto& t : state.textures) t = nullptr;
    for (auto& st : state.streams) st = StreamBinding{};
    state.indices = nullptr;
    state.declaration = nullptr;
}

StateMask StateMask::ForType(D3DSTATEBLOCKTYPE type) {
    StateMask m;
    bool all = type == D3DSBT_ALL;
    std::bitset<kRenderStateCount> vertexStates;
    for (auto rs : kVertexRenderStates) vertexStates.set(rs);
    for (int i = 0; i < kRenderStateCount; ++i) {
        if (!IsKnownRenderState(DWORD(i))) continue;
        bool isVertex = vertexStates.test(size_t(i));
        if (all || (type == D3DSBT_VERTEXSTATE) == isVertex || i == D3DRS_FOGCOLOR ||
            i == D3DRS_FOGTABLEMODE || i == D3DRS_FOGSTART || i == D3DRS_FOGEND || i == D3DRS_FOGDENSITY)
            m.renderStates.set(size_t(i));
    }
    for (int stage = 0; stage < kTextureStages; ++stage)
        for (int t = 0; t < kStageStateCount; ++t) {
            if (!IsKnownStageState(DWORD(t))) continue;
            bool isVertex = t == D3DTSS_TEXCOORDINDEX || t == D3DTSS_TEXTURETRANSFORMFLAGS;
            if (all || (type == D3DSBT_VERTEXSTATE) == isVertex) m.stageStates[stage].set(size_t(t));
        }
    for (int i = 0; i < kSamplers; ++i)
        for (int t = 1; t < kSamplerStateCount; ++t)
            if (all || (type == D3DSBT_VERTEXSTATE) == (t == D3DSAMP_DMAPOFFSET))
                m.samplerStates[i].set(size_t(t));
    if (all) {
        m.allStates = true;
        m.transforms.set();
        m.viewport = m.material = true;
        m.textures.set();
        m.streams.set();
        m.indices = m.scissor = true;
    }
    if (all || type == D3DSBT_VERTEXSTATE) {
        m.allLights = true;
        m.fvf = m.declaration = true;
    }
    return m;
}

}  // namespace plat::d3d9
