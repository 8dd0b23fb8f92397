// Media file search over the fixed candidate folders and the parent walk.
// A candidate that does not fit its buffer is never taken as found.
#include "common/kitmisc/media_search.h"

#include <cwchar>

#include "common/kit/errors/kit_errors.h"

namespace {

WCHAR g_strMediaFolder[MAX_PATH] = L"";

bool IsSeparator(WCHAR c) { return c == L'/' || c == L'\\'; }

bool Exists(const WCHAR* strPath) { return GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES; }

// Formats one candidate into the buffer; true when it fits and exists.
bool Probe(WCHAR* strOut, int cchOut, const WCHAR* strFormat, const WCHAR* a, const WCHAR* b = nullptr,
           const WCHAR* c = nullptr) {
    HRESULT hr = StringCchPrintfW(strOut, static_cast<size_t>(cchOut), strFormat, a, b, c);
    return SUCCEEDED(hr) && Exists(strOut);
}

// True when an absolute path still has a last component ("/" has none).
bool HasLastComponent(const WCHAR* strPath) {
    size_t nLen = wcslen(strPath);
    while (nLen > 0 && IsSeparator(strPath[nLen - 1])) --nLen;
    return nLen > 0 && strPath[nLen - 1] != L':';
}

}  // namespace

HRESULT KitFindMediaFileCch(WCHAR* strDestPath, int cchDest, const WCHAR* strFilename) {
    if (strFilename == nullptr || strFilename[0] == L'\0' || strDestPath == nullptr || cchDest < 10)
        return E_INVALIDARG;

    // Program folder and name (without its extension).
    WCHAR strExePath[MAX_PATH] = L"";
    WCHAR strExeName[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, strExePath, MAX_PATH);
    strExePath[MAX_PATH - 1] = L'\0';
    WCHAR* strLastSlash = nullptr;
    for (WCHAR* p = strExePath; *p != L'\0'; ++p)
        if (IsSeparator(*p)) strLastSlash = p;
    if (strLastSlash != nullptr) {
        StringCchCopyW(strExeName, MAX_PATH, strLastSlash + 1);
        *strLastSlash = L'\0';
        WCHAR* strLastDot = wcsrchr(strExeName, L'.');
        if (strLastDot != nullptr) *strLastDot = L'\0';
    }

    WCHAR strMediaLeaf[MAX_PATH];
    bool bHaveMediaLeaf = SUCCEEDED(StringCchPrintfW(strMediaLeaf, MAX_PATH, L"media/%ls", strFilename));

    if (KitProbeTypicalFolders(strDestPath, cchDest, strFilename, strExePath, strExeName)) return S_OK;
    if (bHaveMediaLeaf && KitProbeTypicalFolders(strDestPath, cchDest, strMediaLeaf, strExePath, strExeName))
        return S_OK;

    if (KitProbeParentFolders(strDestPath, cchDest, L".", strFilename)) return S_OK;
    if (KitProbeParentFolders(strDestPath, cchDest, strExePath, strFilename)) return S_OK;
    if (bHaveMediaLeaf && KitProbeParentFolders(strDestPath, cchDest, L".", strMediaLeaf)) return S_OK;
    if (bHaveMediaLeaf && KitProbeParentFolders(strDestPath, cchDest, strExePath, strMediaLeaf)) return S_OK;

    StringCchCopyW(strDestPath, static_cast<size_t>(cchDest), strFilename);
    return KITERR_MEDIANOTFOUND;
}

bool KitProbeTypicalFolders(WCHAR* strSearchPath, int cchSearch, const WCHAR* strLeaf,
                            const WCHAR* strExePath, const WCHAR* strExeName) {
    if (strSearchPath == nullptr || cchSearch <= 0 || strLeaf == nullptr || strExePath == nullptr ||
        strExeName == nullptr)
        return false;
    if (Probe(strSearchPath, cchSearch, L"%ls", strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"../%ls", strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"../../%ls", strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"%ls/%ls", strExePath, strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"%ls/../%ls", strExePath, strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"%ls/../../%ls", strExePath, strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"%ls/../%ls/%ls", strExePath, strExeName, strLeaf)) return true;
    if (Probe(strSearchPath, cchSearch, L"%ls/../../%ls/%ls", strExePath, strExeName, strLeaf)) return true;
    if (g_strMediaFolder[0] != L'\0' && Probe(strSearchPath, cchSearch, L"%ls%ls", g_strMediaFolder, strLeaf))
        return true;
    return false;
}

bool KitProbeParentFolders(WCHAR* strFoundPath, int cchFound, const WCHAR* strStartAt,
                           const WCHAR* strLeafName) {
    if (strFoundPath == nullptr || cchFound <= 0 || strStartAt == nullptr || strLeafName == nullptr)
        return false;

    WCHAR strFullPath[MAX_PATH];
    DWORD nLen = GetFullPathNameW(strStartAt, MAX_PATH, strFullPath, nullptr);
    if (nLen == 0 || nLen >= MAX_PATH) return false;

    while (HasLastComponent(strFullPath)) {
        WCHAR strCandidate[MAX_PATH];
        if (SUCCEEDED(StringCchPrintfW(strCandidate, MAX_PATH, L"%ls/%ls", strFullPath, strLeafName)) &&
            Exists(strCandidate) &&
            SUCCEEDED(StringCchCopyW(strFoundPath, static_cast<size_t>(cchFound), strCandidate)))
            return true;

        WCHAR strParent[MAX_PATH];
        if (FAILED(StringCchPrintfW(strParent, MAX_PATH, L"%ls/..", strFullPath))) return false;
        WCHAR strNext[MAX_PATH];
        nLen = GetFullPathNameW(strParent, MAX_PATH, strNext, nullptr);
        if (nLen == 0 || nLen >= MAX_PATH || wcscmp(strNext, strFullPath) == 0) return false;
        StringCchCopyW(strFullPath, MAX_PATH, strNext);
    }
    return false;
}

HRESULT KitSetMediaFolder(const WCHAR* strPath) {
    if (strPath == nullptr) return E_INVALIDARG;
    WCHAR strFolder[MAX_PATH];
    // At most 259 characters including the separator that may be appended.
    HRESULT hr = StringCchCopyW(strFolder, MAX_PATH, strPath);
    if (FAILED(hr)) return hr;
    size_t nLen = wcslen(strFolder);
    if (nLen > 0 && !IsSeparator(strFolder[nLen - 1])) {
        hr = StringCchCatW(strFolder, MAX_PATH, L"/");
        if (FAILED(hr)) return hr;
    }
    StringCchCopyW(g_strMediaFolder, MAX_PATH, strFolder);
    return S_OK;
}

const WCHAR* KitMediaFolder() { return g_strMediaFolder; }
