// Media file search: turns a relative file name into a path that exists by
// probing folders around the working folder and the program's folder, then
// by walking up the parent folders. Paths use '/' as separator.
#pragma once

#include "platform/win32.h"

// S_OK with the path in strDestPath; E_INVALIDARG for a null or empty name, a
// null buffer or a capacity below 10; KITERR_MEDIANOTFOUND with the bare name.
HRESULT KitFindMediaFileCch(WCHAR* strDestPath, int cchDest, const WCHAR* strFilename);

// The extra media folder (empty unless set; always ends with a separator).
HRESULT KitSetMediaFolder(const WCHAR* strPath);
const WCHAR* KitMediaFolder();

// The fixed candidates around the working and program folders; the first that
// exists stays in strSearchPath.
bool KitProbeTypicalFolders(WCHAR* strSearchPath, int cchSearch, const WCHAR* strLeaf,
                            const WCHAR* strExePath, const WCHAR* strExeName);
// strStartAt/strLeafName, then the same in each parent folder up to (not including) the root.
bool KitProbeParentFolders(WCHAR* strFoundPath, int cchFound, const WCHAR* strStartAt,
                           const WCHAR* strLeafName);
