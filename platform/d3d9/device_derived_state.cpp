// The pipeline configuration derived from the device state: vertex
// processing (transforms, lights, material) and pixel processing (stages,
// blending, tests), computed once per state change, and the sampled texture
// levels gathered for each draw.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d9/buffers.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/state_block.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_declaration.h"

namespace plat::d3d9 {

namespace {

void ToFloats(D3DCOLOR c, float out[4]) {
    out[0] = ((c >> 16) & 0xFF) / 255.0f;
    out[1] = ((c >> 8) & 0xFF) / 255.0f;
    out[2] = (c & 0xFF) / 255.0f;
    out[3] = (c >> 24) / 255.0f;
}

void ColorFloats(const D3DCOLORVALUE& c, float out[4]) {
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

void TransformVector(const float m[4][4], const D3DVECTOR& v, bool point, float out[3]) {
    float w = point ? 1.0f : 0.0f;
    for (int j = 0; j < 3; ++j) out[j] = v.x * m[0][j] + v.y * m[1][j] + v.z * m[2][j] + w * m[3][j];
}

void Normalize(float v[3]) {
    float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (len > 0.0f)
        for (int i = 0; i < 3; ++i) v[i] /= len;
}

bool IsPlainArg(DWORD arg) {
    DWORD sel = arg & D3DTA_SELECTMASK;
    return (arg & ~D3DTA_SELECTMASK) == 0 &&
           (sel == D3DTA_TEXTURE || sel == D3DTA_DIFFUSE || sel == D3DTA_CURRENT);
}

// Which of texture and diffuse a simple operation reads; false when the operation is not simple.
bool SimpleOperands(DWORD op, DWORD arg1, DWORD arg2, bool& texture, bool& diffuse) {
    texture = diffuse = false;
    auto take = [&](DWORD arg) {
        if ((arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE)
            texture = true;
        else
            diffuse = true;  // DIFFUSE, or CURRENT which is the diffuse colour at stage 0
    };
    switch (op) {
        case D3DTOP_SELECTARG1:
            if (!IsPlainArg(arg1)) return false;
            take(arg1);
            return true;
        case D3DTOP_SELECTARG2:
            if (!IsPlainArg(arg2)) return false;
            take(arg2);
            return true;
        case D3DTOP_MODULATE:
            if (!IsPlainArg(arg1) || !IsPlainArg(arg2)) return false;
            take(arg1);
            take(arg2);
            return true;
        default:
            return false;
    }
}

bool StageReadsTexture(const StageConfig& st) {
    auto reads = [](DWORD op, DWORD a0, DWORD a1, DWORD a2) {
        auto isTex = [](DWORD a) { return (a & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
        if (op == D3DTOP_DISABLE) return false;
        if (op == D3DTOP_SELECTARG1) return isTex(a1);
        if (op == D3DTOP_SELECTARG2) return isTex(a2);
        return isTex(a1) || isTex(a2) || isTex(a0) || op == D3DTOP_BLENDTEXTUREALPHA;
    };
    return reads(st.colorOp, st.colorArg0, st.colorArg1, st.colorArg2) ||
           reads(st.alphaOp, st.alphaArg0, st.alphaArg1, st.alphaArg2);
}

}  // namespace

void Device::DeriveVertexConfig() {
    const DeviceState& s = m_state;
    VertexConfig& c = m_vertexConfig;
    const float(&world)[4][4] = s.transforms[kWorldSlot].m;
    const float(&view)[4][4] = s.transforms[0].m;
    const float(&proj)[4][4] = s.transforms[1].m;
    MultiplyMatrices(world, view, c.worldView);
    MultiplyMatrices(c.worldView, proj, c.worldViewProj);
    NormalMatrix(c.worldView, c.normalMatrix);
    const DWORD* rs = s.renderStates;
    c.lighting = rs[D3DRS_LIGHTING] != FALSE;
    c.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] != FALSE;
    c.specular = rs[D3DRS_SPECULARENABLE] != FALSE;
    c.localViewer = rs[D3DRS_LOCALVIEWER] != FALSE;
    c.colorVertex = rs[D3DRS_COLORVERTEX] != FALSE;
    c.diffuseSource = rs[D3DRS_DIFFUSEMATERIALSOURCE];
    c.ambientSource = rs[D3DRS_AMBIENTMATERIALSOURCE];
    c.specularSource = rs[D3DRS_SPECULARMATERIALSOURCE];
    c.emissiveSource = rs[D3DRS_EMISSIVEMATERIALSOURCE];
    c.material = s.material;
    ToFloats(rs[D3DRS_AMBIENT], c.globalAmbient);
    c.lightCount = 0;
    for (const auto& entry : s.lights) {
        if (!entry.second.enabled || c.lightCount == kMaxActiveLights) continue;
        const D3DLIGHT9& L = entry.second.light;
        ViewLight& v = c.lights[c.lightCount++];
        v.type = L.Type;
        ColorFloats(L.Diffuse, v.diffuse);
        ColorFloats(L.Specular, v.specular);
        ColorFloats(L.Ambient, v.ambient);
        TransformVector(view, L.Position, true, v.position);
        TransformVector(view, L.Direction, false, v.direction);
        Normalize(v.direction);
        for (int i = 0; i < 3; ++i) v.toLight[i] = -v.direction[i];
        v.range = L.Type == D3DLIGHT_DIRECTIONAL ? INFINITY : L.Range;
        v.falloff = L.Falloff;
        v.att0 = L.Attenuation0;
        v.att1 = L.Attenuation1;
        v.att2 = L.Attenuation2;
        v.cosHalfTheta = std::cos(L.Theta * 0.5f);
        v.cosHalfPhi = std::cos(L.Phi * 0.5f);
    }
    for (int st = 0; st < kPipelineTexStages; ++st)
        c.texCoordIndex[st] = int(s.stageStates[st][D3DTSS_TEXCOORDINDEX] & 0xFFFF);
    const D3DVIEWPORT9& vp = s.viewport;
    m_viewport = Viewport{float(vp.X), float(vp.Y), float(vp.Width), float(vp.Height), vp.MinZ, vp.MaxZ};
    m_vertexDirty = false;
}

void Device::DerivePixelConfig() {
    const DeviceState& s = m_state;
    const DWORD* rs = s.renderStates;
    PixelConfig& c = m_pixelConfig;
    c.color = m_renderTarget->AsColorTarget();
    c.depth = DepthTarget{};
    if (m_depthStencil) {
        DepthTarget d = m_depthStencil->AsDepthTarget();
        if (d.width >= c.color.width && d.height >= c.color.height) c.depth = d;
    }
    const D3DVIEWPORT9& vp = s.viewport;
    RECT clip{LONG(vp.X), LONG(vp.Y), LONG(vp.X + vp.Width), LONG(vp.Y + vp.Height)};
    if (rs[D3DRS_SCISSORTESTENABLE]) {
        clip.left = std::max(clip.left, s.scissor.left);
        clip.top = std::max(clip.top, s.scissor.top);
        clip.right = std::min(clip.right, s.scissor.right);
        clip.bottom = std::min(clip.bottom, s.scissor.bottom);
    }
    clip.right = std::min<LONG>(clip.right, c.color.width);
    clip.bottom = std::min<LONG>(clip.bottom, c.color.height);
    c.clip = clip;

    c.cullMode = rs[D3DRS_CULLMODE];
    c.fillMode = rs[D3DRS_FILLMODE];
    c.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    bool zOn = rs[D3DRS_ZENABLE] != D3DZB_FALSE && c.depth.depth != nullptr;
    c.depthTest = zOn;
    c.depthWrite = zOn && rs[D3DRS_ZWRITEENABLE] != FALSE;
    c.depthFunc = rs[D3DRS_ZFUNC];
    if (!zOn) c.depth = DepthTarget{};
    c.alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    c.alphaFunc = rs[D3DRS_ALPHAFUNC];
    c.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    c.srcBlend = rs[D3DRS_SRCBLEND];
    c.destBlend = rs[D3DRS_DESTBLEND];
    c.blendOp = rs[D3DRS_BLENDOP];
    c.separateAlpha = rs[D3DRS_SEPARATEALPHABLENDENABLE] != FALSE;
    c.srcBlendAlpha = rs[D3DRS_SRCBLENDALPHA];
    c.destBlendAlpha = rs[D3DRS_DESTBLENDALPHA];
    c.blendOpAlpha = rs[D3DRS_BLENDOPALPHA];
    c.blendFactor = rs[D3DRS_BLENDFACTOR];
    bool replaces = c.srcBlend == D3DBLEND_ONE && c.destBlend == D3DBLEND_ZERO &&
                    c.blendOp == D3DBLENDOP_ADD && !c.separateAlpha;
    c.blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE && !replaces;
    DWORD mask = rs[D3DRS_COLORWRITEENABLE];
    c.writeMask = ((mask & D3DCOLORWRITEENABLE_RED) ? 0x00FF0000u : 0) |
                  ((mask & D3DCOLORWRITEENABLE_GREEN) ? 0x0000FF00u : 0) |
                  ((mask & D3DCOLORWRITEENABLE_BLUE) ? 0x000000FFu : 0) |
                  ((mask & D3DCOLORWRITEENABLE_ALPHA) ? 0xFF000000u : 0);
    c.specularAdd = rs[D3DRS_SPECULARENABLE] != FALSE;
    c.textureFactor = rs[D3DRS_TEXTUREFACTOR];

    c.stageCount = 0;
    for (int st = 0; st < kPipelineTexStages; ++st) {
        const DWORD* t = s.stageStates[st];
        if (t[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        StageConfig& sc = c.stages[st];
        sc.colorOp = t[D3DTSS_COLOROP];
        sc.colorArg0 = t[D3DTSS_COLORARG0];
        sc.colorArg1 = t[D3DTSS_COLORARG1];
        sc.colorArg2 = t[D3DTSS_COLORARG2];
        sc.alphaOp = t[D3DTSS_ALPHAOP];
        sc.alphaArg0 = t[D3DTSS_ALPHAARG0];
        sc.alphaArg1 = t[D3DTSS_ALPHAARG1];
        sc.alphaArg2 = t[D3DTSS_ALPHAARG2];
        sc.resultArg = t[D3DTSS_RESULTARG];
        c.stageCount = st + 1;
    }
    c.simpleCombiner = true;
    c.colorUsesTexture = c.alphaUsesTexture = false;
    c.colorUsesDiffuse = c.alphaUsesDiffuse = true;
    if (c.stageCount > 1) {
        c.simpleCombiner = false;
    } else if (c.stageCount == 1) {
        const StageConfig& st = c.stages[0];
        bool ok =
            (st.resultArg & D3DTA_SELECTMASK) == D3DTA_CURRENT &&
            SimpleOperands(st.colorOp, st.colorArg1, st.colorArg2, c.colorUsesTexture, c.colorUsesDiffuse);
        if (ok && st.alphaOp == D3DTOP_DISABLE) {
            c.alphaUsesTexture = false;
            c.alphaUsesDiffuse = true;
        } else if (ok) {
            ok = SimpleOperands(st.alphaOp, st.alphaArg1, st.alphaArg2, c.alphaUsesTexture,
                                c.alphaUsesDiffuse);
        }
        c.simpleCombiner = ok;
    }
    m_pixelDirty = false;
}

// Texture contents can change between draws without a state change, so the
// sampled levels are gathered for every draw.
void Device::GatherSamplers() {
    PixelConfig& c = m_pixelConfig;
    for (int st = 0; st < kPipelineTexStages; ++st) {
        Sampler& smp = c.samplers[st];
        smp.levels = nullptr;
        smp.levelCount = 0;
        c.stages[st].sampler = -1;
        if (st >= c.stageCount || !StageReadsTexture(c.stages[st])) continue;
        const KnownTexture* known = m_state.textures[st] ? FindTexture(m_state.textures[st]) : nullptr;
        TextureBase* texture = known ? known->sampled : nullptr;
        if (!texture) continue;
        const ImageLevel* levels = nullptr;
        int count = texture->GatherLevels(levels);
        if (count <= 0) continue;
        const DWORD* p = m_state.samplerStates[st];
        smp.levels = levels;
        smp.levelCount = count;
        smp.addressU = p[D3DSAMP_ADDRESSU];
        smp.addressV = p[D3DSAMP_ADDRESSV];
        smp.magFilter = p[D3DSAMP_MAGFILTER];
        smp.minFilter = p[D3DSAMP_MINFILTER];
        smp.mipFilter = p[D3DSAMP_MIPFILTER];
        smp.borderColor = p[D3DSAMP_BORDERCOLOR];
        c.stages[st].sampler = st;
    }
}

}  // namespace plat::d3d9
