// Reading /scramble[:SEED] from the command line, with the framework's rules
// for switches: '/' or '-', the name in any letter case, then the end or ':'
// and a value up to the first blank or control character.
#include "app/game_switch.h"

#include <cwctype>

#include "common/kit/errors/kit_debug_line.h"

namespace {

constexpr size_t kMaxValue = 255;

// The name in any letter case, followed by the end or ':'; *ppValue gets what follows ':'.
bool NamesScramble(const WCHAR* strArg, const WCHAR** ppValue) {
    if (*strArg != L'/' && *strArg != L'-') return false;
    ++strArg;
    size_t n = 0;
    for (; kScrambleSwitch[n] != L'\0'; ++n)
        if (strArg[n] == L'\0' || std::towlower(strArg[n]) != static_cast<wint_t>(kScrambleSwitch[n]))
            return false;
    if (strArg[n] != L'\0' && strArg[n] != L':') return false;
    *ppValue = strArg[n] == L':' ? strArg + n + 1 : nullptr;
    return true;
}

// Decimal digits only, at most 2^32 - 1.
bool ParseSeed(const WCHAR* strValue, uint32_t* pnSeed) {
    if (*strValue == L'\0') return false;
    uint64_t nValue = 0;
    for (const WCHAR* p = strValue; *p != L'\0'; ++p) {
        if (*p < L'0' || *p > L'9') return false;
        nValue = nValue * 10 + static_cast<uint64_t>(*p - L'0');
        if (nValue > 0xFFFFFFFFull) return false;
    }
    *pnSeed = static_cast<uint32_t>(nValue);
    return true;
}

}  // namespace

ScrambleSwitch AppParseScrambleSwitch(int nArgs, const WCHAR* const* pArgs) {
    ScrambleSwitch result;
    for (int i = 1; i < nArgs; ++i) {
        const WCHAR* strValue = nullptr;
        if (pArgs[i] == nullptr || !NamesScramble(pArgs[i], &strValue)) continue;
        result = ScrambleSwitch{};
        result.bScramble = true;
        if (strValue == nullptr) continue;
        WCHAR strToken[kMaxValue + 1];
        size_t n = 0;
        while (n < kMaxValue && strValue[n] > L' ') {
            strToken[n] = strValue[n];
            ++n;
        }
        strToken[n] = L'\0';
        if (ParseSeed(strToken, &result.nSeed))
            result.bSeeded = true;
        else
            KitDebugLine(
                L"/%ls: \"%ls\" is not a seed from 0 to 4294967295; the scramble takes a random one\n",
                kScrambleSwitch, strToken);
    }
    return result;
}

ScrambleSwitch AppReadScrambleSwitch() {
    int nArgs = 0;
    LPWSTR* pArgs = CommandLineToArgvW(GetCommandLineW(), &nArgs);
    if (pArgs == nullptr) return ScrambleSwitch{};
    const ScrambleSwitch result = AppParseScrambleSwitch(nArgs, pArgs);
    LocalFree(pArgs);
    return result;
}
