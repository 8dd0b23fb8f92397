// Surfaces: storage, locking and the A8R8G8B8 copy the pipeline works on.
#include "platform/d3d9/surface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/d3d9/device.h"
#include "platform/d3d9/formats.h"

namespace plat::d3d9 {

Surface::Surface(Device* device, IUnknown* container, UINT width, UINT height, D3DFORMAT format, DWORD usage,
                 D3DPOOL pool, bool lockable)
    : DeviceChild(device, container == nullptr), m_container(container), m_lockable(lockable) {
    m_desc.Format = format;
    m_desc.Type = D3DRTYPE_SURFACE;
    m_desc.Usage = usage;
    m_desc.Pool = pool;
    m_desc.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_desc.MultiSampleQuality = 0;
    m_desc.Width = width;
    m_desc.Height = height;
    size_t count = size_t(width) * height;
    try {
        if (IsDepthFormat(format)) {
            m_depth.assign(count, 1.0f);
        } else {
            m_argb.assign(count, format == D3DFMT_A8R8G8B8 ? 0u : 0xFF000000u);
            // X8R8G8B8 is A8R8G8B8 with the top byte unused: outside render
            // targets it is stored once, the unused byte kept at 0xFF.
            m_opaqueDirect = format == D3DFMT_X8R8G8B8 && (usage & D3DUSAGE_RENDERTARGET) == 0;
            if (format != D3DFMT_A8R8G8B8 && !m_opaqueDirect) {
                m_nativePitch = width * ColorFormatBytes(format);
                m_renderMaster = (usage & D3DUSAGE_RENDERTARGET) != 0;
                // A render target's pixels in its own format exist only for locks: made at the first.
                if (!m_renderMaster) {
                    m_native.assign(size_t(m_nativePitch) * height, 0);
                    m_copyStale = true;
                }
            }
        }
    } catch (...) {
        if (!container) DeviceRelease(device);
        throw;
    }
    if (pool == D3DPOOL_DEFAULT && !container) device->DefaultPoolCreated();
}

HRESULT Surface::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DSurface9) {
        *ppv = static_cast<IDirect3DSurface9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    if (m_container) return m_container->AddRef();
    return DeviceChild::AddRef();
}

ULONG Surface::Release() {
    if (m_container) return m_container->Release();
    return DeviceChild::Release();
}

void Surface::AddInternalRef() {
    if (!m_container) return DeviceChild::AddInternalRef();
    if (auto* owner = dynamic_cast<Bindable*>(m_container)) owner->AddInternalRef();
}

void Surface::ReleaseInternal() {
    if (!m_container) return DeviceChild::ReleaseInternal();
    if (auto* owner = dynamic_cast<Bindable*>(m_container)) owner->ReleaseInternal();
}

void Surface::OnLastPublicRelease() {
    if (m_desc.Pool == D3DPOOL_DEFAULT) m_device->DefaultPoolReleased();
}

HRESULT Surface::GetDevice(IDirect3DDevice9** ppDevice) {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = m_device;
    m_device->AddRef();
    return S_OK;
}

DWORD Surface::SetPriority(DWORD priority) {
    DWORD old = m_priority;
    m_priority = priority;
    return old;
}

HRESULT Surface::GetContainer(REFIID riid, void** ppContainer) {
    if (!ppContainer) return D3DERR_INVALIDCALL;
    IUnknown* container = m_container ? m_container : static_cast<IUnknown*>(m_device);
    return container->QueryInterface(riid, ppContainer);
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = m_desc;
    return S_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) {
    m_device->FinishDrawing();
    if (!pLockedRect || m_locked || IsDepth() || !m_lockable) return D3DERR_INVALIDCALL;
    RECT r{0, 0, LONG(m_desc.Width), LONG(m_desc.Height)};
    if (pRect) {
        if (pRect->left < 0 || pRect->top < 0 || pRect->right > r.right || pRect->bottom > r.bottom ||
            pRect->left >= pRect->right || pRect->top >= pRect->bottom)
            return D3DERR_INVALIDCALL;
        r = *pRect;
    }
    if (m_renderMaster && m_native.empty()) {
        try {
            m_native.assign(size_t(m_nativePitch) * m_desc.Height, 0);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    m_locked = true;
    m_lockReadOnly = (Flags & D3DLOCK_READONLY) != 0;
    m_lockRect = r;
    if (m_native.empty()) {
        pLockedRect->Pitch = INT(m_desc.Width * 4);
        pLockedRect->pBits = m_argb.data() + size_t(r.top) * m_desc.Width + r.left;
        return S_OK;
    }
    if (m_renderMaster) {
        for (LONG y = r.top; y < r.bottom; ++y)
            ConvertRowFromArgb(
                m_desc.Format, m_argb.data() + size_t(y) * m_desc.Width + r.left,
                m_native.data() + size_t(y) * m_nativePitch + r.left * ColorFormatBytes(m_desc.Format),
                UINT(r.right - r.left));
    }
    pLockedRect->Pitch = INT(m_nativePitch);
    pLockedRect->pBits =
        m_native.data() + size_t(r.top) * m_nativePitch + r.left * ColorFormatBytes(m_desc.Format);
    return S_OK;
}

HRESULT Surface::UnlockRect() {
    if (!m_locked) return D3DERR_INVALIDCALL;
    m_locked = false;
    if (m_lockReadOnly) return S_OK;
    if (m_opaqueDirect) ForceOpaque(m_lockRect);
    if (m_native.empty()) return S_OK;
    if (m_renderMaster) {
        for (LONG y = m_lockRect.top; y < m_lockRect.bottom; ++y)
            ConvertRowToArgb(m_desc.Format,
                             m_native.data() + size_t(y) * m_nativePitch +
                                 m_lockRect.left * ColorFormatBytes(m_desc.Format),
                             m_argb.data() + size_t(y) * m_desc.Width + m_lockRect.left,
                             UINT(m_lockRect.right - m_lockRect.left));
    } else {
        m_copyStale = true;
    }
    return S_OK;
}

void Surface::ForceOpaque(const RECT& r) {
    for (LONG y = r.top; y < r.bottom; ++y) {
        uint32_t* row = m_argb.data() + size_t(y) * m_desc.Width;
        for (LONG x = r.left; x < r.right; ++x) row[x] |= 0xFF000000u;
    }
}

void Surface::SyncCopyFromNative() {
    if (!m_copyStale) return;
    for (UINT y = 0; y < m_desc.Height; ++y)
        ConvertRowToArgb(m_desc.Format, m_native.data() + size_t(y) * m_nativePitch,
                         m_argb.data() + size_t(y) * m_desc.Width, m_desc.Width);
    m_copyStale = false;
}

void Surface::SyncNativeFromCopy(const RECT& r) {
    if (m_native.empty() || m_renderMaster) return;
    for (LONG y = r.top; y < r.bottom; ++y)
        ConvertRowFromArgb(
            m_desc.Format, m_argb.data() + size_t(y) * m_desc.Width + r.left,
            m_native.data() + size_t(y) * m_nativePitch + r.left * ColorFormatBytes(m_desc.Format),
            UINT(r.right - r.left));
}

// Queued drawing may still write these pixels (or read them as a texture).
Surface::~Surface() { m_device->FinishDrawing(); }

ColorTarget Surface::AsColorTarget() {
    SyncCopyFromNative();
    return ColorTarget{m_argb.data(), int(m_desc.Width), int(m_desc.Height), int(m_desc.Width)};
}

DepthTarget Surface::AsDepthTarget() {
    return DepthTarget{m_depth.data(), int(m_desc.Width), int(m_desc.Height), int(m_desc.Width)};
}

ImageLevel Surface::Image() {
    SyncCopyFromNative();
    return ImageLevel{m_argb.data(), int(m_desc.Width), int(m_desc.Height), int(m_desc.Width)};
}

namespace {
RECT ClipTo(const RECT& r, UINT w, UINT h) {
    return RECT{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, LONG(w)),
                std::min<LONG>(r.bottom, LONG(h))};
}
}  // namespace

void Surface::WriteArgb(const RECT& rect, const uint32_t* src, int srcPitch) {
    m_device->FinishDrawing();
    SyncCopyFromNative();
    RECT r = ClipTo(rect, m_desc.Width, m_desc.Height);
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (LONG y = r.top; y < r.bottom; ++y)
        std::memcpy(m_argb.data() + size_t(y) * m_desc.Width + r.left,
                    src + size_t(y - rect.top) * srcPitch + (r.left - rect.left),
                    size_t(r.right - r.left) * 4);
    if (m_opaqueDirect) ForceOpaque(r);
    SyncNativeFromCopy(r);
}

void Surface::Fill(const RECT& rect, uint32_t argb) {
    m_device->FinishDrawing();
    SyncCopyFromNative();
    RECT r = ClipTo(rect, m_desc.Width, m_desc.Height);
    if (r.left >= r.right || r.top >= r.bottom) return;
    for (LONG y = r.top; y < r.bottom; ++y) {
        uint32_t* row = m_argb.data() + size_t(y) * m_desc.Width;
        std::fill(row + r.left, row + r.right, m_opaqueDirect ? argb | 0xFF000000u : argb);
    }
    SyncNativeFromCopy(r);
}

void Surface::FillDepth(const RECT& rect, float z) {
    m_device->FinishDrawing();
    RECT r = ClipTo(rect, m_desc.Width, m_desc.Height);
    for (LONG y = r.top; y < r.bottom; ++y) {
        float* row = m_depth.data() + size_t(y) * m_desc.Width;
        std::fill(row + r.left, row + r.right, z);
    }
}

}  // namespace plat::d3d9
