// D3DX effects: loaders that report that no shader compiler exists here.
//
// D3DXCreateEffectFromFileW and D3DXCreateEffectFromResourceW never create an
// effect. They return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when the file
// or resource does not exist, E_INVALIDARG for null arguments, and E_NOTIMPL
// otherwise; the reason goes to the debug output and, when asked for, into
// the compilation-errors buffer as zero-terminated text.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3dx9mesh.h"

struct IDirect3DDevice9;

// Compile flags (accepted and ignored).
#define D3DXSHADER_DEBUG (1 << 0)
#define D3DXSHADER_SKIPVALIDATION (1 << 1)
#define D3DXSHADER_SKIPOPTIMIZATION (1 << 2)
#define D3DXFX_NOT_CLONEABLE (1 << 11)

// A preprocessor definition for the effect compiler; a list ends with {null, null}.
struct D3DXMACRO {
    LPCSTR Name;
    LPCSTR Definition;
};
typedef D3DXMACRO* LPD3DXMACRO;

// Include handler and effect pool: opaque here.
struct ID3DXInclude;
typedef ID3DXInclude* LPD3DXINCLUDE;
struct ID3DXEffectPool;
typedef ID3DXEffectPool* LPD3DXEFFECTPOOL;

// An effect bound to a device; the loaders never produce one, so only the
// calls the framework's resource cache makes are declared.
struct ID3DXEffect : IUnknown {
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXEffect* LPD3DXEFFECT;

HRESULT D3DXCreateEffectFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, const D3DXMACRO* pDefines,
                                  LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool,
                                  LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors);
HRESULT D3DXCreateEffectFromResourceW(IDirect3DDevice9* pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                      const D3DXMACRO* pDefines, LPD3DXINCLUDE pInclude, DWORD Flags,
                                      LPD3DXEFFECTPOOL pPool, LPD3DXEFFECT* ppEffect,
                                      LPD3DXBUFFER* ppCompilationErrors);
#define D3DXCreateEffectFromFile D3DXCreateEffectFromFileW
#define D3DXCreateEffectFromResource D3DXCreateEffectFromResourceW
