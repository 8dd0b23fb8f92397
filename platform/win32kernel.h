// Windows-style system services: last error, registry, clipboard memory, files,
// modules, command line, timing, debug output, critical sections, code pages.
//
// Paths: every function that takes a path accepts both '\\' and '/' as
// separators (a Windows-style "media\\box.x" works as is); paths handed back
// (module file name, full path, current directory) use the native '/'.
// Text is UTF-32 wchar_t; the "ANSI" code page is UTF-8.
#pragma once

#include <cstring>

#include "platform/win32types.h"

// ---------------------------------------------------------------- basics

#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu

#define ZeroMemory(dst, len) memset((dst), 0, (len))
#define FillMemory(dst, len, fill) memset((dst), (fill), (len))
#define CopyMemory(dst, src, len) memcpy((dst), (src), (len))
#define MoveMemory(dst, src, len) memmove((dst), (src), (len))

typedef LONG LSTATUS;
typedef BOOL* LPBOOL;
typedef HKEY* PHKEY;
typedef DWORD REGSAM;
typedef UINT MMRESULT;

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

// ---------------------------------------------------------------- last error

// Error codes (the per-thread "last error" and the registry's LSTATUS results).
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_BAD_ARGUMENTS 160L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NOT_LOCKED 158L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_BADDB 1009L  // registry file is corrupt
#define ERROR_BADKEY 1010L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTREAD 1012L   // registry file exists but cannot be read
#define ERROR_CANTWRITE 1013L  // registry file cannot be written
#define ERROR_REGISTRY_CORRUPT 1015L
#define ERROR_KEY_DELETED 1018L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define ERROR_DEVICE_NOT_CONNECTED 1167L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_CLIPBOARD_NOT_OPEN 1418L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

// ---------------------------------------------------------------- registry
//
// Kept in a small text file: $TUMBRAL_REGISTRY_FILE if set, else
// $XDG_CONFIG_HOME/tumbral/registry, else ~/.config/tumbral/registry. The file
// is re-read when a key is opened and rewritten atomically (temporary file and
// rename) after every change. A file that cannot be read or parsed gives
// ERROR_CANTREAD / ERROR_BADDB and is never overwritten.
// Key and value names compare without regard to case.

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003u)

#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_NOTIFY 0x0010u
#define KEY_WOW64_64KEY 0x0100u
#define KEY_WOW64_32KEY 0x0200u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0xF003Fu

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_MULTI_SZ 7u
#define REG_QWORD 11u

#define REG_OPTION_NON_VOLATILE 0u
#define REG_OPTION_VOLATILE 1u
#define REG_CREATED_NEW_KEY 1u
#define REG_OPENED_EXISTING_KEY 2u

LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                               REGSAM samDesired, const SECURITY_ATTRIBUTES* lpSecurityAttributes,
                               PHKEY phkResult, LPDWORD lpdwDisposition);
LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult);
// REG_SZ data is sizeof(WCHAR) bytes per character, terminator included.
LSTATUS WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData);
LSTATUS WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData);
LSTATUS WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
LSTATUS WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
LSTATUS WINAPI RegCloseKey(HKEY hKey);

// ---------------------------------------------------------------- global and local memory

#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// Handles are checked against a table: a stale or made-up handle fails with
// ERROR_INVALID_HANDLE and is never dereferenced.
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID WINAPI GlobalLock(HGLOBAL hMem);
BOOL WINAPI GlobalUnlock(HGLOBAL hMem);   // FALSE with last error NO_ERROR when the block is now unlocked
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);  // NULL on success, the handle on failure
SIZE_T WINAPI GlobalSize(HGLOBAL hMem);
HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL WINAPI LocalFree(HLOCAL hMem);

// ---------------------------------------------------------------- clipboard
//
// Text only, over the backend's clipboard. Data handed to SetClipboardData
// belongs to the clipboard afterwards; the handle GetClipboardData returns
// belongs to the clipboard and stays valid until the clipboard is emptied or
// read again.

#define CF_TEXT 1u
#define CF_UNICODETEXT 13u

BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
BOOL WINAPI CloseClipboard();
BOOL WINAPI EmptyClipboard();
HANDLE WINAPI GetClipboardData(UINT uFormat);
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
BOOL WINAPI IsClipboardFormatAvailable(UINT format);

// ---------------------------------------------------------------- files and folders

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u

// INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND when
// nothing is there.
DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName);
// The buffer functions below follow one rule: when the text fits they return
// its length without the terminator; otherwise they write nothing and return
// the capacity needed, terminator included. 0 means failure (see GetLastError).
// GetFullPathNameW makes a path absolute against the current directory and
// resolves "." and ".." textually; `lpFilePart` (optional) gets the last component.
DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart);
DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer);
BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName);
// Opening a file to learn what it is. Only reading an existing file or folder
// is offered: dwDesiredAccess 0 or GENERIC_READ with OPEN_EXISTING; anything
// else fails with ERROR_ACCESS_DENIED. The share mode, security attributes,
// flags and template are accepted and ignored. A FIFO or device opens without
// waiting. Failures give INVALID_HANDLE_VALUE and ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED or ERROR_INVALID_PARAMETER.
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// What a file is: the volume it is on and its index there name the file
// itself, whatever path was used to open it (hard and symbolic links
// included). Times are 100 ns intervals since 1601-01-01 UTC.
struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;  // the last status change: Linux keeps no creation time here
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
};
typedef BY_HANDLE_FILE_INFORMATION* LPBY_HANDLE_FILE_INFORMATION;

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// FALSE with ERROR_INVALID_HANDLE for a handle that is not an open file.
BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation);
// Closes a handle from CreateFileW; FALSE with ERROR_INVALID_HANDLE for any other value.
BOOL WINAPI CloseHandle(HANDLE hObject);
// The virtual folder of the built-in system libraries: "/system". LoadLibraryW
// finds "d3d9.dll" as "/system\\d3d9.dll", "/system/d3d9.dll" or "D3D9.DLL".
UINT WINAPI GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize);

// ---------------------------------------------------------------- modules

// Entry points come back as this type; cast to the real signature.
// (void(*)(void) is the type GCC lets one cast to any function pointer.)
typedef void(WINAPI* FARPROC)(void);

// The program's file name (/proc/self/exe). When the buffer is too small the
// name is truncated and terminated, the result is nSize, and the last error
// ERROR_INSUFFICIENT_BUFFER. hModule must be NULL or the program's handle.
DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
// NULL: the program's instance. A name: a loaded built-in module, else NULL.
HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
// Built-in modules only ("winmm.dll", "d3d9.dll", "xinput1_3.dll", ...): the
// file name after the last separator is matched without regard to case; the
// ".dll" extension may be left out. Unknown names give NULL and
// ERROR_MOD_NOT_FOUND. Each load counts a reference.
HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
// NULL and ERROR_PROC_NOT_FOUND for a missing export (or an ordinal);
// ERROR_INVALID_HANDLE for a handle that is not a loaded module.
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// Drops one reference; at zero the module is unloaded and its handle stale.
BOOL WINAPI FreeLibrary(HMODULE hLibModule);

// Resources of the program's module (what a resource script compiled into it
// holds; see platform/resource_script.h). Every module handle names the same
// table; names compare without regard to ASCII case and an integer identifier n
// (MAKEINTRESOURCE) is the name "#n". Types are not kept apart: any type finds a
// resource by its name. A resource stays loaded and locked for the program's life.
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_RCDATA MAKEINTRESOURCEW(10)
// NULL and ERROR_RESOURCE_NAME_NOT_FOUND when there is no such resource.
HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);

// Results of the timer-resolution entry points of "winmm.dll".
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u

// ---------------------------------------------------------------- command line

// The process command line: the program and its arguments, each quoted when
// it holds blanks or quotes, so CommandLineToArgvW gives the arguments back.
LPWSTR WINAPI GetCommandLineW();
// Splits with Windows rules: the first argument (the program) ends at the next
// blank, or at the closing quote when it starts with one. Later arguments:
// blanks separate outside quotes; 2n backslashes before a quote give n
// backslashes and the quote toggles quoting; 2n+1 give n and a literal quote;
// backslashes elsewhere are literal; "" inside quotes is a literal quote.
// An empty line gives the program's file name. Free the result with LocalFree.
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR lpCmdLine, int* pNumArgs);

// ---------------------------------------------------------------- time

// The platform clock (platform/manual_clock.h: CLOCK_MONOTONIC, or a test's
// manual clock) in nanoseconds; the frequency is 1,000,000,000.
BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
// With a manual clock installed, Sleep advances it instead of waiting.
void WINAPI Sleep(DWORD dwMilliseconds);
// Milliseconds of the platform clock (wraps after 49.7 days).
DWORD WINAPI GetTickCount();
ULONGLONG WINAPI GetTickCount64();

// ---------------------------------------------------------------- debugging

// Debug output goes to standard error, or as TUMBRAL_DEBUG_OUTPUT says:
// a file path (appended to), or "off".
void WINAPI OutputDebugStringW(LPCWSTR lpOutputString);
void WINAPI OutputDebugStringA(LPCSTR lpOutputString);
// True when a tracer is attached (TracerPid in /proc/self/status).
BOOL WINAPI IsDebuggerPresent();
// Raises SIGTRAP when a debugger is attached; does nothing otherwise.
void WINAPI DebugBreak();

// ---------------------------------------------------------------- critical sections

// A recursive lock. Plain storage, so an object holding one may be cleared
// with memset before InitializeCriticalSection.
struct CRITICAL_SECTION {
    alignas(8) unsigned char opaque[64];
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

// ---------------------------------------------------------------- platform version

#define VER_PLATFORM_WIN32_NT 2u

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;  // set to sizeof(OSVERSIONINFOW) before the call
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
typedef OSVERSIONINFOW* LPOSVERSIONINFOW;

// Reports an NT-family platform, version 6.1 build 7601 (nothing here depends
// on the number), with the host system's name and release in szCSDVersion.
// FALSE and ERROR_INVALID_PARAMETER when the size field is wrong.
BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation);

// ---------------------------------------------------------------- code pages

#define CP_ACP 0u  // the "ANSI" code page: UTF-8 here
#define CP_UTF8 65001u
#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_ERR_INVALID_CHARS 0x00000080u

// UTF-8 <-> UTF-32 wchar_t. A length of -1 converts up to and including the
// terminator. A destination size of 0 asks for the size needed. Too small a
// destination: 0 and ERROR_INSUFFICIENT_BUFFER. Invalid input becomes U+FFFD
// (WideCharToMultiByte: the given default character, if any, and
// *lpUsedDefaultChar is set) unless the *_ERR_INVALID_CHARS flag asks for 0
// and ERROR_NO_UNICODE_TRANSLATION.
// Other code pages: 0 and ERROR_INVALID_PARAMETER.
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar);

#include "platform/strsafe.h"
