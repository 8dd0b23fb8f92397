// State blocks: capture and apply of a masked device state.
#include "platform/d3d9/state_block.h"

#include <algorithm>
#include <bitset>
#include <new>

#include "platform/d3d9/device.h"

namespace plat::d3d9 {

namespace {

template <size_t N>
void CopyMasked(bool all, const std::bitset<N>& mask, const DWORD (&from)[N], DWORD (&to)[N]) {
    if (all) {
        std::copy(from, from + N, to);
        return;
    }
    if (mask.none()) return;
    for (size_t i = 0; i < N; ++i)
        if (mask.test(i)) to[i] = from[i];
}

}  // namespace

void CopyMaskedState(const DeviceState& from, DeviceState& to, const StateMask& mask) {
    for (int i = 0; i < kTransformSlots; ++i)
        if (mask.transforms.test(size_t(i))) to.transforms[i] = from.transforms[i];
    if (mask.viewport) to.viewport = from.viewport;
    if (mask.material) to.material = from.material;
    if (mask.allLights) {
        to.lights = from.lights;
    } else {
        for (const auto& entry : mask.lights) {
            auto it = from.lights.find(entry.first);
            if (it != from.lights.end())
                to.lights[entry.first] = it->second;
            else
                to.lights.erase(entry.first);
        }
    }
    // Whole arrays at once for the common full masks (sprites save all state on every Begin).
    CopyMasked(mask.allStates, mask.renderStates, from.renderStates, to.renderStates);
    for (int s = 0; s < kTextureStages; ++s)
        CopyMasked(mask.allStates, mask.stageStates[s], from.stageStates[s], to.stageStates[s]);
    for (int s = 0; s < kSamplers; ++s) {
        CopyMasked(mask.allStates, mask.samplerStates[s], from.samplerStates[s], to.samplerStates[s]);
        if (mask.textures.test(size_t(s))) Rebind(to.textures[s], from.textures[s]);
    }
    if (mask.fvf) to.fvf = from.fvf;
    if (mask.declaration) Rebind(to.declaration, from.declaration);
    for (int i = 0; i < kStreams; ++i)
        if (mask.streams.test(size_t(i))) {
            Rebind(to.streams[i].buffer, from.streams[i].buffer);
            to.streams[i].offset = from.streams[i].offset;
            to.streams[i].stride = from.streams[i].stride;
        }
    if (mask.indices) Rebind(to.indices, from.indices);
    if (mask.scissor) to.scissor = from.scissor;
}

StateBlock::StateBlock(Device* device, const StateMask& mask) : DeviceChild(device), m_mask(mask) {
    ResetToDefaults(m_state, false, 0, 0);
}

StateBlock::~StateBlock() { ReleaseBindingRefs(m_state); }

HRESULT StateBlock::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DStateBlock9) {
        *ppv = static_cast<IDirect3DStateBlock9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT StateBlock::GetDevice(IDirect3DDevice9** ppDevice) {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = m_device;
    m_device->AddRef();
    return S_OK;
}

// Copying the light table allocates; without memory the copy stops part-way
// (every state it holds is still whole) and the call says so.
HRESULT StateBlock::Capture() {
    try {
        CopyMaskedState(m_device->State(), m_state, m_mask);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT StateBlock::Apply() {
    HRESULT hr = S_OK;
    try {
        CopyMaskedState(m_state, m_device->State(), m_mask);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    m_device->StateChanged();
    return hr;
}

}  // namespace plat::d3d9
