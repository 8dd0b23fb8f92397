// State blocks: a masked copy of the device state, captured and applied.
#pragma once

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/device_state.h"

namespace plat::d3d9 {

class StateBlock final : public DeviceChild<IDirect3DStateBlock9> {
  public:
    StateBlock(Device* device, const StateMask& mask);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT Capture() override;
    HRESULT Apply() override;

    DeviceState& State() { return m_state; }
    StateMask& Mask() { return m_mask; }

  private:
    ~StateBlock() override;
    DeviceState m_state;
    StateMask m_mask;
};

// Copies the parts of `from` that `mask` names into `to`, moving internal
// references from the objects `to` bound before to the ones it binds now.
void CopyMaskedState(const DeviceState& from, DeviceState& to, const StateMask& mask);

}  // namespace plat::d3d9
