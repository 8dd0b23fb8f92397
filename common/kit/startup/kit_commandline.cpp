// KitReadCommandLine: "/name" or "-name" switches, some with ":value", turned
// into overrides in the framework state. The application's own registered
// switches are passed over; other unknown arguments are only reported.
#include "common/kit/startup/kit_commandline.h"

#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>

#include "common/kit/errors/kit_debug_line.h"
#include "common/kit/startup/kit_app_switches.h"
#include "common/kit/state/kit_state.h"

namespace {

constexpr size_t kMaxParam = 256;  // 255 characters and the terminator

// Matches strArg against strName (any letter case) when the name is followed
// by the end of the argument or ':'; a match moves strArg past the name.
bool IsNextArg(const WCHAR*& strArg, const WCHAR* strName) {
    size_t nLen = wcslen(strName);
    for (size_t i = 0; i < nLen; ++i) {
        if (strArg[i] == L'\0' || std::towlower(strArg[i]) != std::towlower(strName[i])) return false;
    }
    if (strArg[nLen] != L'\0' && strArg[nLen] != L':') return false;
    strArg += nLen;
    return true;
}

// Copies text up to the first character of code 32 or less, at most 255 characters.
void CopyToken(WCHAR* strDest, const WCHAR*& strSrc) {
    size_t n = 0;
    while (n < kMaxParam - 1 && strSrc[n] > L' ') {
        strDest[n] = strSrc[n];
        ++n;
    }
    strDest[n] = L'\0';
    strSrc += n;
}

// ":value" right after a matched name.
bool GetCmdParam(const WCHAR*& strArg, WCHAR* strParam) {
    if (*strArg != L':') return false;
    ++strArg;
    CopyToken(strParam, strArg);
    return true;
}

int ParseInt(const WCHAR* strValue) {
    long nValue = wcstol(strValue, nullptr, 10);
    if (nValue > INT_MAX) return INT_MAX;
    if (nValue < INT_MIN) return INT_MIN;
    return static_cast<int>(nValue);
}

// Switches that set a flag, and switches that take an integer after ':'
// (without one they are not recognised). A name matches only when the
// argument ends or a ':' follows it, so at most one name matches.
struct FlagSwitch {
    const WCHAR* strName;
    bool CKitCoreState::*pFlag;
    bool bValue;
};
constexpr FlagSwitch kFlagSwitches[] = {
    {L"windowed", &CKitCoreState::m_bOverrideWindowed, true},
    {L"fullscreen", &CKitCoreState::m_bOverrideFullScreen, true},
    {L"forcehal", &CKitCoreState::m_bOverrideForceHAL, true},
    {L"forceref", &CKitCoreState::m_bOverrideForceREF, true},
    {L"forcepurehwvp", &CKitCoreState::m_bOverrideForcePureHWVP, true},
    {L"forcehwvp", &CKitCoreState::m_bOverrideForceHWVP, true},
    {L"forceswvp", &CKitCoreState::m_bOverrideForceSWVP, true},
    {L"noerrormsgboxes", &CKitCoreState::m_bShowErrorBoxes, false},
    {L"nostats", &CKitCoreState::m_bNoStats, true},
    {L"relaunchmce", &CKitCoreState::m_bRelaunchMediaCenter, true},
    {L"automation", &CKitCoreState::m_bAutomation, true},
};
struct IntSwitch {
    const WCHAR* strName;
    int CKitCoreState::*pValue;
};
constexpr IntSwitch kIntSwitches[] = {
    {L"adapter", &CKitCoreState::m_nOverrideAdapter},
    {L"forcevsync", &CKitCoreState::m_nOverrideForceVsync},
    {L"width", &CKitCoreState::m_nOverrideWidth},
    {L"height", &CKitCoreState::m_nOverrideHeight},
    {L"startx", &CKitCoreState::m_nOverrideStartX},
    {L"starty", &CKitCoreState::m_nOverrideStartY},
    {L"quitafterframe", &CKitCoreState::m_nOverrideQuitAfterFrame},
};

// "constantframetime[:seconds]": a fixed time per frame, 0.0333 s by default.
void ReadConstantFrameTime(CKitCoreState& s, const WCHAR*& strArg) {
    WCHAR strParam[kMaxParam];
    float fTimePerFrame = 0.0333f;
    if (GetCmdParam(strArg, strParam)) {
        double fValue = wcstod(strParam, nullptr);
        // A time that is not a finite, non-negative number of seconds keeps the default.
        if (std::isfinite(fValue) && fValue >= 0.0 && fValue <= 3600.0)
            fTimePerFrame = static_cast<float>(fValue);
    }
    s.m_bOverrideFixedFrameTime = true;
    s.m_fOverrideFixedFrameTime = fTimePerFrame;
    s.m_bFixedFrameTime = true;
    s.m_fFixedFrameTime = fTimePerFrame;
}

// Handles one switch; false when the argument is not a recognised switch.
bool ReadSwitch(CKitCoreState& s, const WCHAR*& strArg) {
    KitStateLock lock;
    for (const FlagSwitch& flag : kFlagSwitches) {
        if (IsNextArg(strArg, flag.strName)) {
            s.*flag.pFlag = flag.bValue;
            return true;
        }
    }
    for (const IntSwitch& number : kIntSwitches) {
        if (IsNextArg(strArg, number.strName)) {
            WCHAR strParam[kMaxParam];
            if (!GetCmdParam(strArg, strParam)) return false;
            s.*number.pValue = ParseInt(strParam);
            return true;
        }
    }
    if (IsNextArg(strArg, L"constantframetime")) {
        ReadConstantFrameTime(s, strArg);
        return true;
    }
    return false;
}

}  // namespace

void KitReadCommandLine() {
    int nNumArgs = 0;
    LPWSTR* pstrArgList = CommandLineToArgvW(GetCommandLineW(), &nNumArgs);
    if (pstrArgList == nullptr) return;
    CKitCoreState& s = KitCore();

    for (int iArg = 1; iArg < nNumArgs; ++iArg) {
        const WCHAR* strArg = pstrArgList[iArg];
        if (*strArg == L'/' || *strArg == L'-') {
            ++strArg;
            const WCHAR* strSwitch = strArg;
            if (ReadSwitch(s, strArg)) continue;
            // The application reads this one itself.
            if (KitIsAppSwitch(strSwitch)) continue;
        }
        WCHAR strFlag[kMaxParam];
        CopyToken(strFlag, strArg);
        KitDebugLine(L"Unrecognized flag: %ls\n", strFlag);
    }
    LocalFree(pstrArgList);
}

void KitApplyCommandLineOverrides(KitDeviceSetup* pSetup) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    if (s.m_nOverrideAdapter != -1) pSetup->AdapterOrdinal = static_cast<UINT>(s.m_nOverrideAdapter);
    if (s.m_bOverrideFullScreen) pSetup->PresentParams.Windowed = FALSE;
    if (s.m_bOverrideWindowed) pSetup->PresentParams.Windowed = TRUE;
    if (s.m_bOverrideForceREF)
        pSetup->DeviceType = D3DDEVTYPE_REF;
    else if (s.m_bOverrideForceHAL)
        pSetup->DeviceType = D3DDEVTYPE_HAL;
    if (s.m_nOverrideWidth != 0)
        pSetup->PresentParams.BackBufferWidth = static_cast<UINT>(s.m_nOverrideWidth);
    if (s.m_nOverrideHeight != 0)
        pSetup->PresentParams.BackBufferHeight = static_cast<UINT>(s.m_nOverrideHeight);
    if (s.m_bOverrideForcePureHWVP) {
        pSetup->BehaviorFlags &= ~static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING);
        pSetup->BehaviorFlags |= D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
    } else if (s.m_bOverrideForceHWVP) {
        pSetup->BehaviorFlags &=
            ~static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
        pSetup->BehaviorFlags |= D3DCREATE_HARDWARE_VERTEXPROCESSING;
    } else if (s.m_bOverrideForceSWVP) {
        pSetup->BehaviorFlags &=
            ~static_cast<DWORD>(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
        pSetup->BehaviorFlags |= D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    }
}
