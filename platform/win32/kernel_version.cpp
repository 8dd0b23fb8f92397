// GetVersionExW: an NT-family platform of version 6.1, the host named in the
// service-pack text.
#include <sys/utsname.h>

#include <cwchar>

#include "platform/base/utf8.h"
#include "platform/win32kernel.h"

BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
    if (!lpVersionInformation || lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpVersionInformation->dwMajorVersion = 6;
    lpVersionInformation->dwMinorVersion = 1;
    lpVersionInformation->dwBuildNumber = 7601;
    lpVersionInformation->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::wstring host;
    utsname name{};
    if (uname(&name) == 0) host = plat::Utf8ToWide(std::string(name.sysname) + " " + name.release);
    StringCchCopyW(lpVersionInformation->szCSDVersion, 128, host.c_str());
    return TRUE;
}
