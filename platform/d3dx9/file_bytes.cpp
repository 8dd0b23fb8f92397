// Whole-file reads for the mesh, texture and effect loaders.
#include "platform/d3dx9/file_bytes.h"

#include <string>

#include "platform/d3dx9mesh.h"
#include "platform/base/utf8.h"
#include "platform/base/regular_file.h"

namespace plat {
namespace {
constexpr size_t kMaxFileBytes = size_t(256) << 20;
}

HRESULT FileNotFoundResult() { return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND); }

HRESULT ReadFileBytes(LPCSTR path, std::vector<uint8_t>* out) {
    out->clear();
    if (!path || !*path) return E_INVALIDARG;
    switch (ReadRegularFile(path, kMaxFileBytes, out)) {
        case FileStatus::Ok:
            return S_OK;
        case FileStatus::NotFound:
            return FileNotFoundResult();
        case FileStatus::AccessDenied:
            return E_ACCESSDENIED;
        case FileStatus::TooLarge:
            return D3DXERR_INVALIDDATA;
        case FileStatus::OutOfMemory:
            return E_OUTOFMEMORY;
        case FileStatus::NotRegular:
        case FileStatus::ReadError:
            break;
    }
    return E_FAIL;
}

HRESULT ReadFileBytes(LPCWSTR path, std::vector<uint8_t>* out) {
    out->clear();
    if (!path || !*path) return E_INVALIDARG;
    const std::string utf8 = WideToUtf8(path);
    return ReadFileBytes(utf8.c_str(), out);
}

}  // namespace plat
