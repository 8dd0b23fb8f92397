// D3DX textures: images from files, memory and built-in resources.
//
// Readable images: BMP, PNG, JPEG, TGA, and DDS with uncompressed RGB/RGBA
// channel masks (2D, cube and volume). Sizes may be given, taken from the
// file (D3DX_DEFAULT_NONPOW2, D3DX_FROM_FILE, 0) or rounded up to powers of two
// (D3DX_DEFAULT); the image is resampled to the texture size, and mip levels
// below the top are built with a box filter.
//
// Results: S_OK; E_INVALIDARG for a null device, name, data or output;
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) for a missing file or resource;
// D3DXERR_INVALIDDATA for bytes that are no readable image (truncated,
// unknown format, compressed DDS, absurd sizes); device errors from creating
// or locking the texture.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3dx9mesh.h"

struct IDirect3DDevice9;
struct IDirect3DTexture9;
struct IDirect3DCubeTexture9;
struct IDirect3DVolumeTexture9;
struct PALETTEENTRY;

// Size and level arguments.
#define D3DX_DEFAULT ((UINT)-1)  // size: from the file, rounded up to a power of two; levels: a full chain
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)  // size: exactly the file's
#define D3DX_FROM_FILE ((UINT)-3)        // size or levels: exactly the file's
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)

// Filters. The low byte selects the method; every method other than NONE and
// POINT resamples with a box filter here.
#define D3DX_FILTER_NONE (1 << 0)
#define D3DX_FILTER_POINT (2 << 0)
#define D3DX_FILTER_LINEAR (3 << 0)
#define D3DX_FILTER_TRIANGLE (4 << 0)
#define D3DX_FILTER_BOX (5 << 0)
#define D3DX_FILTER_MIRROR_U (1 << 16)
#define D3DX_FILTER_MIRROR_V (2 << 16)
#define D3DX_FILTER_MIRROR_W (4 << 16)
#define D3DX_FILTER_MIRROR (7 << 16)
#define D3DX_FILTER_DITHER (1 << 19)
#define D3DX_FILTER_DITHER_DIFFUSION (2 << 19)
#define D3DX_FILTER_SRGB_IN (1 << 21)
#define D3DX_FILTER_SRGB_OUT (2 << 21)
#define D3DX_FILTER_SRGB (3 << 21)

enum D3DXIMAGE_FILEFORMAT {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
    D3DXIFF_FORCE_DWORD = 0x7fffffff
};

// What a source image holds.
struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;                    // 1 unless a volume
    UINT MipLevels;                // levels stored in the file (1 for everything but DDS)
    D3DFORMAT Format;              // closest device format of the file's pixels
    D3DRESOURCETYPE ResourceType;  // D3DRTYPE_TEXTURE, _CUBETEXTURE or _VOLUMETEXTURE
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// ---------------------------------------------------------------------------
// Image information without creating anything.
HRESULT D3DXGetImageInfoFromFileW(LPCWSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo);
HRESULT D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo);
HRESULT D3DXGetImageInfoFromFileInMemory(LPCVOID pSrcData, UINT SrcDataSize, D3DXIMAGE_INFO* pSrcInfo);
HRESULT D3DXGetImageInfoFromResourceW(HMODULE hSrcModule, LPCWSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo);
#define D3DXGetImageInfoFromFile D3DXGetImageInfoFromFileW
#define D3DXGetImageInfoFromResource D3DXGetImageInfoFromResourceW

// ---------------------------------------------------------------------------
// 2D textures. The short forms use D3DX_DEFAULT sizes and levels, usage 0,
// D3DFMT_UNKNOWN, D3DPOOL_MANAGED, default filters, no colour key.
// D3DFMT_UNKNOWN or D3DFMT_FROM_FILE gives A8R8G8B8 when the image has alpha
// (or a colour key is given) and X8R8G8B8 otherwise; so does a format the
// loader cannot write. Writable formats: A8R8G8B8, X8R8G8B8, A8B8G8R8,
// X8B8G8R8, R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4, X4R4G4B4, A8L8,
// A8, L8. A non-zero ColorKey (ARGB) turns matching texels into transparent
// black. pPalette is accepted and ignored (no palettised formats).
// pSrcInfo receives the source image's description.
HRESULT D3DXCreateTexture(IDirect3DDevice9* pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                          D3DFORMAT Format, D3DPOOL Pool, IDirect3DTexture9** ppTexture);

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* pDevice, LPCSTR pSrcFile, IDirect3DTexture9** ppTexture);
HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                   IDirect3DTexture9** ppTexture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                     DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                     D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                     IDirect3DTexture9** ppTexture);
HRESULT D3DXCreateTextureFromFileExW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                     DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                     D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                     IDirect3DTexture9** ppTexture);
HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                          IDirect3DTexture9** ppTexture);
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                            UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                            D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                            PALETTEENTRY* pPalette, IDirect3DTexture9** ppTexture);
// Resources are the program's built-in table (any module handle names it);
// an integer identifier n (MAKEINTRESOURCE) is looked up as the name "#n".
HRESULT D3DXCreateTextureFromResourceW(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                       IDirect3DTexture9** ppTexture);
HRESULT D3DXCreateTextureFromResourceExW(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                         UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                         D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                         D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                         IDirect3DTexture9** ppTexture);
#define D3DXCreateTextureFromFile D3DXCreateTextureFromFileW
#define D3DXCreateTextureFromFileEx D3DXCreateTextureFromFileExW
#define D3DXCreateTextureFromResource D3DXCreateTextureFromResourceW
#define D3DXCreateTextureFromResourceEx D3DXCreateTextureFromResourceExW

// ---------------------------------------------------------------------------
// Cube textures: from DDS cube maps with all six faces (Size is the edge);
// any other image is D3DXERR_INVALIDDATA.
HRESULT D3DXCreateCubeTextureFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                       IDirect3DCubeTexture9** ppCubeTexture);
HRESULT D3DXCreateCubeTextureFromFileExW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Size,
                                         UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                         DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                         D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                         IDirect3DCubeTexture9** ppCubeTexture);
HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                UINT Size, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                                D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                PALETTEENTRY* pPalette,
                                                IDirect3DCubeTexture9** ppCubeTexture);
HRESULT D3DXCreateCubeTextureFromResourceExW(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                             LPCWSTR pSrcResource, UINT Size, UINT MipLevels, DWORD Usage,
                                             D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                             D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                             PALETTEENTRY* pPalette, IDirect3DCubeTexture9** ppCubeTexture);
#define D3DXCreateCubeTextureFromFile D3DXCreateCubeTextureFromFileW
#define D3DXCreateCubeTextureFromFileEx D3DXCreateCubeTextureFromFileExW
#define D3DXCreateCubeTextureFromResourceEx D3DXCreateCubeTextureFromResourceExW

// ---------------------------------------------------------------------------
// Volume textures: from DDS volumes, or from any 2D image as depth 1.
HRESULT D3DXCreateVolumeTextureFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile,
                                         IDirect3DVolumeTexture9** ppVolumeTexture);
HRESULT D3DXCreateVolumeTextureFromFileExW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, UINT Width,
                                           UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                           D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                           D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                           PALETTEENTRY* pPalette, IDirect3DVolumeTexture9** ppVolumeTexture);
HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* pDevice, LPCVOID pSrcData,
                                                  UINT SrcDataSize, UINT Width, UINT Height, UINT Depth,
                                                  UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                  DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                  D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                  IDirect3DVolumeTexture9** ppVolumeTexture);
HRESULT D3DXCreateVolumeTextureFromResourceExW(IDirect3DDevice9* pDevice, HMODULE hSrcModule,
                                               LPCWSTR pSrcResource, UINT Width, UINT Height, UINT Depth,
                                               UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                               DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                               D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                               IDirect3DVolumeTexture9** ppVolumeTexture);
#define D3DXCreateVolumeTextureFromFile D3DXCreateVolumeTextureFromFileW
#define D3DXCreateVolumeTextureFromFileEx D3DXCreateVolumeTextureFromFileExW
#define D3DXCreateVolumeTextureFromResourceEx D3DXCreateVolumeTextureFromResourceExW
