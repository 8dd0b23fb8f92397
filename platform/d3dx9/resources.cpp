// The table of built-in resources.
#include "platform/d3dx9/resources.h"

#include <map>
#include <mutex>
#include <string>

namespace plat {
namespace {

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

}  // namespace

void RegisterBuiltinResource(LPCWSTR name, const void* bytes, size_t size) {
    if (!name) return;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    t.entries[Key(name)] = Entry{bytes, size};
}

bool FindBuiltinResource(LPCWSTR nameOrId, const void** bytes, size_t* size) {
    if (!nameOrId) return false;
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    const auto it = t.entries.find(Key(nameOrId));
    if (it == t.entries.end()) return false;
    *bytes = it->second.bytes;
    *size = it->second.size;
    return true;
}

}  // namespace plat
