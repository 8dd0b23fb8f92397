// Reading whole files for the loaders, with Windows-style result codes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32types.h"

namespace plat {

// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) for a missing file,
// E_ACCESSDENIED when it may not be read, D3DXERR_INVALIDDATA for a file over
// 256 MiB, E_FAIL for anything but a regular file (a directory, a FIFO, a
// device; refused without blocking) and for other read errors.
HRESULT ReadFileBytes(LPCWSTR path, std::vector<uint8_t>* out);
HRESULT ReadFileBytes(LPCSTR path, std::vector<uint8_t>* out);

// The result code for a file that does not exist.
HRESULT FileNotFoundResult();

}  // namespace plat
