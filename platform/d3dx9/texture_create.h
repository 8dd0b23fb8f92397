// Creating 2D, cube and volume textures from a decoded image: sizes, levels
// and format from the request, resampling, colour key, box-filtered mip
// levels, and the upload through LockRect/LockBox.
#pragma once

#include "platform/d3dx9/image.h"
#include "platform/d3dx9tex.h"

namespace plat {

struct TextureRequest {
    UINT width = D3DX_DEFAULT;  // or the cube's edge
    UINT height = D3DX_DEFAULT;
    UINT depth = D3DX_DEFAULT;
    UINT mipLevels = D3DX_DEFAULT;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_MANAGED;
    DWORD filter = D3DX_DEFAULT;
    DWORD mipFilter = D3DX_DEFAULT;
    D3DCOLOR colorKey = 0;
};

// The image is only read; its texels reach the texture a row at a time.
HRESULT CreateTextureFromImage(IDirect3DDevice9* device, const Image& image, const TextureRequest& req,
                               IDirect3DTexture9** ppTexture);
// Needs a DDS cube map; anything else is D3DXERR_INVALIDDATA.
HRESULT CreateCubeTextureFromImage(IDirect3DDevice9* device, const Image& image, const TextureRequest& req,
                                   IDirect3DCubeTexture9** ppTexture);
// Accepts DDS volumes and 2D images (depth 1); cube maps are D3DXERR_INVALIDDATA.
HRESULT CreateVolumeTextureFromImage(IDirect3DDevice9* device, const Image& image, const TextureRequest& req,
                                     IDirect3DVolumeTexture9** ppTexture);

}  // namespace plat
