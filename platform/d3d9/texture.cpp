// Textures: level chains, locking through the level surfaces, mip generation.
#include "platform/d3d9/texture.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d9/device.h"
#include "platform/d3d9/formats.h"

namespace plat::d3d9 {

UINT FullMipCount(UINT width, UINT height, UINT depth) {
    UINT n = 1, m = std::max({width, height, depth});
    while (m > 1) {
        m >>= 1;
        ++n;
    }
    return n;
}

namespace {

template <class T>
HRESULT GiveDevice(Device* device, IDirect3DDevice9** ppDevice) {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = device;
    device->AddRef();
    return S_OK;
}

bool IsTextureIid(REFIID riid) {
    return IsUnknownIid(riid) || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DBaseTexture9;
}

// Box-filters level `src` into level `dst` (half size, A8R8G8B8 pixels).
void Downsample(Surface* src, Surface* dst) {
    ImageLevel s = src->Image();
    D3DSURFACE_DESC d = dst->Desc();
    std::vector<uint32_t> out(size_t(d.Width) * d.Height);
    for (UINT y = 0; y < d.Height; ++y)
        for (UINT x = 0; x < d.Width; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                int sx = std::min<int>(int(2 * x + (k & 1)), s.width - 1);
                int sy = std::min<int>(int(2 * y + (k >> 1)), s.height - 1);
                uint32_t p = s.texels[sy * s.pitch + sx];
                for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
            }
            uint32_t p = 0;
            for (int c = 0; c < 4; ++c) p |= ((sum[c] + 2) / 4) << (8 * c);
            out[size_t(y) * d.Width + x] = p;
        }
    dst->WriteArgb(RECT{0, 0, LONG(d.Width), LONG(d.Height)}, out.data(), int(d.Width));
}

}  // namespace

// ---- Texture2D --------------------------------------------------------------

Texture2D::Texture2D(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool)
    : DeviceChild(device), m_pool(pool) {
    UINT full = FullMipCount(width, height);
    UINT count = (levels == 0 || levels > full) ? full : levels;
    if (usage & D3DUSAGE_AUTOGENMIPMAP) count = full;
    try {
        for (UINT i = 0; i < count; ++i)
            m_levels.push_back(new Surface(device, this, std::max(1u, width >> i), std::max(1u, height >> i),
                                           format, usage & ~D3DUSAGE_AUTOGENMIPMAP, pool, true));
        device->TextureCreated(this, this, this);
    } catch (...) {
        for (Surface* s : m_levels) s->DeleteOwned();
        DeviceRelease(device);
        throw;
    }
    if (pool == D3DPOOL_DEFAULT) device->DefaultPoolCreated();
}

Texture2D::~Texture2D() {
    m_device->TextureDestroyed(this);
    for (Surface* s : m_levels) s->DeleteOwned();
}

void Texture2D::OnLastPublicRelease() {
    if (m_pool == D3DPOOL_DEFAULT) m_device->DefaultPoolReleased();
}

HRESULT Texture2D::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsTextureIid(riid) || riid == IID_IDirect3DTexture9) {
        *ppv = static_cast<IDirect3DTexture9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT Texture2D::GetDevice(IDirect3DDevice9** ppDevice) {
    return GiveDevice<Texture2D>(m_device, ppDevice);
}

DWORD Texture2D::SetPriority(DWORD priority) {
    std::swap(priority, m_priority);
    return priority;
}

DWORD Texture2D::SetLOD(DWORD lod) {
    DWORD old = m_lod;
    if (m_pool == D3DPOOL_MANAGED) m_lod = std::min<DWORD>(lod, DWORD(m_levels.size()) - 1);
    return old;
}

HRESULT Texture2D::SetAutoGenFilterType(D3DTEXTUREFILTERTYPE type) {
    if (type != D3DTEXF_POINT && type != D3DTEXF_LINEAR) return D3DERR_INVALIDCALL;
    m_autoGenFilter = type;
    return S_OK;
}

void Texture2D::GenerateMipSubLevels() {
    m_device->FinishDrawing();  // level 0 may still be drawn into
    for (size_t i = 1; i < m_levels.size(); ++i) Downsample(m_levels[i - 1], m_levels[i]);
}

HRESULT Texture2D::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
    if (!pDesc || Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    *pDesc = m_levels[Level]->Desc();
    pDesc->Type = D3DRTYPE_SURFACE;
    return S_OK;
}

HRESULT Texture2D::GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) {
    if (!ppSurfaceLevel || Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    *ppSurfaceLevel = m_levels[Level];
    AddRef();
    return S_OK;
}

HRESULT Texture2D::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) {
    if (Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    return m_levels[Level]->LockRect(pLockedRect, pRect, Flags);
}

HRESULT Texture2D::UnlockRect(UINT Level) {
    if (Level >= m_levels.size()) return D3DERR_INVALIDCALL;
    return m_levels[Level]->UnlockRect();
}

HRESULT Texture2D::AddDirtyRect(const RECT*) { return S_OK; }

int Texture2D::GatherLevels(const ImageLevel*& levels) {
    m_images.resize(m_levels.size() - m_lod);
    for (size_t i = m_lod; i < m_levels.size(); ++i) m_images[i - m_lod] = m_levels[i]->Image();
    levels = m_images.data();
    return int(m_images.size());
}

// ---- CubeTexture ------------------------------------------------------------

CubeTexture::CubeTexture(Device* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device), m_pool(pool) {
    UINT full = FullMipCount(edge, edge);
    m_levelCount = (levels == 0 || levels > full) ? full : levels;
    try {
        for (UINT f = 0; f < 6; ++f)
            for (UINT i = 0; i < m_levelCount; ++i)
                m_faces.push_back(new Surface(device, this, std::max(1u, edge >> i), std::max(1u, edge >> i),
                                              format, usage & ~D3DUSAGE_AUTOGENMIPMAP, pool, true));
        device->TextureCreated(this, this, this);
    } catch (...) {
        for (Surface* s : m_faces) s->DeleteOwned();
        DeviceRelease(device);
        throw;
    }
    if (pool == D3DPOOL_DEFAULT) device->DefaultPoolCreated();
}

CubeTexture::~CubeTexture() {
    m_device->TextureDestroyed(this);
    for (Surface* s : m_faces) s->DeleteOwned();
}

void CubeTexture::OnLastPublicRelease() {
    if (m_pool == D3DPOOL_DEFAULT) m_device->DefaultPoolReleased();
}

HRESULT CubeTexture::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsTextureIid(riid) || riid == IID_IDirect3DCubeTexture9) {
        *ppv = static_cast<IDirect3DCubeTexture9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT CubeTexture::GetDevice(IDirect3DDevice9** ppDevice) {
    return GiveDevice<CubeTexture>(m_device, ppDevice);
}

DWORD CubeTexture::SetPriority(DWORD priority) {
    std::swap(priority, m_priority);
    return priority;
}

DWORD CubeTexture::SetLOD(DWORD lod) {
    DWORD old = m_lod;
    if (m_pool == D3DPOOL_MANAGED) m_lod = std::min<DWORD>(lod, m_levelCount - 1);
    return old;
}

HRESULT CubeTexture::SetAutoGenFilterType(D3DTEXTUREFILTERTYPE type) {
    if (type != D3DTEXF_POINT && type != D3DTEXF_LINEAR) return D3DERR_INVALIDCALL;
    m_autoGenFilter = type;
    return S_OK;
}

Surface* CubeTexture::Face(D3DCUBEMAP_FACES face, UINT level) const {
    if (UINT(face) > 5 || level >= m_levelCount) return nullptr;
    return m_faces[UINT(face) * m_levelCount + level];
}

HRESULT CubeTexture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
    Surface* s = Face(D3DCUBEMAP_FACE_POSITIVE_X, Level);
    if (!pDesc || !s) return D3DERR_INVALIDCALL;
    *pDesc = s->Desc();
    return S_OK;
}

HRESULT CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppSurface) {
    Surface* s = Face(FaceType, Level);
    if (!ppSurface || !s) return D3DERR_INVALIDCALL;
    *ppSurface = s;
    AddRef();
    return S_OK;
}

HRESULT CubeTexture::LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect,
                              const RECT* pRect, DWORD Flags) {
    Surface* s = Face(FaceType, Level);
    return s ? s->LockRect(pLockedRect, pRect, Flags) : D3DERR_INVALIDCALL;
}

HRESULT CubeTexture::UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level) {
    Surface* s = Face(FaceType, Level);
    return s ? s->UnlockRect() : D3DERR_INVALIDCALL;
}

HRESULT CubeTexture::AddDirtyRect(D3DCUBEMAP_FACES FaceType, const RECT*) {
    return UINT(FaceType) > 5 ? D3DERR_INVALIDCALL : S_OK;
}

int CubeTexture::GatherLevels(const ImageLevel*& levels) {
    levels = nullptr;
    return 0;
}

// ---- VolumeTexture ----------------------------------------------------------

VolumeTexture::VolumeTexture(Device* device, UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                             D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device), m_pool(pool) {
    UINT full = FullMipCount(width, height, depth);
    UINT count = (levels == 0 || levels > full) ? full : levels;
    try {
        for (UINT i = 0; i < count; ++i)
            m_volumes.push_back(new Volume(this, device, std::max(1u, width >> i), std::max(1u, height >> i),
                                           std::max(1u, depth >> i), format, usage, pool));
        device->TextureCreated(this, this, this);
    } catch (...) {
        for (Volume* v : m_volumes) v->DeleteOwned();
        DeviceRelease(device);
        throw;
    }
    if (pool == D3DPOOL_DEFAULT) device->DefaultPoolCreated();
}

VolumeTexture::~VolumeTexture() {
    m_device->TextureDestroyed(this);
    for (Volume* v : m_volumes) v->DeleteOwned();
}

void VolumeTexture::OnLastPublicRelease() {
    if (m_pool == D3DPOOL_DEFAULT) m_device->DefaultPoolReleased();
}

HRESULT VolumeTexture::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsTextureIid(riid) || riid == IID_IDirect3DVolumeTexture9) {
        *ppv = static_cast<IDirect3DVolumeTexture9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT VolumeTexture::GetDevice(IDirect3DDevice9** ppDevice) {
    return GiveDevice<VolumeTexture>(m_device, ppDevice);
}

DWORD VolumeTexture::SetPriority(DWORD priority) {
    std::swap(priority, m_priority);
    return priority;
}

DWORD VolumeTexture::SetLOD(DWORD lod) {
    DWORD old = m_lod;
    if (m_pool == D3DPOOL_MANAGED) m_lod = std::min<DWORD>(lod, DWORD(m_volumes.size()) - 1);
    return old;
}

HRESULT VolumeTexture::SetAutoGenFilterType(D3DTEXTUREFILTERTYPE type) {
    if (type != D3DTEXF_POINT && type != D3DTEXF_LINEAR) return D3DERR_INVALIDCALL;
    m_autoGenFilter = type;
    return S_OK;
}

HRESULT VolumeTexture::GetLevelDesc(UINT Level, D3DVOLUME_DESC* pDesc) {
    if (!pDesc || Level >= m_volumes.size()) return D3DERR_INVALIDCALL;
    return m_volumes[Level]->GetDesc(pDesc);
}

HRESULT VolumeTexture::GetVolumeLevel(UINT Level, IDirect3DVolume9** ppVolumeLevel) {
    if (!ppVolumeLevel || Level >= m_volumes.size()) return D3DERR_INVALIDCALL;
    *ppVolumeLevel = m_volumes[Level];
    AddRef();
    return S_OK;
}

HRESULT VolumeTexture::LockBox(UINT Level, D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags) {
    if (Level >= m_volumes.size()) return D3DERR_INVALIDCALL;
    return m_volumes[Level]->LockBox(pLockedVolume, pBox, Flags);
}

HRESULT VolumeTexture::UnlockBox(UINT Level) {
    if (Level >= m_volumes.size()) return D3DERR_INVALIDCALL;
    return m_volumes[Level]->UnlockBox();
}

HRESULT VolumeTexture::AddDirtyBox(const D3DBOX*) { return S_OK; }

int VolumeTexture::GatherLevels(const ImageLevel*& levels) {
    levels = nullptr;
    return 0;
}

// ---- Volume -----------------------------------------------------------------

Volume::Volume(VolumeTexture* container, Device* device, UINT width, UINT height, UINT depth,
               D3DFORMAT format, DWORD usage, D3DPOOL pool)
    : m_container(container), m_device(device) {
    m_desc = D3DVOLUME_DESC{format, D3DRTYPE_VOLUME, usage, pool, width, height, depth};
    m_rowPitch = width * ColorFormatBytes(format);
    m_slicePitch = m_rowPitch * height;
    m_bits.assign(size_t(m_slicePitch) * depth, 0);
}

HRESULT Volume::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DVolume9) {
        *ppv = static_cast<IDirect3DVolume9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT Volume::GetDevice(IDirect3DDevice9** ppDevice) { return GiveDevice<Volume>(m_device, ppDevice); }

HRESULT Volume::GetContainer(REFIID riid, void** ppContainer) {
    if (!ppContainer) return D3DERR_INVALIDCALL;
    return m_container->QueryInterface(riid, ppContainer);
}

HRESULT Volume::GetDesc(D3DVOLUME_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = m_desc;
    return S_OK;
}

HRESULT Volume::LockBox(D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD) {
    if (!pLockedVolume || m_locked) return D3DERR_INVALIDCALL;
    D3DBOX b{0, 0, m_desc.Width, m_desc.Height, 0, m_desc.Depth};
    if (pBox) {
        if (pBox->Left >= pBox->Right || pBox->Top >= pBox->Bottom || pBox->Front >= pBox->Back ||
            pBox->Right > m_desc.Width || pBox->Bottom > m_desc.Height || pBox->Back > m_desc.Depth)
            return D3DERR_INVALIDCALL;
        b = *pBox;
    }
    m_locked = true;
    pLockedVolume->RowPitch = INT(m_rowPitch);
    pLockedVolume->SlicePitch = INT(m_slicePitch);
    pLockedVolume->pBits = m_bits.data() + size_t(b.Front) * m_slicePitch + size_t(b.Top) * m_rowPitch +
                           size_t(b.Left) * ColorFormatBytes(m_desc.Format);
    return S_OK;
}

HRESULT Volume::UnlockBox() {
    if (!m_locked) return D3DERR_INVALIDCALL;
    m_locked = false;
    return S_OK;
}

}  // namespace plat::d3d9
