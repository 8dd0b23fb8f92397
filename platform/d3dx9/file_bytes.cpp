// Whole-file reads for the mesh, texture and effect loaders.
#include "platform/d3dx9/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/d3dx9mesh.h"
#include "platform/base/utf8.h"

namespace plat {
namespace {
constexpr long kMaxFileBytes = 256L << 20;
}

HRESULT FileNotFoundResult() { return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND); }

HRESULT ReadFileBytes(LPCSTR path, std::vector<uint8_t>* out) {
    out->clear();
    if (!path || !*path) return E_INVALIDARG;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        if (errno == EACCES) return E_ACCESSDENIED;
        return FileNotFoundResult();
    }
    HRESULT hr = S_OK;
    if (std::fseek(f, 0, SEEK_END) != 0) {
        hr = E_FAIL;
    } else {
        const long size = std::ftell(f);
        if (size < 0)
            hr = E_FAIL;
        else if (size > kMaxFileBytes)
            hr = D3DXERR_INVALIDDATA;
        else {
            out->resize(static_cast<size_t>(size));
            std::rewind(f);
            if (size > 0 && std::fread(out->data(), 1, out->size(), f) != out->size()) hr = E_FAIL;
        }
    }
    std::fclose(f);
    if (FAILED(hr)) out->clear();
    return hr;
}

HRESULT ReadFileBytes(LPCWSTR path, std::vector<uint8_t>* out) {
    out->clear();
    if (!path || !*path) return E_INVALIDARG;
    const std::string utf8 = WideToUtf8(path);
    return ReadFileBytes(utf8.c_str(), out);
}

}  // namespace plat
