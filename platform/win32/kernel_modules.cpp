// The built-in module table behind LoadLibraryW/GetProcAddress/FreeLibrary,
// and the program's own module (file name, instance handle).
#include "platform/win32/kernel_modules.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>

#include "platform/win32/kernel_process.h"
#include "platform/base/utf8.h"

namespace {

struct Module {
    std::vector<plat::ModuleExport> exports;
    int refCount = 0;
};

struct ModuleTable {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<Module>> byName;  // lower-case file name
};

// Built on first use, so static registrations in any order find it.
ModuleTable& Table() {
    static ModuleTable* table = new ModuleTable;
    return *table;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The lower-case file name of a library path: the text after the last
// separator, with ".dll" added when there is no extension.
std::string ModuleKey(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = Lower(slash == std::string::npos ? path : path.substr(slash + 1));
    if (!name.empty() && name.find('.') == std::string::npos) name += ".dll";
    return name;
}

Module* FindLoaded(HMODULE handle) {
    for (auto& entry : Table().byName)
        if (reinterpret_cast<HMODULE>(entry.second.get()) == handle && entry.second->refCount > 0)
            return entry.second.get();
    return nullptr;
}

HMODULE Load(const std::string& path) {
    ModuleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.byName.find(ModuleKey(path));
    if (path.empty() || it == t.byName.end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++it->second->refCount;
    return reinterpret_cast<HMODULE>(it->second.get());
}

// Stands for the program itself; only its address is used.
HINSTANCE__ g_programInstance{};

}  // namespace

namespace plat {

bool RegisterBuiltinModule(const std::string& fileName, std::vector<ModuleExport> exports) {
    ModuleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto& module = t.byName[ModuleKey(fileName)];
    if (!module) module = std::make_unique<Module>();
    module->exports = std::move(exports);
    return true;
}

int BuiltinModuleRefCount(const std::string& fileName) {
    ModuleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.byName.find(ModuleKey(fileName));
    return it == t.byName.end() ? 0 : it->second->refCount;
}

HINSTANCE ProgramInstance() { return &g_programInstance; }

}  // namespace plat

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    return Load(lpLibFileName ? plat::WideToUtf8(lpLibFileName) : std::string());
}

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) { return Load(lpLibFileName ? lpLibFileName : ""); }

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    ModuleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    Module* module = FindLoaded(hModule);
    if (!module && hModule != plat::ProgramInstance()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The program exports nothing; ordinals are not offered.
    if (module && !IS_INTRESOURCE(lpProcName)) {
        for (const plat::ModuleExport& e : module->exports)
            if (std::strcmp(e.name, lpProcName) == 0 && e.proc) return e.proc;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    ModuleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    Module* module = FindLoaded(hLibModule);
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --module->refCount;
    return TRUE;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    if (!lpModuleName) return plat::ProgramInstance();
    ModuleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto it = t.byName.find(ModuleKey(plat::WideToUtf8(lpModuleName)));
    if (it == t.byName.end() || it->second->refCount == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(it->second.get());
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    if (hModule && hModule != plat::ProgramInstance()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::vector<char> buf(256);
    ssize_t n;
    while ((n = readlink("/proc/self/exe", buf.data(), buf.size())) == static_cast<ssize_t>(buf.size()))
        buf.resize(buf.size() * 2);
    if (n < 0 || !lpFilename || nSize == 0) {
        SetLastError(n < 0 ? ERROR_FILE_NOT_FOUND : ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::wstring path = plat::Utf8ToWide(std::string(buf.data(), static_cast<size_t>(n)));
    if (path.size() < nSize) {
        wmemcpy(lpFilename, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    wmemcpy(lpFilename, path.c_str(), nSize - 1);
    lpFilename[nSize - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}
