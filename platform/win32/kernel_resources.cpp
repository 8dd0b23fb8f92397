// The table of the program's resources, and the Windows-style calls that find them.
#include "platform/win32/kernel_resources.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/resource_script.h"
#include "platform/win32kernel.h"

namespace plat {
namespace {

// A resource handle (HRSRC) points at its entry; map nodes stay where they are.
struct Entry {
    const void* bytes;
    size_t size;
};

struct Table {
    std::mutex lock;
    std::map<std::wstring, Entry> entries;
};

// Built on first use, so registrations from other files' static
// initialisers find it ready.
Table& TheTable() {
    static Table table;
    return table;
}

std::wstring Key(LPCWSTR nameOrId) {
    if (IS_INTRESOURCE(nameOrId)) return L"#" + std::to_wstring(static_cast<unsigned>(LOWORD(nameOrId)));
    std::wstring key(nameOrId);
    for (wchar_t& c : key)
        if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
    return key;
}

const Entry* FindEntry(LPCWSTR nameOrId) {
    if (!nameOrId) return nullptr;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    const auto it = t.entries.find(Key(nameOrId));
    return it == t.entries.end() ? nullptr : &it->second;
}

}  // namespace

void RegisterBuiltinResource(LPCWSTR name, const void* bytes, size_t size) {
    if (!name) return;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    t.entries[Key(name)] = Entry{bytes, size};
}

bool FindBuiltinResource(LPCWSTR nameOrId, const void** bytes, size_t* size) {
    const Entry* entry = FindEntry(nameOrId);
    if (entry == nullptr) return false;
    *bytes = entry->bytes;
    *size = entry->size;
    return true;
}

}  // namespace plat

// ---------------------------------------------------------------- Windows-style calls

void WINAPI AddModuleResource(LPCWSTR lpName, const void* pBytes, DWORD dwSize) {
    plat::RegisterBuiltinResource(lpName, pBytes, dwSize);
}

HRSRC WINAPI FindResourceW(HMODULE /*hModule*/, LPCWSTR lpName, LPCWSTR /*lpType*/) {
    const plat::Entry* entry = plat::FindEntry(lpName);
    if (entry == nullptr) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return reinterpret_cast<HRSRC>(const_cast<plat::Entry*>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE /*hModule*/, HRSRC hResInfo) {
    if (hResInfo == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<void*>(reinterpret_cast<const plat::Entry*>(hResInfo)->bytes);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE /*hModule*/, HRSRC hResInfo) {
    if (hResInfo == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(reinterpret_cast<const plat::Entry*>(hResInfo)->size);
}
