// Types shared by the pipeline stages: vertices between stages, render
// targets, texture images and the per-draw configuration derived from the
// device state (see derived_state.cpp).
#pragma once

#include <cstdint>

#include "platform/d3d9types.h"

namespace plat::d3d9 {

constexpr int kPipelineTexStages = 2;  // texture stages the pixel stage evaluates

// A vertex after vertex processing, in clip space. Colours are 0..255.
struct ClipVertex {
    float x, y, z, w;
    float color[4];     // diffuse r, g, b, a
    float specular[3];  // r, g, b
    float tex[kPipelineTexStages][2];
    uint32_t outcode;  // planes the vertex lies outside of
};

// A vertex in screen space: pixel coordinates (centres at integers), depth 0..1
// and the reciprocal of w for perspective-correct texture coordinates.
struct ScreenVertex {
    float x, y, z, rhw;
    float color[4];
    float specular[3];
    float tex[kPipelineTexStages][2];
};

struct ColorTarget {
    uint32_t* pixels = nullptr;  // A8R8G8B8
    int width = 0, height = 0;
    int pitch = 0;  // in pixels
};

struct DepthTarget {
    float* depth = nullptr;
    int width = 0, height = 0;
    int pitch = 0;  // in values
};

// One mip level of a texture as the sampler reads it: A8R8G8B8 texels.
struct ImageLevel {
    const uint32_t* texels = nullptr;
    int width = 0, height = 0;
    int pitch = 0;  // in texels
};

struct Sampler {
    const ImageLevel* levels = nullptr;  // null: no texture bound (samples white)
    int levelCount = 0;
    DWORD addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
    DWORD magFilter = D3DTEXF_POINT, minFilter = D3DTEXF_POINT, mipFilter = D3DTEXF_NONE;
    uint32_t borderColor = 0;
};

// One texture stage, reduced to what the pixel stage evaluates.
struct StageConfig {
    DWORD colorOp = D3DTOP_DISABLE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT,
          colorArg0 = D3DTA_CURRENT;
    DWORD alphaOp = D3DTOP_DISABLE, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT,
          alphaArg0 = D3DTA_CURRENT;
    DWORD resultArg = D3DTA_CURRENT;
    int sampler = -1;  // index into PixelConfig::samplers, -1 when the stage reads no texture
};

// Everything the rasterizer and pixel stage need for one draw.
struct PixelConfig {
    ColorTarget color;
    DepthTarget depth;  // depth == null: no depth buffer
    RECT clip{};        // viewport ∩ scissor ∩ target, right/bottom exclusive

    DWORD cullMode = D3DCULL_CCW;
    DWORD fillMode = D3DFILL_SOLID;
    bool flatShading = false;

    bool depthTest = false;
    bool depthWrite = false;
    DWORD depthFunc = D3DCMP_LESSEQUAL;

    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    uint32_t alphaRef = 0;

    bool blend = false;
    DWORD srcBlend = D3DBLEND_ONE, destBlend = D3DBLEND_ZERO, blendOp = D3DBLENDOP_ADD;
    bool separateAlpha = false;
    DWORD srcBlendAlpha = D3DBLEND_ONE, destBlendAlpha = D3DBLEND_ZERO, blendOpAlpha = D3DBLENDOP_ADD;
    uint32_t blendFactor = 0xFFFFFFFF;
    uint32_t writeMask = 0xFFFFFFFF;  // bits of the A8R8G8B8 pixel that may change

    bool specularAdd = false;
    uint32_t textureFactor = 0xFFFFFFFF;

    int stageCount = 0;  // active stages (0: the diffuse colour is the result)
    StageConfig stages[kPipelineTexStages];
    Sampler samplers[kPipelineTexStages];

    // The common case, evaluated without the general combiner: stage 0 only,
    // each of colour and alpha the product of (texture or 1) and (diffuse or 1).
    bool simpleCombiner = true;
    bool colorUsesTexture = false, colorUsesDiffuse = true;
    bool alphaUsesTexture = false, alphaUsesDiffuse = true;
};

}  // namespace plat::d3d9
