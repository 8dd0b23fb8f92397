// The device's drawing: the Draw* calls, from the bound streams to the
// pipeline (the configuration they use is derived in device_derived_state.cpp).
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

constexpr int kStreamSlots = 16;

}  // namespace

bool Device::CurrentLayout(VertexLayout& out) const {
    auto* decl = static_cast<VertexDeclaration*>(m_state.declaration);
    if (decl) {
        out = decl->Layout();
        return true;
    }
    return m_state.fvf != 0 && LayoutFromFvf(m_state.fvf, out);
}

HRESULT Device::RunDraw(const DrawCall& call, const VertexLayout& layout, const StreamSource* streams) {
    if (m_recording) return D3DERR_INVALIDCALL;
    if (!m_renderTarget) return D3DERR_INVALIDCALL;
    if (m_lost) return S_OK;  // as in D3D9, drawing on a lost device succeeds and does nothing
    if (m_vertexDirty) DeriveVertexConfig();
    if (m_pixelDirty) DerivePixelConfig();
    GatherSamplers();
    // A texture drawn into by queued work must be finished before it is sampled.
    for (const Sampler& smp : m_pixelConfig.samplers)
        for (int i = 0; i < smp.levelCount; ++i)
            if (m_queue.Writes(smp.levels[i].texels)) {
                m_queue.Flush();
                break;
            }
    if (!m_pipeline.Draw(call, m_vertexConfig, layout, streams, m_viewport, m_pixelConfig, m_queue))
        return D3DERR_INVALIDCALL;
    return S_OK;
}

namespace {

bool ValidPrimitive(D3DPRIMITIVETYPE type) { return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN; }

// The part of a draw every Draw* call describes; indices are added by the indexed ones.
DrawCall PrimitivesOf(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT firstVertex, UINT vertexCount) {
    DrawCall call;
    call.type = type;
    call.primitiveCount = primitiveCount;
    call.firstVertex = firstVertex;
    call.vertexCount = vertexCount;
    return call;
}

}  // namespace

void Device::BoundStreams(StreamSource* out) const {
    for (int i = 0; i < kStreams; ++i) {
        const StreamBinding& b = m_state.streams[i];
        auto* vb = static_cast<VertexBuffer*>(b.buffer);
        if (!vb || b.stride == 0 || b.offset >= vb->Store().Size()) continue;
        out[i] =
            StreamSource{vb->Store().Data() + b.offset, b.stride, (vb->Store().Size() - b.offset) / b.stride};
    }
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) {
    if (!ValidPrimitive(PrimitiveType)) return D3DERR_INVALIDCALL;
    if (PrimitiveCount == 0) return S_OK;
    VertexLayout layout;
    if (!CurrentLayout(layout)) return D3DERR_INVALIDCALL;
    StreamSource streams[kStreamSlots];
    BoundStreams(streams);
    DrawCall call = PrimitivesOf(PrimitiveType, PrimitiveCount, StartVertex,
                                 VerticesForPrimitives(PrimitiveType, PrimitiveCount));
    return RunDraw(call, layout, streams);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                     UINT NumVertices, UINT startIndex, UINT primCount) {
    if (!ValidPrimitive(PrimitiveType) || !m_state.indices) return D3DERR_INVALIDCALL;
    if (primCount == 0) return S_OK;
    int64_t first = int64_t(BaseVertexIndex) + MinVertexIndex;
    if (first < 0 || NumVertices == 0) return D3DERR_INVALIDCALL;
    auto* ib = static_cast<IndexBuffer*>(m_state.indices);
    UINT indexSize = ib->Is32Bit() ? 4 : 2;
    uint64_t needed = VerticesForPrimitives(PrimitiveType, primCount);
    if ((uint64_t(startIndex) + needed) * indexSize > ib->Store().Size()) return D3DERR_INVALIDCALL;
    VertexLayout layout;
    if (!CurrentLayout(layout)) return D3DERR_INVALIDCALL;
    StreamSource streams[kStreamSlots];
    BoundStreams(streams);
    DrawCall call = PrimitivesOf(PrimitiveType, primCount, UINT(first), NumVertices);
    call.indices = ib->Store().Data() + size_t(startIndex) * indexSize;
    call.indices32 = ib->Is32Bit();
    call.indexBias = BaseVertexIndex;
    return RunDraw(call, layout, streams);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) {
    if (!ValidPrimitive(PrimitiveType) || !pVertexStreamZeroData || VertexStreamZeroStride == 0)
        return D3DERR_INVALIDCALL;
    // As in D3D9, a user-pointer draw leaves stream 0 unset.
    SetStreamSource(0, nullptr, 0, 0);
    if (PrimitiveCount == 0) return S_OK;
    VertexLayout layout;
    if (!CurrentLayout(layout)) return D3DERR_INVALIDCALL;
    UINT count = VerticesForPrimitives(PrimitiveType, PrimitiveCount);
    StreamSource streams[kStreamSlots];
    streams[0] =
        StreamSource{static_cast<const uint8_t*>(pVertexStreamZeroData), VertexStreamZeroStride, count};
    DrawCall call = PrimitivesOf(PrimitiveType, PrimitiveCount, 0, count);
    return RunDraw(call, layout, streams);
}

HRESULT Device::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                       UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                       const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) {
    if (!ValidPrimitive(PrimitiveType) || !pIndexData || !pVertexStreamZeroData ||
        VertexStreamZeroStride == 0 ||
        (IndexDataFormat != D3DFMT_INDEX16 && IndexDataFormat != D3DFMT_INDEX32) || NumVertices == 0)
        return D3DERR_INVALIDCALL;
    SetStreamSource(0, nullptr, 0, 0);
    SetIndices(nullptr);
    if (PrimitiveCount == 0) return S_OK;
    VertexLayout layout;
    if (!CurrentLayout(layout)) return D3DERR_INVALIDCALL;
    StreamSource streams[kStreamSlots];
    streams[0] = StreamSource{static_cast<const uint8_t*>(pVertexStreamZeroData), VertexStreamZeroStride,
                              MinVertexIndex + NumVertices};
    DrawCall call = PrimitivesOf(PrimitiveType, PrimitiveCount, MinVertexIndex, NumVertices);
    call.indices = pIndexData;
    call.indices32 = IndexDataFormat == D3DFMT_INDEX32;
    return RunDraw(call, layout, streams);
}

}  // namespace plat::d3d9
