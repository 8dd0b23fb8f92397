// Bounded text functions in the style of strsafe: every copy, append or format
// terminates its buffer; text that does not fit is truncated.
//
// Results: S_OK; STRSAFE_E_INSUFFICIENT_BUFFER (0x8007007A) when the text was
// truncated (the buffer still holds the terminated prefix);
// STRSAFE_E_INVALID_PARAMETER (0x80070057) for a capacity of 0 or above
// STRSAFE_MAX_CCH, a null buffer, or a destination of StringCchCat* that holds
// no terminator within its capacity (nothing is written then).
//
// Formats follow the C library's printf family (glibc), NOT the Windows one:
//   in StringCchPrintfW / StringCchVPrintfW   %ls (or %S) is wide text (WCHAR*),
//                                             %s is narrow UTF-8 text (char*);
//   in StringCchPrintfA / StringCchVPrintfA   %s is narrow, %ls is wide.
//   %c is a char in both; %lc is a wchar_t. Numbers: %d %i %u %x %X %o %ld %lld
//   %zu %p %f %e %g %a with flags, width and precision ("%0.8x", "%0.2f",
//   "%*d"); %% is a percent sign. Numbers always use '.' as the decimal point
//   and narrow text is read as UTF-8, whatever the process locale.
// A format the C library rejects (for example narrow text that is not UTF-8)
// gives STRSAFE_E_INVALID_PARAMETER and an empty buffer.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "platform/win32types.h"

#define STRSAFE_MAX_CCH 2147483647u
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)
#define STRSAFE_E_END_OF_FILE ((HRESULT)0x80070026L)

HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
HRESULT StringCchCopyA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc);
// Copies at most cchToCopy characters of pszSrc (stopping at its terminator).
HRESULT StringCchCopyNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToCopy);
HRESULT StringCchCopyNA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc, size_t cchToCopy);
HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
HRESULT StringCchCatA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc);
HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...);
HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList);
HRESULT StringCchPrintfA(LPSTR pszDest, size_t cchDest, LPCSTR pszFormat, ...)
    __attribute__((format(printf, 3, 4)));
HRESULT StringCchVPrintfA(LPSTR pszDest, size_t cchDest, LPCSTR pszFormat, va_list argList)
    __attribute__((format(printf, 3, 0)));
// Length without the terminator, into *pcchLength (optional). A string with no
// terminator within cchMax gives STRSAFE_E_INVALID_PARAMETER.
HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength);
HRESULT StringCchLengthA(LPCSTR psz, size_t cchMax, size_t* pcchLength);
