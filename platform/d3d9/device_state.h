// The device's fixed-function state as the API sets it: transforms, viewport,
// material, lights, render, stage and sampler states, bound textures and
// vertex input. State blocks copy parts of it; the pipeline derives its
// per-draw configuration from it.
#pragma once

#include <bitset>
#include <cstdint>
#include <map>

#include "platform/d3d9.h"

namespace plat::d3d9 {

constexpr int kRenderStateCount = 256;
constexpr int kTextureStages = 8;
constexpr int kStageStateCount = 33;
constexpr int kSamplers = 16;
constexpr int kSamplerStateCount = 14;
constexpr int kStreams = 4;
constexpr int kMaxActiveLights = 8;
// Transform slots kept: view, projection, texture 0-7 and world 0-3 (from index 10).
constexpr int kTransformSlots = 14;
constexpr int kWorldSlot = 10;
int TransformSlot(D3DTRANSFORMSTATETYPE state);  // -1 if not kept

struct LightSlot {
    D3DLIGHT9 light{};
    bool enabled = false;
};

struct StreamBinding {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT offset = 0;
    UINT stride = 0;
};

struct DeviceState {
    D3DMATRIX transforms[kTransformSlots];
    D3DVIEWPORT9 viewport{};
    D3DMATERIAL9 material{};
    std::map<DWORD, LightSlot> lights;
    DWORD renderStates[kRenderStateCount] = {};
    DWORD stageStates[kTextureStages][kStageStateCount] = {};
    DWORD samplerStates[kSamplers][kSamplerStateCount] = {};
    IDirect3DBaseTexture9* textures[kSamplers] = {};
    DWORD fvf = 0;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    StreamBinding streams[kStreams];
    IDirect3DIndexBuffer9* indices = nullptr;
    RECT scissor{};
};

// Which parts of a DeviceState a state block holds.
struct StateMask {
    std::bitset<kTransformSlots> transforms;
    bool viewport = false;
    bool material = false;
    bool allLights = false;  // every light slot, including enable flags
    std::bitset<kRenderStateCount> renderStates;
    std::bitset<kStageStateCount> stageStates[kTextureStages];
    std::bitset<kSamplerStateCount> samplerStates[kSamplers];
    std::bitset<kSamplers> textures;
    bool fvf = false;
    bool declaration = false;
    std::bitset<kStreams> streams;
    bool indices = false;
    bool scissor = false;
    std::map<DWORD, bool> lights;  // recorded light indices (when not allLights)
    // Every known render, stage and sampler state. No call writes the unknown
    // slots, so such masks copy the whole arrays.
    bool allStates = false;

    static StateMask ForType(D3DSTATEBLOCKTYPE type);
};

// Render and texture-stage state numbers that exist.
bool IsKnownRenderState(DWORD state);
bool IsKnownStageState(DWORD type);

// The D3D9 defaults; `depthBuffer` says whether an automatic depth buffer exists.
void ResetToDefaults(DeviceState& state, bool depthBuffer, UINT width, UINT height);

// Internal references for the objects a state binds.
void AddBindingRefs(DeviceState& state);
void ReleaseBindingRefs(DeviceState& state);

}  // namespace plat::d3d9
