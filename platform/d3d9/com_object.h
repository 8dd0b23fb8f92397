// Reference counting shared by the Direct3D object, the device and its resources.
//
// A device child counts two kinds of references: public ones (AddRef/Release
// by callers) and internal ones (the device binding it as a texture, stream,
// render target, or a state block holding it). Public references keep the
// device alive; the object itself lives while either count is non-zero.
#pragma once

#include <atomic>

#include "platform/d3d9.h"

namespace plat::d3d9 {

class Device;

// IUnknown for objects with one interface (plus its bases).
template <class Interface>
class ComObject : public Interface {
  public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

  protected:
    virtual ~ComObject() = default;
    std::atomic<ULONG> m_refs{1};
};

// Helpers for QueryInterface over a list of accepted identifiers.
inline bool IsUnknownIid(REFIID riid) {
    static constexpr IID kUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
    return riid == kUnknown;
}

// Adds the device reference and the internal count to a device child.
// Implemented in device.cpp so that it can call into the device.
void DeviceAddRef(Device* device);
void DeviceRelease(Device* device);

// What the device needs of anything it binds: internal references.
class Bindable {
  public:
    virtual void AddInternalRef() = 0;
    virtual void ReleaseInternal() = 0;
    virtual Device* BoundDevice() const = 0;

  protected:
    ~Bindable() = default;
};

// Points a state slot at another object, moving the internal reference from
// the old object to the new one (either may be null or not bindable).
template <class T>
void Rebind(T*& slot, T* value) {
    if (slot == value) return;
    if (auto* b = dynamic_cast<Bindable*>(value)) b->AddInternalRef();
    if (auto* b = dynamic_cast<Bindable*>(slot)) b->ReleaseInternal();
    slot = value;
}

template <class Interface>
class DeviceChild : public Interface, public Bindable {
  public:
    // `holdsDevice` false: the object is part of the device (swap chain, its
    // buffers) and forwards its references instead of counting its own.
    explicit DeviceChild(Device* device, bool holdsDevice = true) : m_device(device) {
        if (holdsDevice) DeviceAddRef(device);
    }

    ULONG AddRef() override {
        ULONG now = ++m_refs;
        if (now == 1) DeviceAddRef(m_device);
        return now;
    }
    ULONG Release() override {
        ULONG left = --m_refs;
        if (left == 0) {
            Device* device = m_device;
            OnLastPublicRelease();
            bool destroy = m_internal.load() == 0;
            if (destroy) delete this;
            DeviceRelease(device);  // may destroy the device, which drops internal references
        }
        return left;
    }
    void AddInternalRef() override { ++m_internal; }
    void ReleaseInternal() override {
        if (--m_internal == 0 && m_refs.load() == 0) delete this;
    }
    Device* OwnerDevice() const { return m_device; }
    Device* BoundDevice() const override { return m_device; }
    ULONG PublicRefs() const { return m_refs.load(); }

  protected:
    virtual ~DeviceChild() = default;
    // Called once when the last public reference goes (default-pool bookkeeping).
    virtual void OnLastPublicRelease() {}
    Device* m_device;
    std::atomic<ULONG> m_refs{1};
    std::atomic<ULONG> m_internal{0};
};

}  // namespace plat::d3d9
