// The registry's file: its in-memory form, its text format and where it lives.
//
// Format (UTF-8 text, one item per line; blank lines and lines starting with
// ';' are ignored):
//   [HKEY_CURRENT_USER\Software\Tumbral\Kit]
//   "Skip Warning On REF"=dword:00000001
//   "Title"=sz:"Tumbral"
//   "Blob"=hex(3):01,ff,7a
// In key paths, names and texts, control characters, '"', '%' and ']' are
// written as %XX (the bytes of their UTF-8 form).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/win32kernel.h"

namespace plat {

struct RegistryValue {
    std::wstring name;  // as first written
    DWORD type = REG_NONE;
    std::vector<BYTE> data;  // REG_SZ: WCHARs with the terminator
};

struct RegistryKey {
    std::wstring path;                  // "HKEY_CURRENT_USER\\Software\\...", as first written
    std::vector<RegistryValue> values;  // in the order written
};

// Keys by lower-case path.
typedef std::map<std::wstring, RegistryKey> RegistryData;

std::wstring RegistryLower(const std::wstring& text);

// ERROR_SUCCESS, or ERROR_BADDB for text that is not a registry file.
LONG ParseRegistry(const std::string& text, RegistryData& out);
std::string SerializeRegistry(const RegistryData& data);

// $TUMBRAL_REGISTRY_FILE, else $XDG_CONFIG_HOME/tumbral/registry, else
// $HOME/.config/tumbral/registry; empty when none can be named.
std::string RegistryFilePath();
// A missing file is an empty registry. ERROR_CANTREAD when the file cannot be
// read, ERROR_BADDB when it cannot be parsed.
LONG LoadRegistryFile(RegistryData& out);
// Writes a temporary file beside it and renames it over; ERROR_CANTWRITE on failure.
LONG SaveRegistryFile(const RegistryData& data);

}  // namespace plat
