// The complex-script text-layout service ("usp10.dll"): the records and flags
// of its string-analysis entry points, and their function types. Programs reach
// the entry points through LoadLibraryW/GetProcAddress.
//
// This service lays text out in logical order (right-to-left runs are not
// reordered); caret positions and hit tests agree with that order.
#pragma once

#include "platform/win32types.h"

// An analysed string; opaque.
typedef void* SCRIPT_STRING_ANALYSIS;

// Analysis flags.
#define SSA_PASSWORD 0x00000001u
#define SSA_TAB 0x00000002u
#define SSA_CLIP 0x00000004u
#define SSA_FIT 0x00000008u
#define SSA_DZWG 0x00000010u
#define SSA_FALLBACK 0x00000020u
#define SSA_BREAK 0x00000040u
#define SSA_GLYPHS 0x00000080u
#define SSA_RTL 0x00000100u
#define SSA_GCP 0x00000200u
#define SSA_HOTKEY 0x00000400u
#define SSA_METAFILE 0x00000800u
#define SSA_LINK 0x00001000u

// Per-character logical attributes.
struct SCRIPT_LOGATTR {
    BYTE fSoftBreak : 1;  // a line may break before this character (not computed: lines are single here)
    BYTE fWhiteSpace : 1;
    BYTE fCharStop : 1;  // a caret may stand before this character (a cluster starts here)
    BYTE fWordStop : 1;  // a word-wise caret move stops before this character
    BYTE fInvalid : 1;   // the character cannot be shown as it stands (an unpaired surrogate)
    BYTE fReserved : 3;
};

// Itemisation controls and state. Digit substitution and bidirectional
// overrides are accepted and left at their defaults by this service.
struct SCRIPT_CONTROL {
    DWORD uDefaultLanguage : 16;
    DWORD fContextDigits : 1;
    DWORD fInvertPreBoundDir : 1;
    DWORD fInvertPostBoundDir : 1;
    DWORD fLinkStringBefore : 1;
    DWORD fLinkStringAfter : 1;
    DWORD fNeutralOverride : 1;
    DWORD fNumericOverride : 1;
    DWORD fLegacyBidiClass : 1;
    DWORD fMergeNeutralItems : 1;
    DWORD fUseStandardBidi : 1;
    DWORD fReserved : 6;
};

struct SCRIPT_STATE {
    WORD uBidiLevel : 5;
    WORD fOverrideDirection : 1;
    WORD fInhibitSymSwap : 1;
    WORD fCharShape : 1;
    WORD fDigitSubstitute : 1;
    WORD fInhibitLigate : 1;
    WORD fDisplayZWG : 1;
    WORD fArabicNumContext : 1;
    WORD fGcpClusters : 1;
    WORD fReserved : 1;
    WORD fEngineReserved : 2;
};

struct SCRIPT_DIGITSUBSTITUTE {
    DWORD NationalDigitLanguage : 16;
    DWORD TraditionalDigitLanguage : 16;
    DWORD DigitSubstitute : 8;
    DWORD dwReserved;
};

struct SCRIPT_TABDEF {
    int cTabStops;
    int iScale;
    int* pTabStops;
    int iTabOrigin;
};

// The entry points, by the names GetProcAddress finds them under.
typedef HRESULT(WINAPI* PFN_ScriptApplyDigitSubstitution)(const SCRIPT_DIGITSUBSTITUTE*, SCRIPT_CONTROL*,
                                                          SCRIPT_STATE*);
typedef HRESULT(WINAPI* PFN_ScriptStringAnalyse)(HDC, const void*, int, int, int, DWORD, int, SCRIPT_CONTROL*,
                                                 SCRIPT_STATE*, const int*, SCRIPT_TABDEF*, const BYTE*,
                                                 SCRIPT_STRING_ANALYSIS*);
typedef HRESULT(WINAPI* PFN_ScriptStringCPtoX)(SCRIPT_STRING_ANALYSIS, int, BOOL, int*);
typedef HRESULT(WINAPI* PFN_ScriptStringXtoCP)(SCRIPT_STRING_ANALYSIS, int, int*, int*);
typedef HRESULT(WINAPI* PFN_ScriptStringFree)(SCRIPT_STRING_ANALYSIS*);
typedef const SCRIPT_LOGATTR*(WINAPI* PFN_ScriptString_pLogAttr)(SCRIPT_STRING_ANALYSIS);
typedef const int*(WINAPI* PFN_ScriptString_pcOutChars)(SCRIPT_STRING_ANALYSIS);
