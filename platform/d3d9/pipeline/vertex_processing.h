// Vertex processing stage: reads vertices from the streams through a layout
// (from an FVF code or a vertex declaration), transforms them by
// world x view x projection, lights them (directional, point and spot lights,
// material colours, global ambient, optional specular) and selects the texture
// coordinates of each stage. Pre-transformed vertices (D3DFVF_XYZRHW,
// POSITIONT) pass through unlit.
#pragma once

#include <cstdint>

#include "platform/d3d9/pipeline/pipeline_types.h"

namespace plat::d3d9 {

// Where each vertex component lies, by stream and byte offset; stream -1 means absent.
struct VertexLayout {
    struct Element {
        int stream = -1;
        UINT offset = 0;
        BYTE type = D3DDECLTYPE_UNUSED;
    };
    bool transformed = false;  // positions are screen x, y, z and rhw
    Element position, normal, diffuse, specular;
    Element tex[8];
};

// Layout of an FVF code; false for codes the device cannot read.
bool LayoutFromFvf(DWORD fvf, VertexLayout& out);
// Byte size of one vertex of an FVF code (0 for invalid codes).
UINT FvfVertexSize(DWORD fvf);
bool LayoutFromDeclaration(const D3DVERTEXELEMENT9* elements, VertexLayout& out);

struct StreamSource {
    const uint8_t* data = nullptr;  // vertex 0 of the stream
    UINT stride = 0;
    UINT vertexCount = 0;  // vertices available from `data`
};

// A light in view space, ready for the lighting equations.
struct ViewLight {
    DWORD type = D3DLIGHT_DIRECTIONAL;
    float diffuse[4], specular[4], ambient[4];
    float position[3];
    float toLight[3];    // directional lights: unit vector towards the light
    float direction[3];  // spot lights: unit direction the light points
    float range, falloff, att0, att1, att2, cosHalfTheta, cosHalfPhi;
};

// Vertex configuration derived from the device state once per change.
struct VertexConfig {
    float worldView[4][4];
    float worldViewProj[4][4];
    float normalMatrix[3][3];  // inverse transpose of worldView's upper 3x3
    bool lighting = true;
    bool normalizeNormals = false;
    bool specular = false;
    bool localViewer = true;
    bool colorVertex = true;
    DWORD diffuseSource = D3DMCS_COLOR1, ambientSource = D3DMCS_MATERIAL;
    DWORD specularSource = D3DMCS_COLOR2, emissiveSource = D3DMCS_MATERIAL;
    D3DMATERIAL9 material{};
    float globalAmbient[4] = {};
    int lightCount = 0;
    ViewLight lights[8];
    int texCoordIndex[kPipelineTexStages] = {0, 1};
};

// Processes vertices [first, first + count) of the streams into `out`.
// Returns false when a vertex lies beyond the end of its stream.
bool ProcessVertices(const VertexConfig& config, const VertexLayout& layout, const StreamSource* streams,
                     UINT first, UINT count, ClipVertex* out);

void MultiplyMatrices(const float a[4][4], const float b[4][4], float out[4][4]);
// Inverse transpose of the upper 3x3 (identity when singular).
void NormalMatrix(const float m[4][4], float out[3][3]);

}  // namespace plat::d3d9
