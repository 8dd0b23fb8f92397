// Effect loaders. There is no shader compiler here, so no effect is ever
// created: the loaders say so with E_NOTIMPL, in the debug output and, when
// asked, in the compilation-errors buffer.
#include <string>

#include "platform/d3dx9/buffer.h"
#include "platform/d3dx9/file_bytes.h"
#include "platform/win32/kernel_resources.h"
#include "platform/d3dx9effect.h"
#include "platform/win32.h"

namespace {

HRESULT Refuse(const std::wstring& what, LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors) {
    if (ppEffect) *ppEffect = nullptr;
    const std::wstring line =
        L"D3DX: effect " + what + L" not created: effects are not supported (no shader compiler)\n";
    OutputDebugStringW(line.c_str());
    if (ppCompilationErrors) {
        const std::string text = "effects are not supported: no shader compiler is available";
        if (FAILED(plat::CreateBufferWith(text.c_str(), text.size() + 1, ppCompilationErrors)))
            *ppCompilationErrors = nullptr;
    }
    return E_NOTIMPL;
}

void ClearOutputs(LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors) {
    if (ppEffect) *ppEffect = nullptr;
    if (ppCompilationErrors) *ppCompilationErrors = nullptr;
}

}  // namespace

HRESULT D3DXCreateEffectFromFileW(IDirect3DDevice9* pDevice, LPCWSTR pSrcFile, const D3DXMACRO*,
                                  LPD3DXINCLUDE, DWORD, LPD3DXEFFECTPOOL, LPD3DXEFFECT* ppEffect,
                                  LPD3DXBUFFER* ppCompilationErrors) {
    ClearOutputs(ppEffect, ppCompilationErrors);
    if (!pDevice || !pSrcFile || !ppEffect) return E_INVALIDARG;
    std::vector<uint8_t> bytes;
    const HRESULT hr = plat::ReadFileBytes(pSrcFile, &bytes);
    if (FAILED(hr)) return hr;
    return Refuse(L"file \"" + std::wstring(pSrcFile) + L"\"", ppEffect, ppCompilationErrors);
}

HRESULT D3DXCreateEffectFromResourceW(IDirect3DDevice9* pDevice, HMODULE, LPCWSTR pSrcResource,
                                      const D3DXMACRO*, LPD3DXINCLUDE, DWORD, LPD3DXEFFECTPOOL,
                                      LPD3DXEFFECT* ppEffect, LPD3DXBUFFER* ppCompilationErrors) {
    ClearOutputs(ppEffect, ppCompilationErrors);
    if (!pDevice || !pSrcResource || !ppEffect) return E_INVALIDARG;
    const void* bytes = nullptr;
    size_t size = 0;
    if (!plat::FindBuiltinResource(pSrcResource, &bytes, &size)) return plat::FileNotFoundResult();
    const std::wstring name = IS_INTRESOURCE(pSrcResource)
                                  ? L"#" + std::to_wstring(static_cast<unsigned>(LOWORD(pSrcResource)))
                                  : std::wstring(pSrcResource);
    return Refuse(L"resource \"" + name + L"\"", ppEffect, ppCompilationErrors);
}
