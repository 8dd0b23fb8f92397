// Registry functions over the registry file. Every call reads the file, so
// another instance's changes are seen, and every change writes it back; a key
// handle names a key path and the access it was opened with.
#include <cstring>
#include <map>
#include <mutex>

#include "platform/win32/kernel_registry_file.h"

namespace {

struct OpenKey {
    std::wstring path;
    REGSAM access = 0;
};

struct Handles {
    std::mutex lock;  // also serialises file access within the process
    std::map<HKEY, OpenKey> open;
    ULONG_PTR next = 0x10000;
};

Handles& TheHandles() {
    static Handles* handles = new Handles;
    return *handles;
}

const wchar_t* RootName(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return L"HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER) return L"HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE) return L"HKEY_LOCAL_MACHINE";
    if (key == HKEY_USERS) return L"HKEY_USERS";
    return nullptr;
}

bool IsRoot(const std::wstring& path) { return path.find(L'\\') == std::wstring::npos; }

// The key a handle stands for; roots have every access right.
bool Resolve(Handles& h, HKEY key, OpenKey& out) {
    if (const wchar_t* root = RootName(key)) {
        out = {root, KEY_ALL_ACCESS};
        return true;
    }
    auto it = h.open.find(key);
    if (it == h.open.end()) return false;
    out = it->second;
    return true;
}

// base + "\\" + each non-empty component of subKey.
std::wstring Join(const std::wstring& base, LPCWSTR subKey) {
    std::wstring path = base;
    std::wstring part;
    for (const wchar_t* p = subKey ? subKey : L"";; ++p) {
        if (*p == L'\\' || *p == 0) {
            if (!part.empty()) path += L"\\" + part;
            part.clear();
            if (*p == 0) break;
        } else {
            part += *p;
        }
    }
    return path;
}

bool KeyExists(const plat::RegistryData& data, const std::wstring& path) {
    return IsRoot(path) || data.count(plat::RegistryLower(path)) != 0;
}

HKEY NewHandle(Handles& h, const std::wstring& path, REGSAM access) {
    HKEY key = reinterpret_cast<HKEY>(h.next);
    h.next += 4;
    h.open[key] = {path, access};
    return key;
}

plat::RegistryValue* FindValue(plat::RegistryKey& key, LPCWSTR name) {
    const std::wstring wanted = plat::RegistryLower(name ? name : L"");
    for (plat::RegistryValue& v : key.values)
        if (plat::RegistryLower(v.name) == wanted) return &v;
    return nullptr;
}

// Loads the file and finds the key of an open handle with the needed access.
LONG OpenForAccess(Handles& h, HKEY hKey, REGSAM needed, plat::RegistryData& data, plat::RegistryKey*& key) {
    OpenKey open;
    if (!Resolve(h, hKey, open)) return ERROR_INVALID_HANDLE;
    if ((open.access & needed) != needed) return ERROR_ACCESS_DENIED;
    if (LONG r = plat::LoadRegistryFile(data); r != ERROR_SUCCESS) return r;
    auto it = data.find(plat::RegistryLower(open.path));
    if (it == data.end()) {
        if (!IsRoot(open.path)) return ERROR_KEY_DELETED;
        it = data.emplace(plat::RegistryLower(open.path), plat::RegistryKey{open.path, {}}).first;
    }
    key = &it->second;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    OpenKey base;
    if (!Resolve(h, hKey, base)) return ERROR_INVALID_HANDLE;
    plat::RegistryData data;
    if (LONG r = plat::LoadRegistryFile(data); r != ERROR_SUCCESS) return r;
    const std::wstring path = Join(base.path, lpSubKey);
    if (!KeyExists(data, path)) return ERROR_FILE_NOT_FOUND;
    *phkResult = NewHandle(h, path, samDesired);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM samDesired,
                               const SECURITY_ATTRIBUTES*, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    OpenKey base;
    if (!Resolve(h, hKey, base)) return ERROR_INVALID_HANDLE;
    plat::RegistryData data;
    if (LONG r = plat::LoadRegistryFile(data); r != ERROR_SUCCESS) return r;
    if (!KeyExists(data, base.path)) return ERROR_KEY_DELETED;
    const std::wstring path = Join(base.path, lpSubKey);
    const bool existed = KeyExists(data, path);
    if (!existed) {
        // The new key and every missing key above it.
        for (size_t pos = path.find(L'\\'); pos != std::wstring::npos; pos = path.find(L'\\', pos + 1)) {
            const std::wstring parent = path.substr(0, pos);
            if (!IsRoot(parent) && !KeyExists(data, parent)) data[plat::RegistryLower(parent)] = {parent, {}};
        }
        data[plat::RegistryLower(path)] = {path, {}};
        if (LONG r = plat::SaveRegistryFile(data); r != ERROR_SUCCESS) return r;
    }
    if (lpdwDisposition) *lpdwDisposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *phkResult = NewHandle(h, path, samDesired);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData) {
    if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    plat::RegistryData data;
    plat::RegistryKey* key = nullptr;
    if (LONG r = OpenForAccess(h, hKey, KEY_QUERY_VALUE, data, key); r != ERROR_SUCCESS) return r;
    const plat::RegistryValue* value = FindValue(*key, lpValueName);
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (lpType) *lpType = value->type;
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (lpData && *lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (lpData && size) std::memcpy(lpData, value->data.data(), size);
    if (lpcbData) *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                              DWORD cbData) {
    if ((!lpData && cbData) || (dwType == REG_DWORD && cbData != sizeof(DWORD)))
        return ERROR_INVALID_PARAMETER;
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    plat::RegistryData data;
    plat::RegistryKey* key = nullptr;
    if (LONG r = OpenForAccess(h, hKey, KEY_SET_VALUE, data, key); r != ERROR_SUCCESS) return r;
    plat::RegistryValue* value = FindValue(*key, lpValueName);
    if (!value) {
        key->values.push_back({lpValueName ? lpValueName : L"", REG_NONE, {}});
        value = &key->values.back();
    }
    value->type = dwType;
    value->data.assign(lpData, lpData + cbData);
    return plat::SaveRegistryFile(data);
}

LSTATUS WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    plat::RegistryData data;
    plat::RegistryKey* key = nullptr;
    if (LONG r = OpenForAccess(h, hKey, KEY_SET_VALUE, data, key); r != ERROR_SUCCESS) return r;
    const plat::RegistryValue* value = FindValue(*key, lpValueName);
    if (!value) return ERROR_FILE_NOT_FOUND;
    key->values.erase(key->values.begin() + (value - key->values.data()));
    return plat::SaveRegistryFile(data);
}

LSTATUS WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) {
    if (!lpSubKey || !*lpSubKey) return ERROR_INVALID_PARAMETER;
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    OpenKey base;
    if (!Resolve(h, hKey, base)) return ERROR_INVALID_HANDLE;
    plat::RegistryData data;
    if (LONG r = plat::LoadRegistryFile(data); r != ERROR_SUCCESS) return r;
    const std::wstring path = plat::RegistryLower(Join(base.path, lpSubKey));
    if (IsRoot(path) || !data.count(path)) return IsRoot(path) ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    // A key with sub-keys cannot be deleted.
    const auto child = data.lower_bound(path + L"\\");
    if (child != data.end() && child->first.rfind(path + L"\\", 0) == 0) return ERROR_ACCESS_DENIED;
    data.erase(path);
    return plat::SaveRegistryFile(data);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    if (RootName(hKey)) return ERROR_SUCCESS;
    Handles& h = TheHandles();
    std::lock_guard<std::mutex> guard(h.lock);
    return h.open.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
