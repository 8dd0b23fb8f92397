// The text-layout service the edit boxes measure text with, loaded on demand
// from the system directory. Until it is loaded, and for any entry point it
// lacks, each entry point is a stand-by answering E_NOTIMPL (or null), so that
// text still edits with every caret at x = 0.
#pragma once

#include "platform/usp10.h"
#include "platform/win32.h"

struct KitTextLayoutService {
    PFN_ScriptApplyDigitSubstitution pfnApplyDigitSubstitution;
    PFN_ScriptStringAnalyse pfnStringAnalyse;
    PFN_ScriptStringCPtoX pfnStringCPtoX;
    PFN_ScriptStringXtoCP pfnStringXtoCP;
    PFN_ScriptStringFree pfnStringFree;
    PFN_ScriptString_pLogAttr pfnStringLogAttr;
    PFN_ScriptString_pcOutChars pfnStringOutChars;
};

// The entry points in use (stand-bys until loaded).
const KitTextLayoutService& KitTextLayout();
// Loads the library once; later calls do nothing until it is unloaded.
void KitLoadTextLayout();
// Frees the library and puts the stand-bys back (the resource manager's destructor).
void KitUnloadTextLayout();
