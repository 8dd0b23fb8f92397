// File handles: CreateFileW opens an existing file for reading, so that
// GetFileInformationByHandle can say what it is (volume and file index,
// size, times, links); CloseHandle closes it. Handles are kept in a table
// and checked before use.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/win32/kernel_paths.h"
#include "platform/win32kernel.h"

namespace {

struct OpenFile {
    int fd;
    std::wstring name;  // as given, for the hidden attribute
};

struct FileTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, OpenFile> files;
    uintptr_t next = 0x10000;  // handles are never reused
};

FileTable& Table() {
    static auto* table = new FileTable();  // never destroyed: handles may be closed at exit
    return *table;
}

DWORD ErrorOfOpen(int error) {
    switch (error) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        default:
            return ERROR_PATH_NOT_FOUND;
    }
}

FILETIME FileTimeOf(const timespec& t) {
    constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
    const uint64_t ticks =
        uint64_t(int64_t(t.tv_sec) + kSecondsFrom1601To1970) * 10000000u + uint64_t(t.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD /*dwShareMode*/,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                          DWORD /*dwFlagsAndAttributes*/, HANDLE /*hTemplateFile*/) {
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if ((dwDesiredAccess & ~GENERIC_READ) != 0 || dwCreationDisposition != OPEN_EXISTING) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = open(plat::NativePath(lpFileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        SetLastError(ErrorOfOpen(errno));
        return INVALID_HANDLE_VALUE;
    }
    FileTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const uintptr_t handle = table.next++;
    table.files.emplace(handle, OpenFile{fd, lpFileName});
    return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
    FileTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto it = table.files.find(reinterpret_cast<uintptr_t>(hFile));
    if (it == table.files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    struct stat st {};
    if (!lpFileInformation || fstat(it->second.fd, &st) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BY_HANDLE_FILE_INFORMATION& info = *lpFileInformation;
    info.dwFileAttributes = plat::FileAttributesOf(st.st_mode, it->second.name);
    info.ftCreationTime = FileTimeOf(st.st_ctim);
    info.ftLastAccessTime = FileTimeOf(st.st_atim);
    info.ftLastWriteTime = FileTimeOf(st.st_mtim);
    // The device number folded to 32 bits; the inode is the file index.
    const uint64_t device = static_cast<uint64_t>(st.st_dev);
    info.dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    info.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    info.nFileSizeLow = static_cast<DWORD>(size);
    info.nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    const uint64_t index = static_cast<uint64_t>(st.st_ino);
    info.nFileIndexHigh = static_cast<DWORD>(index >> 32);
    info.nFileIndexLow = static_cast<DWORD>(index);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    FileTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const auto it = table.files.find(reinterpret_cast<uintptr_t>(hObject));
    if (it == table.files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    close(it->second.fd);
    table.files.erase(it);
    return TRUE;
}
