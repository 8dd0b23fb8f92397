// Path spelling shared by the platform: Windows-style paths with '\\' become
// native ones, so "media\\box.x" opens media/box.x.
#pragma once

#include <string>

#include "platform/win32types.h"

namespace plat {

// The UTF-8 path with every '\\' turned into '/'.
std::string NativePath(const wchar_t* path);
std::string NativePath(const std::wstring& path);

// The virtual folder of the built-in system libraries.
extern const wchar_t kSystemDirectory[];

}  // namespace plat
