// Surfaces: back buffers, depth buffers, texture levels, cube faces, render
// targets and offscreen plain surfaces.
//
// Colour pixels are kept in the surface's own format for locking; the
// rasterizer and the sampler read and write A8R8G8B8, so surfaces in other
// formats keep an A8R8G8B8 copy as well (X8R8G8B8 surfaces other than render
// targets need none: they are stored as A8R8G8B8 with the alpha kept opaque). For render targets that copy is
// the master (a lock converts it out and the unlock converts it back); for other surfaces the stored format
// is the master and the copy is refreshed when a lock ends. Depth surfaces hold one float per pixel and
// cannot be locked.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/pipeline/pipeline_types.h"

namespace plat::d3d9 {

class Surface final : public DeviceChild<IDirect3DSurface9> {
  public:
    // `container`: the texture or swap chain the surface belongs to, or null.
    // Contained surfaces count their references on the container. Throws
    // std::bad_alloc when the pixels cannot be had.
    Surface(Device* device, IUnknown* container, UINT width, UINT height, D3DFORMAT format, DWORD usage,
            D3DPOOL pool, bool lockable);

    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    // Bindings of a texture level keep the texture alive; buffers of the swap
    // chain and the automatic depth buffer live as long as the device anyway.
    void AddInternalRef() override;
    void ReleaseInternal() override;
    // IDirect3DResource9
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return m_priority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    // IDirect3DSurface9
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;

    // Internal.
    const D3DSURFACE_DESC& Desc() const { return m_desc; }
    bool IsDepth() const { return !m_depth.empty(); }
    bool IsLocked() const { return m_locked; }
    // True when the A8R8G8B8 pixels are the master, so writing them is all a fill needs.
    bool FillsInPlace() const { return m_native.empty() || m_renderMaster; }
    ColorTarget AsColorTarget();
    DepthTarget AsDepthTarget();
    // The A8R8G8B8 pixels (refreshed from the stored format if needed).
    ImageLevel Image();
    // Writes A8R8G8B8 pixels of a rectangle (clipped to the surface).
    void WriteArgb(const RECT& rect, const uint32_t* src, int srcPitch);
    void Fill(const RECT& rect, uint32_t argb);
    void FillDepth(const RECT& rect, float z);
    void DeleteOwned() { delete this; }

  private:
    ~Surface() override;
    void OnLastPublicRelease() override;
    void SyncCopyFromNative();
    void SyncNativeFromCopy(const RECT& rect);
    // Sets the unused top byte of an X8R8G8B8 surface stored directly.
    void ForceOpaque(const RECT& rect);

    IUnknown* m_container;
    D3DSURFACE_DESC m_desc{};
    bool m_lockable;
    bool m_renderMaster = false;    // the A8R8G8B8 copy is the master
    bool m_opaqueDirect = false;    // X8R8G8B8 kept in m_argb alone, its top byte 0xFF
    std::vector<uint8_t> m_native;  // pixels in m_desc.Format (empty when the format is A8R8G8B8, and
                                    // for render targets until the first lock)
    std::vector<uint32_t> m_argb;   // A8R8G8B8 pixels
    std::vector<float> m_depth;     // depth surfaces
    UINT m_nativePitch = 0;
    bool m_copyStale = false;
    bool m_locked = false;
    bool m_lockReadOnly = false;
    RECT m_lockRect{};
    DWORD m_priority = 0;
};

}  // namespace plat::d3d9
