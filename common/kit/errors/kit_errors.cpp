// The error box for the framework's own codes, and the failure trace.
#include "common/kit/errors/kit_errors.h"

#include "common/kit/errors/kit_result_names.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

// Message and exit code of one result code; a null message means "name only".
struct ErrorMessage {
    int nExitCode;
    const WCHAR* strMessage;
};

ErrorMessage LookUpErrorMessage(HRESULT hr) {
    switch (hr) {
        case KITERR_NODIRECT3D:
            return {
                2,
                L"Could not initialize Direct3D. You may want to check that the latest version of DirectX is "
                L"correctly installed on your system.  Also make sure that this program was compiled with "
                L"header files that match the installed DirectX DLLs."};
        case KITERR_NOCOMPATIBLEDEVICES:
            if (GetSystemMetrics(SM_REMOTESESSION) != 0)
                return {3, L"Direct3D does not work over a remote session."};
            return {3, L"Could not find any compatible Direct3D devices."};
        case KITERR_MEDIANOTFOUND:
            return {4,
                    L"Could not find required media. Ensure that the application's media files are correctly "
                    L"installed."};
        case KITERR_NONZEROREFCOUNT:
            return {
                5, L"The D3D device has a non-zero reference count, meaning some objects were not released."};
        case KITERR_CREATINGDEVICE:
            return {6, L"Failed creating the Direct3D device."};
        case KITERR_RESETTINGDEVICE:
            return {7, L"Failed resetting the Direct3D device."};
        case KITERR_CREATINGDEVICEOBJECTS:
            return {8, L"Failed creating Direct3D device objects."};
        case KITERR_RESETTINGDEVICEOBJECTS:
            return {9, L"Failed resetting Direct3D device objects."};
        case KITERR_INCORRECTVERSION:
            return {10, L"Incorrect version of Direct3D and/or D3DX."};
        case KITERR_DEVICEREMOVED:
            return {1, nullptr};
        default:
            return {1, nullptr};
    }
}

}  // namespace

void KitShowErrorMessage(HRESULT hr) {
    ErrorMessage entry = LookUpErrorMessage(hr);
    CKitCoreState& s = KitCore();
    s.Set(&CKitCoreState::m_nExitCode, entry.nExitCode);
    if (entry.strMessage == nullptr) return;
    if (!KitErrorBoxesEnabled()) return;

    WCHAR strText[512];
    StringCchCopyW(strText, 512, entry.strMessage);
    WCHAR strCaption[256];
    {
        KitStateLock lock;
        StringCchCopyW(strCaption, 256, s.m_szWindowTitle);
    }
    if (strCaption[0] == L'\0') StringCchCopyW(strCaption, 256, L"DirectX Application");
    MessageBoxW(KitActiveWindow(), strText, strCaption, MB_OK | MB_ICONERROR);
}

HRESULT KitLogFailure(const char* strFile, DWORD dwLine, HRESULT hr, const WCHAR* strMsg, bool bPopMsgBox) {
    if (!KitErrorBoxesEnabled()) bPopMsgBox = false;
    return KitWriteTrace(strFile, dwLine, hr, strMsg, bPopMsgBox);
}

HRESULT KitWriteTrace(const char* strFile, DWORD dwLine, HRESULT hr, const WCHAR* strMsg, bool bPopMsgBox) {
    WCHAR strLine[128];
    StringCchPrintfW(strLine, 128, L"%ld", static_cast<long>(dwLine));

    // The whole line is composed first so that it reaches the output in one piece.
    WCHAR strTrace[128 + 260 + 1024 + 256 + 16];
    strTrace[0] = L'\0';
    if (strFile != nullptr) StringCchPrintfW(strTrace, 128 + 260 + 8, L"%s(%ls): ", strFile, strLine);

    // The call text is measured up to 1024 characters; a longer one is cut.
    bool bHaveMsg = strMsg != nullptr && strMsg[0] != L'\0';
    if (bHaveMsg) {
        WCHAR strCall[1024];
        StringCchCopyNW(strCall, 1024, strMsg, 1023);
        StringCchCatW(strTrace, sizeof(strTrace) / sizeof(strTrace[0]), strCall);
        StringCchCatW(strTrace, sizeof(strTrace) / sizeof(strTrace[0]), L" ");
    }

    WCHAR strCode[256];
    StringCchPrintfW(strCode, 256, L"%ls (0x%0.8x)", KitResultName(hr), static_cast<unsigned>(hr));
    WCHAR strHr[256 + 8];
    StringCchPrintfW(strHr, 256 + 8, L"hr=%ls\n", strCode);
    StringCchCatW(strTrace, sizeof(strTrace) / sizeof(strTrace[0]), strHr);
    OutputDebugStringW(strTrace);

    if (bPopMsgBox) {
        WCHAR strCallLine[1024 + 16];
        strCallLine[0] = L'\0';
        if (bHaveMsg) StringCchPrintfW(strCallLine, 1024 + 16, L"Calling: %ls\n", strMsg);
        WCHAR strFileText[260];
        strFileText[0] = L'\0';
        if (strFile != nullptr) StringCchPrintfW(strFileText, 260, L"%s", strFile);
        WCHAR strBox[3000];
        StringCchPrintfW(strBox, 3000,
                         L"File: %ls\nLine: %ls\nError Code: %ls\n%lsDo you want to debug the application?",
                         strFileText, strLine, strCode, strCallLine);
        int nResult = MessageBoxW(GetForegroundWindow(), strBox, L"Unexpected error encountered",
                                  MB_YESNO | MB_ICONERROR);
        if (nResult == IDYES) DebugBreak();
    }
    return hr;
}
