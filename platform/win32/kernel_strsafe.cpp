// Bounded text functions: copies, appends and formats that always terminate
// the destination and report truncation.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <locale.h>
#include <string>

#include "platform/strsafe.h"

namespace {

template <typename Ch>
size_t BoundedLength(const Ch* s, size_t max) {
    size_t n = 0;
    while (n < max && s[n]) ++n;
    return n;
}

bool BadCapacity(const void* dest, size_t cch) { return !dest || cch == 0 || cch > STRSAFE_MAX_CCH; }

// Copies up to `count` characters of src to dest (capacity cch, valid),
// truncating to cch - 1 and terminating.
template <typename Ch>
HRESULT CopyBounded(Ch* dest, size_t cch, const Ch* src, size_t count) {
    const size_t n = src ? BoundedLength(src, count) : 0;
    if (n < cch) {
        for (size_t i = 0; i < n; ++i) dest[i] = src[i];
        dest[n] = 0;
        return S_OK;
    }
    for (size_t i = 0; i + 1 < cch; ++i) dest[i] = src[i];
    dest[cch - 1] = 0;
    return STRSAFE_E_INSUFFICIENT_BUFFER;
}

template <typename Ch>
HRESULT Copy(Ch* dest, size_t cch, const Ch* src, size_t count) {
    if (BadCapacity(dest, cch)) return STRSAFE_E_INVALID_PARAMETER;
    return CopyBounded(dest, cch, src, count);
}

template <typename Ch>
HRESULT Cat(Ch* dest, size_t cch, const Ch* src) {
    if (BadCapacity(dest, cch)) return STRSAFE_E_INVALID_PARAMETER;
    const size_t used = BoundedLength(dest, cch);
    if (used == cch) return STRSAFE_E_INVALID_PARAMETER;
    return CopyBounded(dest + used, cch - used, src, STRSAFE_MAX_CCH);
}

template <typename Ch>
HRESULT Length(const Ch* s, size_t cchMax, size_t* out) {
    if (out) *out = 0;
    if (!s || cchMax > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
    const size_t n = BoundedLength(s, cchMax);
    if (n == cchMax) return STRSAFE_E_INVALID_PARAMETER;
    if (out) *out = n;
    return S_OK;
}

// Formats with '.' decimals and UTF-8 narrow text whatever the process locale:
// the calling thread uses this locale for the duration of one format.
class FormatLocale {
  public:
    FormatLocale() {
        static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        m_previous = utf8 ? uselocale(utf8) : nullptr;
    }
    ~FormatLocale() {
        if (m_previous) uselocale(m_previous);
    }
    FormatLocale(const FormatLocale&) = delete;
    FormatLocale& operator=(const FormatLocale&) = delete;

  private:
    locale_t m_previous;
};

}  // namespace

HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    return Copy(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
HRESULT StringCchCopyA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc) {
    return Copy(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
HRESULT StringCchCopyNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToCopy) {
    return Copy(pszDest, cchDest, pszSrc, cchToCopy);
}
HRESULT StringCchCopyNA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc, size_t cchToCopy) {
    return Copy(pszDest, cchDest, pszSrc, cchToCopy);
}
HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    return Cat(pszDest, cchDest, pszSrc);
}
HRESULT StringCchCatA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc) { return Cat(pszDest, cchDest, pszSrc); }
HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength) {
    return Length(psz, cchMax, pcchLength);
}
HRESULT StringCchLengthA(LPCSTR psz, size_t cchMax, size_t* pcchLength) {
    return Length(psz, cchMax, pcchLength);
}

HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList) {
    if (BadCapacity(pszDest, cchDest)) return STRSAFE_E_INVALID_PARAMETER;
    pszDest[0] = 0;
    if (!pszFormat) return STRSAFE_E_INVALID_PARAMETER;
    // Text that fits is formatted straight into the destination, with no
    // memory of its own (so a trace line can still be written when memory
    // has run out). vswprintf cannot tell truncation from a format error, so
    // when it fails the whole text is formatted into a memory stream and copied.
    va_list again;
    va_copy(again, argList);
    int written;
    {
        FormatLocale locale;
        written = std::vswprintf(pszDest, cchDest, pszFormat, argList);
    }
    if (written >= 0) {
        va_end(again);
        return S_OK;
    }
    pszDest[0] = 0;
    wchar_t* text = nullptr;
    size_t size = 0;
    FILE* stream = open_wmemstream(&text, &size);
    if (!stream) {
        va_end(again);
        return E_OUTOFMEMORY;
    }
    {
        FormatLocale locale;
        written = vfwprintf(stream, pszFormat, again);
    }
    va_end(again);
    std::fclose(stream);
    HRESULT hr = written < 0 ? STRSAFE_E_INVALID_PARAMETER : CopyBounded(pszDest, cchDest, text, size);
    std::free(text);
    return hr;
}

HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfW(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return hr;
}

HRESULT StringCchVPrintfA(LPSTR pszDest, size_t cchDest, LPCSTR pszFormat, va_list argList) {
    if (BadCapacity(pszDest, cchDest)) return STRSAFE_E_INVALID_PARAMETER;
    pszDest[0] = 0;
    if (!pszFormat) return STRSAFE_E_INVALID_PARAMETER;
    int needed;
    {
        FormatLocale locale;
        needed = std::vsnprintf(pszDest, cchDest, pszFormat, argList);
    }
    if (needed < 0) {
        pszDest[0] = 0;
        return STRSAFE_E_INVALID_PARAMETER;
    }
    return static_cast<size_t>(needed) < cchDest ? S_OK : STRSAFE_E_INSUFFICIENT_BUFFER;
}

HRESULT StringCchPrintfA(LPSTR pszDest, size_t cchDest, LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfA(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return hr;
}
