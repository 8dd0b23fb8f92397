// The application's own switches, kept in the framework state so that the
// command-line reader can pass over them.
#include "common/kit/startup/kit_app_switches.h"

#include <cwchar>
#include <cwctype>

#include "common/kit/state/kit_state.h"

namespace {

bool ValidName(const WCHAR* strName) {
    if (strName == nullptr || *strName == L'\0') return false;
    size_t n = 0;
    for (; strName[n] != L'\0'; ++n) {
        if (n >= static_cast<size_t>(kKitMaxAppSwitchName)) return false;
        const WCHAR c = strName[n];
        if (!(std::iswalnum(c) || c == L'_') || c > 0x7F) return false;
    }
    return true;
}

bool SameName(const WCHAR* a, const WCHAR* b) {
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b)
        if (std::towlower(*a) != std::towlower(*b)) return false;
    return *a == *b;
}

// The name in any letter case, then the end of the argument or ':'.
bool NamesSwitch(const WCHAR* strArg, const WCHAR* strName) {
    size_t n = 0;
    for (; strName[n] != L'\0'; ++n)
        if (strArg[n] == L'\0' || std::towlower(strArg[n]) != std::towlower(strName[n])) return false;
    return strArg[n] == L'\0' || strArg[n] == L':';
}

}  // namespace

HRESULT KitRegisterAppSwitch(const WCHAR* strName) {
    if (!ValidName(strName)) return E_INVALIDARG;
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    for (int i = 0; i < s.m_nAppSwitches; ++i)
        if (SameName(s.m_szAppSwitches[i], strName)) return S_FALSE;
    if (s.m_nAppSwitches >= kKitMaxAppSwitches) return E_OUTOFMEMORY;
    wcsncpy(s.m_szAppSwitches[s.m_nAppSwitches], strName, kKitMaxAppSwitchName);
    s.m_szAppSwitches[s.m_nAppSwitches][kKitMaxAppSwitchName] = L'\0';
    ++s.m_nAppSwitches;
    return S_OK;
}

bool KitIsAppSwitch(const WCHAR* strArg) {
    if (strArg == nullptr) return false;
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    for (int i = 0; i < s.m_nAppSwitches; ++i)
        if (NamesSwitch(strArg, s.m_szAppSwitches[i])) return true;
    return false;
}
