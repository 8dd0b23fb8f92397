// Files and folders: attributes, full paths, the current folder and the
// virtual system folder.
#include "platform/win32/kernel_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/base/utf8.h"
#include "platform/win32kernel.h"

namespace plat {

const wchar_t kSystemDirectory[] = L"/system";

std::string NativePath(const std::wstring& path) {
    std::string utf8 = WideToUtf8(path);
    for (char& c : utf8)
        if (c == '\\') c = '/';
    return utf8;
}

std::string NativePath(const wchar_t* path) { return NativePath(std::wstring(path ? path : L"")); }

DWORD FileAttributesOf(unsigned mode, const std::wstring& name) {
    DWORD attributes = 0;
    if (S_ISDIR(mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!(mode & (S_IWUSR | S_IWGRP | S_IWOTH))) attributes |= FILE_ATTRIBUTE_READONLY;
    const size_t slash = name.find_last_of(L"/\\");
    const std::wstring leaf = slash == std::wstring::npos ? name : name.substr(slash + 1);
    if (leaf.size() > 1 && leaf[0] == L'.' && leaf != L"..") attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (attributes == 0) attributes = S_ISREG(mode) ? FILE_ATTRIBUTE_ARCHIVE : FILE_ATTRIBUTE_NORMAL;
    return attributes;
}

}  // namespace plat

namespace {

// The buffer rule of the path functions: copy when it fits (result = length),
// otherwise the needed capacity with the terminator.
DWORD HandBack(const std::wstring& text, DWORD capacity, LPWSTR buffer) {
    if (!buffer || text.size() + 1 > capacity) return static_cast<DWORD>(text.size() + 1);
    wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool CurrentDirectory(std::wstring& out) {
    std::vector<char> buf(256);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return false;
        buf.resize(buf.size() * 2);
    }
    out = plat::Utf8ToWide(buf.data());
    return true;
}

// Joins to the current folder when relative, then resolves "." and ".."
// textually (".." at the root stays at the root).
bool FullPath(const std::wstring& in, std::wstring& out) {
    std::wstring path = in;
    for (wchar_t& c : path)
        if (c == L'\\') c = L'/';
    if (path.empty() || path[0] != L'/') {
        std::wstring cwd;
        if (!CurrentDirectory(cwd)) return false;
        path = cwd + L"/" + path;
    }
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'/', start);
        if (end == std::wstring::npos) end = path.size();
        std::wstring part = path.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    out.clear();
    for (const std::wstring& part : parts) out += L"/" + part;
    // A trailing separator names the folder itself; keep it as written.
    if (out.empty() || (path.back() == L'/' && !parts.empty())) out += L"/";
    return true;
}

}  // namespace

DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat st {};
    if (stat(plat::NativePath(lpFileName).c_str(), &st) != 0) {
        SetLastError(errno == ENOENT   ? ERROR_FILE_NOT_FOUND
                     : errno == EACCES ? ERROR_ACCESS_DENIED
                                       : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return plat::FileAttributesOf(st.st_mode, lpFileName);
}

DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart) {
    if (lpFilePart) *lpFilePart = nullptr;
    std::wstring full;
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!FullPath(lpFileName, full)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    const DWORD result = HandBack(full, nBufferLength, lpBuffer);
    if (lpFilePart && lpBuffer && result < nBufferLength && full.back() != L'/') {
        *lpFilePart = lpBuffer + full.find_last_of(L'/') + 1;
    }
    return result;
}

DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) {
    std::wstring cwd;
    if (!CurrentDirectory(cwd)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return HandBack(cwd, nBufferLength, lpBuffer);
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName) {
    if (!lpPathName || chdir(plat::NativePath(lpPathName).c_str()) != 0) {
        SetLastError(lpPathName ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

UINT WINAPI GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return HandBack(plat::kSystemDirectory, uSize, lpBuffer);
}
