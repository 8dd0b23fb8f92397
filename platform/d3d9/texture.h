// Textures: 2D textures with mip levels, cube textures and volume textures.
// 2D textures are sampled by the pipeline; cube and volume textures hold
// their pixels for loading and locking (the fixed-function path here has no
// texture-coordinate generation to sample them with).
#pragma once

#include <vector>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/surface.h"

namespace plat::d3d9 {

// What the pipeline reads of any bound texture.
class TextureBase {
  public:
    // The A8R8G8B8 levels to sample, or 0 levels when the texture cannot be sampled.
    virtual int GatherLevels(const ImageLevel*& levels) = 0;

  protected:
    ~TextureBase() = default;
};

// Number of levels of a full chain down to 1 x 1.
UINT FullMipCount(UINT width, UINT height, UINT depth = 1);

class Texture2D final : public DeviceChild<IDirect3DTexture9>, public TextureBase {
  public:
    // Throws std::bad_alloc when the pixels cannot be had.
    Texture2D(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
              D3DPOOL pool);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return m_priority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return m_lod; }
    DWORD GetLevelCount() override { return DWORD(m_levels.size()); }
    HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE type) override;
    D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return m_autoGenFilter; }
    void GenerateMipSubLevels() override;
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;
    HRESULT AddDirtyRect(const RECT* pDirtyRect) override;

    int GatherLevels(const ImageLevel*& levels) override;
    Surface* Level(UINT i) const { return i < m_levels.size() ? m_levels[i] : nullptr; }

  private:
    ~Texture2D() override;
    void OnLastPublicRelease() override;

    std::vector<Surface*> m_levels;
    std::vector<ImageLevel> m_images;
    D3DPOOL m_pool;
    DWORD m_priority = 0, m_lod = 0;
    D3DTEXTUREFILTERTYPE m_autoGenFilter = D3DTEXF_LINEAR;
};

class CubeTexture final : public DeviceChild<IDirect3DCubeTexture9>, public TextureBase {
  public:
    CubeTexture(Device* device, UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return m_priority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return m_lod; }
    DWORD GetLevelCount() override { return m_levelCount; }
    HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE type) override;
    D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return m_autoGenFilter; }
    void GenerateMipSubLevels() override {}
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level,
                              IDirect3DSurface9** ppCubeMapSurface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                     DWORD Flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level) override;
    HRESULT AddDirtyRect(D3DCUBEMAP_FACES FaceType, const RECT* pDirtyRect) override;

    int GatherLevels(const ImageLevel*& levels) override;

  private:
    ~CubeTexture() override;
    void OnLastPublicRelease() override;
    Surface* Face(D3DCUBEMAP_FACES face, UINT level) const;

    std::vector<Surface*> m_faces;  // face-major: face * levels + level
    UINT m_levelCount;
    D3DPOOL m_pool;
    DWORD m_priority = 0, m_lod = 0;
    D3DTEXTUREFILTERTYPE m_autoGenFilter = D3DTEXF_LINEAR;
};

class Volume;

class VolumeTexture final : public DeviceChild<IDirect3DVolumeTexture9>, public TextureBase {
  public:
    VolumeTexture(Device* device, UINT width, UINT height, UINT depth, UINT levels, DWORD usage,
                  D3DFORMAT format, D3DPOOL pool);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return m_priority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VOLUMETEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return m_lod; }
    DWORD GetLevelCount() override { return DWORD(m_volumes.size()); }
    HRESULT SetAutoGenFilterType(D3DTEXTUREFILTERTYPE type) override;
    D3DTEXTUREFILTERTYPE GetAutoGenFilterType() override { return m_autoGenFilter; }
    void GenerateMipSubLevels() override {}
    HRESULT GetLevelDesc(UINT Level, D3DVOLUME_DESC* pDesc) override;
    HRESULT GetVolumeLevel(UINT Level, IDirect3DVolume9** ppVolumeLevel) override;
    HRESULT LockBox(UINT Level, D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags) override;
    HRESULT UnlockBox(UINT Level) override;
    HRESULT AddDirtyBox(const D3DBOX* pDirtyBox) override;

    int GatherLevels(const ImageLevel*& levels) override;

  private:
    ~VolumeTexture() override;
    void OnLastPublicRelease() override;

    std::vector<Volume*> m_volumes;
    D3DPOOL m_pool;
    DWORD m_priority = 0, m_lod = 0;
    D3DTEXTUREFILTERTYPE m_autoGenFilter = D3DTEXF_LINEAR;
};

// One level of a volume texture: slices of pixels in the texture's format.
class Volume final : public IDirect3DVolume9 {
  public:
    Volume(VolumeTexture* container, Device* device, UINT width, UINT height, UINT depth, D3DFORMAT format,
           DWORD usage, D3DPOOL pool);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return m_container->AddRef(); }
    ULONG Release() override { return m_container->Release(); }
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DVOLUME_DESC* pDesc) override;
    HRESULT LockBox(D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags) override;
    HRESULT UnlockBox() override;
    void DeleteOwned() { delete this; }

  private:
    ~Volume() override = default;
    VolumeTexture* m_container;
    Device* m_device;
    D3DVOLUME_DESC m_desc{};
    std::vector<uint8_t> m_bits;
    UINT m_rowPitch, m_slicePitch;
    bool m_locked = false;
};

}  // namespace plat::d3d9
