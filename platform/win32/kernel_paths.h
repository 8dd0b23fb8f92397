// Path spelling shared by the platform: Windows-style paths with '\\' become
// native ones, so "media\\box.x" opens media/box.x.
#pragma once

#include <string>

#include "platform/win32types.h"

namespace plat {

// The UTF-8 path with every '\\' turned into '/'.
std::string NativePath(const wchar_t* path);
std::string NativePath(const std::wstring& path);

// The attributes of a file of this st_mode named `name`: folder, read-only
// (no write permission), hidden (a leaf name starting with '.'), else archive
// for a regular file, normal for anything else.
DWORD FileAttributesOf(unsigned mode, const std::wstring& name);

// The virtual folder of the built-in system libraries.
extern const wchar_t kSystemDirectory[];

}  // namespace plat
