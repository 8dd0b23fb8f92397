// The device's state: setters mark the derived pipeline configuration dirty
// (or record into the state block being recorded), getters read back. The
// getters answer on pure devices too, unlike D3D9, so that callers that read
// transforms back (picking) work with any behaviour flags.
#include <cstring>
#include <new>

#include "platform/d3d9/buffers.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/state_block.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/texture.h"
#include "platform/d3d9/vertex_declaration.h"
#include "platform/d3d9/pipeline/vertex_processing.h"

namespace plat::d3d9 {

namespace {

template <class T>
HRESULT GiveOut(T* object, T** out) {
    if (!out) return D3DERR_INVALIDCALL;
    *out = object;
    if (object) object->AddRef();
    return S_OK;
}

}  // namespace

DeviceState& Device::Target() { return m_recording ? m_recording->State() : m_state; }
StateMask* Device::Recording() { return m_recording ? &m_recording->Mask() : nullptr; }

// ---- Transforms, viewport, material, lights --------------------------------------

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
    int slot = TransformSlot(State);
    if (slot < 0 || !pMatrix) return D3DERR_INVALIDCALL;
    Target().transforms[slot] = *pMatrix;
    if (StateMask* m = Recording())
        m->transforms.set(size_t(slot));
    else
        m_vertexDirty = true;
    return S_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
    int slot = TransformSlot(State);
    if (slot < 0 || !pMatrix) return D3DERR_INVALIDCALL;
    *pMatrix = m_state.transforms[slot];
    return S_OK;
}

HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
    int slot = TransformSlot(State);
    if (slot < 0 || !pMatrix) return D3DERR_INVALIDCALL;
    D3DMATRIX result;
    MultiplyMatrices(pMatrix->m, m_state.transforms[slot].m, result.m);
    return SetTransform(State, &result);
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* pViewport) {
    if (!pViewport || !m_renderTarget) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& d = m_renderTarget->Desc();
    const D3DVIEWPORT9& v = *pViewport;
    if (v.Width == 0 || v.Height == 0 || v.X >= d.Width || v.Y >= d.Height || v.Width > d.Width - v.X ||
        v.Height > d.Height - v.Y || !(v.MinZ >= 0.0f && v.MinZ <= 1.0f) ||
        !(v.MaxZ >= 0.0f && v.MaxZ <= 1.0f))
        return D3DERR_INVALIDCALL;
    Target().viewport = v;
    if (StateMask* m = Recording())
        m->viewport = true;
    else
        m_vertexDirty = m_pixelDirty = true;
    return S_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT9* pViewport) {
    if (!pViewport) return D3DERR_INVALIDCALL;
    *pViewport = m_state.viewport;
    return S_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL9* pMaterial) {
    if (!pMaterial) return D3DERR_INVALIDCALL;
    Target().material = *pMaterial;
    if (StateMask* m = Recording())
        m->material = true;
    else
        m_vertexConfig.material = *pMaterial;  // the rest of the derived configuration stays valid
    return S_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL9* pMaterial) {
    if (!pMaterial) return D3DERR_INVALIDCALL;
    *pMaterial = m_state.material;
    return S_OK;
}

// A light was set or switched: a state block being recorded notes it, else the lighting is derived again.
void Device::LightChanged(DWORD Index) {
    if (StateMask* m = Recording())
        m->lights[Index] = true;
    else
        m_vertexDirty = true;
}

HRESULT Device::SetLight(DWORD Index, const D3DLIGHT9* pLight) {
    if (!pLight || pLight->Type < D3DLIGHT_POINT || pLight->Type > D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    if (pLight->Type != D3DLIGHT_DIRECTIONAL && pLight->Range < 0.0f) return D3DERR_INVALIDCALL;
    try {
        Target().lights[Index].light = *pLight;
        LightChanged(Index);
    } catch (const std::bad_alloc&) {  // a new slot in the light table
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT Device::GetLight(DWORD Index, D3DLIGHT9* pLight) {
    auto it = m_state.lights.find(Index);
    if (!pLight || it == m_state.lights.end()) return D3DERR_INVALIDCALL;
    *pLight = it->second.light;
    return S_OK;
}

HRESULT Device::LightEnable(DWORD Index, BOOL Enable) {
    DeviceState& s = Target();
    try {
        auto it = s.lights.find(Index);
        if (it == s.lights.end()) {
            // As in D3D9, enabling a light never set gives it the default: white, directional, along +z.
            LightSlot slot;
            slot.light.Type = D3DLIGHT_DIRECTIONAL;
            slot.light.Diffuse = D3DCOLORVALUE{1, 1, 1, 0};
            slot.light.Direction = D3DVECTOR{0, 0, 1};
            it = s.lights.emplace(Index, slot).first;
        }
        it->second.enabled = Enable != FALSE;
        LightChanged(Index);
    } catch (const std::bad_alloc&) {  // a new slot in the light table
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT Device::GetLightEnable(DWORD Index, BOOL* pEnable) {
    auto it = m_state.lights.find(Index);
    if (!pEnable || it == m_state.lights.end()) return D3DERR_INVALIDCALL;
    *pEnable = it->second.enabled ? TRUE : FALSE;
    return S_OK;
}

// ---- Render, stage and sampler states ----------------------------------------------

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
    if (!IsKnownRenderState(DWORD(State))) return D3DERR_INVALIDCALL;
    Target().renderStates[State] = Value;
    if (StateMask* m = Recording())
        m->renderStates.set(size_t(State));
    else
        m_vertexDirty = m_pixelDirty = true;
    return S_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
    if (!pValue || !IsKnownRenderState(DWORD(State))) return D3DERR_INVALIDCALL;
    *pValue = m_state.renderStates[State];
    return S_OK;
}

HRESULT Device::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
    if (Stage >= DWORD(kTextureStages) || !IsKnownStageState(DWORD(Type))) return D3DERR_INVALIDCALL;
    Target().stageStates[Stage][Type] = Value;
    if (StateMask* m = Recording())
        m->stageStates[Stage].set(size_t(Type));
    else
        m_vertexDirty = m_pixelDirty = true;
    return S_OK;
}

HRESULT Device::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
    if (!pValue || Stage >= DWORD(kTextureStages) || !IsKnownStageState(DWORD(Type)))
        return D3DERR_INVALIDCALL;
    *pValue = m_state.stageStates[Stage][Type];
    return S_OK;
}

HRESULT Device::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) {
    if (Sampler >= DWORD(kSamplers) || Type < D3DSAMP_ADDRESSU || Type >= kSamplerStateCount)
        return D3DERR_INVALIDCALL;
    Target().samplerStates[Sampler][Type] = Value;
    if (StateMask* m = Recording())
        m->samplerStates[Sampler].set(size_t(Type));
    else
        m_pixelDirty = true;
    return S_OK;
}

HRESULT Device::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) {
    if (!pValue || Sampler >= DWORD(kSamplers) || Type < D3DSAMP_ADDRESSU || Type >= kSamplerStateCount)
        return D3DERR_INVALIDCALL;
    *pValue = m_state.samplerStates[Sampler][Type];
    return S_OK;
}

HRESULT Device::SetScissorRect(const RECT* pRect) {
    if (!pRect || pRect->left > pRect->right || pRect->top > pRect->bottom) return D3DERR_INVALIDCALL;
    Target().scissor = *pRect;
    if (StateMask* m = Recording())
        m->scissor = true;
    else
        m_pixelDirty = true;
    return S_OK;
}

HRESULT Device::GetScissorRect(RECT* pRect) {
    if (!pRect) return D3DERR_INVALIDCALL;
    *pRect = m_state.scissor;
    return S_OK;
}

// ---- Textures and vertex input ------------------------------------------------------

HRESULT Device::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) {
    if (Stage >= DWORD(kSamplers)) return D3DERR_INVALIDCALL;
    // Binding what is bound changes nothing (and was checked when first bound).
    if (!m_recording && m_state.textures[Stage] == pTexture) return S_OK;
    const KnownTexture* added = pTexture ? FindTexture(pTexture) : nullptr;
    if (pTexture && !added) return D3DERR_INVALIDCALL;
    IDirect3DBaseTexture9*& slot = Target().textures[Stage];
    if (slot != pTexture) {
        // The bound texture is one of ours too (every binding went through here or a state block).
        const KnownTexture* removed = slot ? FindTexture(slot) : nullptr;
        Bindable* old = removed ? removed->binding : nullptr;
        if (added) added->binding->AddInternalRef();
        slot = pTexture;
        if (old) old->ReleaseInternal();
    }
    if (StateMask* m = Recording())
        m->textures.set(Stage);
    else
        m_pixelDirty = true;
    return S_OK;
}

HRESULT Device::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) {
    if (Stage >= DWORD(kSamplers)) return D3DERR_INVALIDCALL;
    return GiveOut(m_state.textures[Stage], ppTexture);
}

HRESULT Device::CreateVertexDeclaration(const D3DVERTEXELEMENT9* pVertexElements,
                                        IDirect3DVertexDeclaration9** ppDecl) {
    if (!pVertexElements || !ppDecl) return D3DERR_INVALIDCALL;
    VertexLayout layout;
    if (!LayoutFromDeclaration(pVertexElements, layout)) return D3DERR_INVALIDCALL;
    VertexDeclaration* decl = nullptr;
    try {
        decl = new VertexDeclaration(this, pVertexElements, layout, 0);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    *ppDecl = decl;
    return S_OK;
}

HRESULT Device::SetVertexDeclaration(IDirect3DVertexDeclaration9* pDecl) {
    // Setting what is set changes nothing (and was checked when first set).
    if (!m_recording && pDecl && m_state.declaration == pDecl &&
        m_state.fvf == static_cast<VertexDeclaration*>(pDecl)->Fvf())
        return S_OK;
    if (pDecl && !Owns(pDecl)) return D3DERR_INVALIDCALL;
    DeviceState& s = Target();
    Rebind(s.declaration, pDecl);
    auto* decl = static_cast<VertexDeclaration*>(pDecl);
    s.fvf = decl ? decl->Fvf() : 0;
    if (StateMask* m = Recording())
        m->declaration = m->fvf = true;
    else
        m_vertexDirty = true;
    return S_OK;
}

HRESULT Device::GetVertexDeclaration(IDirect3DVertexDeclaration9** ppDecl) {
    return GiveOut(m_state.declaration, ppDecl);
}

// Setting an FVF selects a declaration made from it, kept by the device, so
// that GetVertexDeclaration/SetVertexDeclaration round-trips work after SetFVF.
HRESULT Device::SetFVF(DWORD FVF) {
    if (FVF == 0) {
        Target().fvf = 0;
        if (StateMask* m = Recording()) m->fvf = true;
        return S_OK;
    }
    auto it = m_fvfDeclarations.find(FVF);
    if (it == m_fvfDeclarations.end()) {
        try {
            std::vector<D3DVERTEXELEMENT9> elements = ElementsFromFvf(FVF);
            VertexLayout layout;
            if (elements.empty() || !LayoutFromFvf(FVF, layout)) return D3DERR_INVALIDCALL;
            it = m_fvfDeclarations.emplace(FVF, nullptr).first;
            auto* decl = new VertexDeclaration(this, elements.data(), layout, FVF);
            decl->AddInternalRef();
            decl->Release();  // the cache holds an internal reference only
            it->second = decl;
        } catch (const std::bad_alloc&) {
            if (it != m_fvfDeclarations.end() && !it->second) m_fvfDeclarations.erase(it);
            return E_OUTOFMEMORY;
        }
    }
    return SetVertexDeclaration(it->second);
}

HRESULT Device::GetFVF(DWORD* pFVF) {
    if (!pFVF) return D3DERR_INVALIDCALL;
    *pFVF = m_state.fvf;
    return S_OK;
}

HRESULT Device::SetVertexShader(IDirect3DVertexShader9* pShader) {
    return pShader ? D3DERR_INVALIDCALL : S_OK;  // no programmable vertex stage
}

HRESULT Device::GetVertexShader(IDirect3DVertexShader9** ppShader) {
    if (!ppShader) return D3DERR_INVALIDCALL;
    *ppShader = nullptr;
    return S_OK;
}

HRESULT Device::SetPixelShader(IDirect3DPixelShader9* pShader) {
    return pShader ? D3DERR_INVALIDCALL : S_OK;  // no programmable pixel stage
}

HRESULT Device::GetPixelShader(IDirect3DPixelShader9** ppShader) {
    if (!ppShader) return D3DERR_INVALIDCALL;
    *ppShader = nullptr;
    return S_OK;
}

HRESULT Device::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                                UINT Stride) {
    if (StreamNumber >= UINT(kStreams)) return D3DERR_INVALIDCALL;
    // Binding what is bound changes nothing (and was checked when first bound).
    const StreamBinding& now = m_state.streams[StreamNumber];
    if (!m_recording && now.buffer == pStreamData && now.offset == OffsetInBytes && now.stride == Stride)
        return S_OK;
    if (pStreamData && !Owns(pStreamData)) return D3DERR_INVALIDCALL;
    StreamBinding& b = Target().streams[StreamNumber];
    Rebind(b.buffer, pStreamData);
    b.offset = OffsetInBytes;
    b.stride = Stride;
    if (StateMask* m = Recording()) m->streams.set(StreamNumber);
    return S_OK;
}

HRESULT Device::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData,
                                UINT* pOffsetInBytes, UINT* pStride) {
    if (StreamNumber >= UINT(kStreams) || !ppStreamData || !pOffsetInBytes || !pStride)
        return D3DERR_INVALIDCALL;
    const StreamBinding& b = m_state.streams[StreamNumber];
    *pOffsetInBytes = b.offset;
    *pStride = b.stride;
    return GiveOut(b.buffer, ppStreamData);
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* pIndexData) {
    if (!m_recording && m_state.indices == pIndexData) return S_OK;
    if (pIndexData && !Owns(pIndexData)) return D3DERR_INVALIDCALL;
    Rebind(Target().indices, pIndexData);
    if (StateMask* m = Recording()) m->indices = true;
    return S_OK;
}

HRESULT Device::GetIndices(IDirect3DIndexBuffer9** ppIndexData) {
    return GiveOut(m_state.indices, ppIndexData);
}

// ---- State blocks --------------------------------------------------------------------

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE Type, IDirect3DStateBlock9** ppSB) {
    if (!ppSB || Type < D3DSBT_ALL || Type > D3DSBT_VERTEXSTATE || m_recording) return D3DERR_INVALIDCALL;
    auto* block = new (std::nothrow) StateBlock(this, StateMask::ForType(Type));
    if (!block) return E_OUTOFMEMORY;
    const HRESULT hr = block->Capture();
    if (FAILED(hr)) {
        block->Release();
        return hr;
    }
    *ppSB = block;
    return S_OK;
}

HRESULT Device::BeginStateBlock() {
    if (m_recording) return D3DERR_INVALIDCALL;
    auto* block = new (std::nothrow) StateBlock(this, StateMask{});
    if (!block) return E_OUTOFMEMORY;
    try {
        CopyMaskedState(m_state, block->State(), StateMask::ForType(D3DSBT_ALL));
    } catch (const std::bad_alloc&) {
        block->Release();
        return E_OUTOFMEMORY;
    }
    m_recording = block;
    return S_OK;
}

HRESULT Device::EndStateBlock(IDirect3DStateBlock9** ppSB) {
    if (!ppSB || !m_recording) return D3DERR_INVALIDCALL;
    *ppSB = m_recording;
    m_recording = nullptr;
    return S_OK;
}

HRESULT Device::ValidateDevice(DWORD* pNumPasses) {
    if (!pNumPasses) return D3DERR_INVALIDCALL;
    for (int s = 0; s < kTextureStages; ++s) {
        DWORD op = m_state.stageStates[s][D3DTSS_COLOROP];
        if (op == D3DTOP_DISABLE) break;
        if (s >= 2) return D3DERR_TOOMANYOPERATIONS;
        if (op == D3DTOP_BUMPENVMAP || op == D3DTOP_BUMPENVMAPLUMINANCE || op == D3DTOP_DOTPRODUCT3 ||
            op == D3DTOP_PREMODULATE ||
            (op >= D3DTOP_MODULATEALPHA_ADDCOLOR && op <= D3DTOP_MODULATEINVCOLOR_ADDALPHA) ||
            op == D3DTOP_BLENDTEXTUREALPHAPM)
            return D3DERR_UNSUPPORTEDCOLOROPERATION;
    }
    *pNumPasses = 1;
    return S_OK;
}

}  // namespace plat::d3d9
