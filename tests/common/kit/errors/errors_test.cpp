// Error reporting: exit codes and boxes of KitShowErrorMessage, the trace
// line format, the pop-up, and result names.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/common/kit/debug_capture.h"
#include "tests/common/kit/state_reset.h"
#include "tests/common/kit/test_backend.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/errors/kit_result_names.h"
#include "common/kit/state/kit_getters.h"
#include "platform/d3dx9.h"

namespace {

class KitErrors : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override { kittest::ResetCoreState(); }
    kittest::TestBackendScope backend;
};

std::wstring Name(HRESULT hr) { return KitResultName(hr); }

TEST_F(KitErrors, CodeWithoutMessageSetsExitCodeOneAndShowsNothing) {
    KitShowErrorMessage(E_FAIL);
    EXPECT_EQ(KitProcessExitCode(), 1);
    KitShowErrorMessage(KITERR_DEVICEREMOVED);
    EXPECT_EQ(KitProcessExitCode(), 1);
    EXPECT_TRUE(backend->messageBoxes.empty());
}

TEST_F(KitErrors, FrameworkCodesSetTheirExitCodesAndShowTheirMessages) {
    struct Case {
        HRESULT hr;
        int exitCode;
        const wchar_t* message;
    } cases[] = {
        {KITERR_NODIRECT3D, 2,
         L"Could not initialize Direct3D. You may want to check that the latest version of DirectX is "
         L"correctly "
         L"installed on your system.  Also make sure that this program was compiled with header files that "
         L"match "
         L"the installed DirectX DLLs."},
        {KITERR_MEDIANOTFOUND, 4,
         L"Could not find required media. Ensure that the application's media files are correctly "
         L"installed."},
        {KITERR_NONZEROREFCOUNT, 5,
         L"The D3D device has a non-zero reference count, meaning some objects were not released."},
        {KITERR_CREATINGDEVICE, 6, L"Failed creating the Direct3D device."},
        {KITERR_RESETTINGDEVICE, 7, L"Failed resetting the Direct3D device."},
        {KITERR_CREATINGDEVICEOBJECTS, 8, L"Failed creating Direct3D device objects."},
        {KITERR_RESETTINGDEVICEOBJECTS, 9, L"Failed resetting Direct3D device objects."},
        {KITERR_INCORRECTVERSION, 10, L"Incorrect version of Direct3D and/or D3DX."},
    };
    for (const Case& c : cases) {
        backend->messageBoxes.clear();
        KitShowErrorMessage(c.hr);
        EXPECT_EQ(KitProcessExitCode(), c.exitCode);
        ASSERT_EQ(backend->messageBoxes.size(), 1u);
        EXPECT_EQ(backend->messageBoxes[0].text, c.message);
        EXPECT_EQ(backend->messageBoxes[0].caption, L"DirectX Application");
        EXPECT_EQ(backend->messageBoxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    }
}

TEST_F(KitErrors, NoCompatibleDevicesMessageDependsOnRemoteSession) {
    KitShowErrorMessage(KITERR_NOCOMPATIBLEDEVICES);
    EXPECT_EQ(KitProcessExitCode(), 3);
    ASSERT_EQ(backend->messageBoxes.size(), 1u);
    const wchar_t* expected = GetSystemMetrics(SM_REMOTESESSION) != 0
                                  ? L"Direct3D does not work over a remote session."
                                  : L"Could not find any compatible Direct3D devices.";
    EXPECT_EQ(backend->messageBoxes[0].text, expected);
}

TEST_F(KitErrors, CaptionIsTheWindowTitleWhenThereIsOne) {
    StringCchCopyW(KitCore().m_szWindowTitle, 256, L"Tumbral");
    KitShowErrorMessage(KITERR_CREATINGDEVICE);
    ASSERT_EQ(backend->messageBoxes.size(), 1u);
    EXPECT_EQ(backend->messageBoxes[0].caption, L"Tumbral");
}

TEST_F(KitErrors, BoxesOffStillSetTheExitCode) {
    KitCore().m_bShowErrorBoxes = false;
    KitShowErrorMessage(KITERR_MEDIANOTFOUND);
    EXPECT_EQ(KitProcessExitCode(), 4);
    EXPECT_TRUE(backend->messageBoxes.empty());
}

TEST_F(KitErrors, TraceLineWithFileAndCallText) {
    kittest::DebugCapture capture;
    HRESULT hr = KitWriteTrace("kit_device.cpp", 123, D3DERR_NOTAVAILABLE, L"CreateDevice", false);
    EXPECT_EQ(hr, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(capture.Text(), "kit_device.cpp(123): CreateDevice hr=D3DERR_NOTAVAILABLE (0x8876086a)\n");
}

TEST_F(KitErrors, TraceLineWithoutFileOrCallText) {
    kittest::DebugCapture capture;
    EXPECT_EQ(KitWriteTrace(nullptr, 7, E_FAIL, nullptr, false), E_FAIL);
    EXPECT_EQ(KitWriteTrace(nullptr, 7, 0x12345678, L"", false), 0x12345678);
    EXPECT_EQ(capture.Text(), "hr=E_FAIL (0x80004005)\nhr=Unknown (0x12345678)\n");
    EXPECT_TRUE(backend->messageBoxes.empty());
}

TEST_F(KitErrors, OverlongCallTextIsCut) {
    kittest::DebugCapture capture;
    std::wstring longText(5000, L'c');
    KitWriteTrace("f.cpp", 1, E_FAIL, longText.c_str(), false);
    std::string text = capture.Text();
    EXPECT_EQ(text.find(std::string(1024, 'c')), std::string::npos);
    EXPECT_NE(text.find(std::string(1023, 'c') + " hr=E_FAIL (0x80004005)\n"), std::string::npos);
}

TEST_F(KitErrors, PopUpAsksWhetherToDebug) {
    kittest::DebugCapture capture;
    backend->messageBoxAnswers.push_back(IDNO);
    KitLogFailure("kit_timers.cpp", 42, E_INVALIDARG, L"KitSetTimer", true);
    ASSERT_EQ(backend->messageBoxes.size(), 1u);
    const plat::MessageBoxRequest& box = backend->messageBoxes[0];
    EXPECT_EQ(box.caption, L"Unexpected error encountered");
    EXPECT_EQ(box.text,
              L"File: kit_timers.cpp\nLine: 42\nError Code: E_INVALIDARG (0x80070057)\nCalling: KitSetTimer\n"
              L"Do you want to debug the application?");
    EXPECT_EQ(box.type & 0xF, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(capture.Text(), "kit_timers.cpp(42): KitSetTimer hr=E_INVALIDARG (0x80070057)\n");
}

TEST_F(KitErrors, PopUpIsDroppedWhenBoxesAreOff) {
    kittest::DebugCapture capture;
    KitCore().m_bShowErrorBoxes = false;
    EXPECT_EQ(KitLogFailure("a.cpp", 1, E_INVALIDARG, L"KitKillTimer", true), E_INVALIDARG);
    EXPECT_TRUE(backend->messageBoxes.empty());
    EXPECT_EQ(capture.Text(), "a.cpp(1): KitKillTimer hr=E_INVALIDARG (0x80070057)\n");
}

TEST_F(KitErrors, ResultNames) {
    EXPECT_EQ(Name(0x80040903), L"KITERR_MEDIANOTFOUND");
    EXPECT_EQ(Name(KITERR_NODIRECT3D), L"KITERR_NODIRECT3D");
    EXPECT_EQ(Name(KITERR_DEVICEREMOVED), L"KITERR_DEVICEREMOVED");
    EXPECT_EQ(Name(S_OK), L"S_OK");
    EXPECT_EQ(Name(S_FALSE), L"S_FALSE");
    EXPECT_EQ(Name(E_OUTOFMEMORY), L"E_OUTOFMEMORY");
    EXPECT_EQ(Name(E_INVALIDARG), L"E_INVALIDARG");
    EXPECT_EQ(Name(D3DERR_DEVICELOST), L"D3DERR_DEVICELOST");
    EXPECT_EQ(Name(D3DERR_INVALIDCALL), L"D3DERR_INVALIDCALL");
    EXPECT_EQ(Name(D3DOK_NOAUTOGEN), L"D3DOK_NOAUTOGEN");
    EXPECT_EQ(Name(static_cast<HRESULT>(0x8007007A)), L"ERROR_INSUFFICIENT_BUFFER");
    EXPECT_EQ(Name(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)), L"ERROR_FILE_NOT_FOUND");
    EXPECT_EQ(Name(ERROR_MOD_NOT_FOUND), L"ERROR_MOD_NOT_FOUND");
    EXPECT_EQ(Name(HRESULT_FROM_WIN32(10061)), L"WSAECONNREFUSED");
    EXPECT_EQ(Name(static_cast<HRESULT>(0x80010106)), L"RPC_E_CHANGED_MODE");
    EXPECT_EQ(Name(0x12345678), L"Unknown");
    EXPECT_EQ(Name(static_cast<HRESULT>(0x8007FFFF)), L"Unknown");
}

// The platform's codes, checked value by value; a code a platform header
// defines that is missing here fails the scan below.
#define KIT_NAMED(code) \
    { #code, static_cast < HRESULT>(code) }
struct NamedCode {
    const char* name;
    HRESULT value;
};
const NamedCode kPlatformCodes[] = {
    KIT_NAMED(D3DERR_CONFLICTINGRENDERSTATE),
    KIT_NAMED(D3DERR_CONFLICTINGTEXTUREFILTER),
    KIT_NAMED(D3DERR_CONFLICTINGTEXTUREPALETTE),
    KIT_NAMED(D3DERR_DEVICEHUNG),
    KIT_NAMED(D3DERR_DEVICELOST),
    KIT_NAMED(D3DERR_DEVICENOTRESET),
    KIT_NAMED(D3DERR_DEVICEREMOVED),
    KIT_NAMED(D3DERR_DRIVERINTERNALERROR),
    KIT_NAMED(D3DERR_DRIVERINVALIDCALL),
    KIT_NAMED(D3DERR_INVALIDCALL),
    KIT_NAMED(D3DERR_INVALIDDEVICE),
    KIT_NAMED(D3DERR_MOREDATA),
    KIT_NAMED(D3DERR_NOTAVAILABLE),
    KIT_NAMED(D3DERR_NOTFOUND),
    KIT_NAMED(D3DERR_OUTOFVIDEOMEMORY),
    KIT_NAMED(D3DERR_TOOMANYOPERATIONS),
    KIT_NAMED(D3DERR_UNSUPPORTEDALPHAARG),
    KIT_NAMED(D3DERR_UNSUPPORTEDALPHAOPERATION),
    KIT_NAMED(D3DERR_UNSUPPORTEDCOLORARG),
    KIT_NAMED(D3DERR_UNSUPPORTEDCOLOROPERATION),
    KIT_NAMED(D3DERR_UNSUPPORTEDFACTORVALUE),
    KIT_NAMED(D3DERR_UNSUPPORTEDTEXTUREFILTER),
    KIT_NAMED(D3DERR_WASSTILLDRAWING),
    KIT_NAMED(D3DERR_WRONGTEXTUREFORMAT),
    KIT_NAMED(D3DOK_NOAUTOGEN),
    KIT_NAMED(D3DXERR_CANNOTATTRSORT),
    KIT_NAMED(D3DXERR_CANNOTMODIFYINDEXBUFFER),
    KIT_NAMED(D3DXERR_CANNOTREMOVELASTITEM),
    KIT_NAMED(D3DXERR_DUPLICATENAMEDFRAGMENT),
    KIT_NAMED(D3DXERR_INVALIDDATA),
    KIT_NAMED(D3DXERR_INVALIDMESH),
    KIT_NAMED(D3DXERR_SKINNINGNOTSUPPORTED),
    KIT_NAMED(D3DXERR_TOOMANYINFLUENCES),
    KIT_NAMED(E_ABORT),
    KIT_NAMED(E_ACCESSDENIED),
    KIT_NAMED(E_FAIL),
    KIT_NAMED(E_HANDLE),
    KIT_NAMED(E_INVALIDARG),
    KIT_NAMED(E_NOINTERFACE),
    KIT_NAMED(E_NOTIMPL),
    KIT_NAMED(E_PENDING),
    KIT_NAMED(E_OUTOFMEMORY),
    KIT_NAMED(E_POINTER),
    KIT_NAMED(E_UNEXPECTED),
    KIT_NAMED(S_FALSE),
    KIT_NAMED(S_OK),
    // Win32 errors as the registry and last-error functions return them.
    KIT_NAMED(ERROR_ACCESS_DENIED),
    KIT_NAMED(ERROR_BADDB),
    KIT_NAMED(ERROR_BADKEY),
    KIT_NAMED(ERROR_BAD_ARGUMENTS),
    KIT_NAMED(ERROR_BAD_PATHNAME),
    KIT_NAMED(ERROR_CALL_NOT_IMPLEMENTED),
    KIT_NAMED(ERROR_CANNOT_FIND_WND_CLASS),
    KIT_NAMED(ERROR_CANTOPEN),
    KIT_NAMED(ERROR_CANTREAD),
    KIT_NAMED(ERROR_CANTWRITE),
    KIT_NAMED(ERROR_CLASS_ALREADY_EXISTS),
    KIT_NAMED(ERROR_CLASS_DOES_NOT_EXIST),
    KIT_NAMED(ERROR_CLASS_HAS_WINDOWS),
    KIT_NAMED(ERROR_CLIPBOARD_NOT_OPEN),
    KIT_NAMED(ERROR_RESOURCE_NAME_NOT_FOUND),
    KIT_NAMED(ERROR_CONTROL_ID_NOT_FOUND),
    KIT_NAMED(ERROR_DEVICE_NOT_CONNECTED),
    KIT_NAMED(ERROR_FILENAME_EXCED_RANGE),
    KIT_NAMED(ERROR_FILE_NOT_FOUND),
    KIT_NAMED(ERROR_INSUFFICIENT_BUFFER),
    KIT_NAMED(ERROR_INVALID_CURSOR_HANDLE),
    KIT_NAMED(ERROR_INVALID_DATA),
    KIT_NAMED(ERROR_INVALID_FLAGS),
    KIT_NAMED(ERROR_INVALID_HANDLE),
    KIT_NAMED(ERROR_INVALID_HOOK_FILTER),
    KIT_NAMED(ERROR_INVALID_HOOK_HANDLE),
    KIT_NAMED(ERROR_INVALID_INDEX),
    KIT_NAMED(ERROR_INVALID_MENU_HANDLE),
    KIT_NAMED(ERROR_INVALID_MONITOR_HANDLE),
    KIT_NAMED(ERROR_INVALID_NAME),
    KIT_NAMED(ERROR_INVALID_PARAMETER),
    KIT_NAMED(ERROR_INVALID_WINDOW_HANDLE),
    KIT_NAMED(ERROR_KEY_DELETED),
    KIT_NAMED(ERROR_MOD_NOT_FOUND),
    KIT_NAMED(ERROR_MORE_DATA),
    KIT_NAMED(ERROR_NOT_ENOUGH_MEMORY),
    KIT_NAMED(ERROR_NOT_LOCKED),
    KIT_NAMED(ERROR_NOT_SUPPORTED),
    KIT_NAMED(ERROR_NO_MORE_ITEMS),
    KIT_NAMED(ERROR_NO_UNICODE_TRANSLATION),
    KIT_NAMED(ERROR_OUTOFMEMORY),
    KIT_NAMED(ERROR_PATH_NOT_FOUND),
    KIT_NAMED(ERROR_PROC_NOT_FOUND),
    KIT_NAMED(ERROR_REGISTRY_CORRUPT),
    KIT_NAMED(ERROR_WINDOW_OF_OTHER_THREAD),
};
#undef KIT_NAMED

TEST_F(KitErrors, EveryPlatformCodeHasItsOwnName) {
    for (const NamedCode& code : kPlatformCodes) {
        std::string name = code.name;
        EXPECT_EQ(Name(code.value), std::wstring(name.begin(), name.end())) << name;
        // Win32 errors keep their names inside HRESULT_FROM_WIN32 codes, unless a COM name owns the value.
        if (name.rfind("ERROR_", 0) == 0 && code.value > 0) {
            std::wstring wrapped = Name(HRESULT_FROM_WIN32(code.value));
            EXPECT_TRUE(wrapped == std::wstring(name.begin(), name.end()) || wrapped.rfind(L"E_", 0) == 0)
                << name;
        }
    }
}

// Codes spelled differently by the platform headers and by the published headers.
TEST_F(KitErrors, PublishedSpellingsWin) {
    EXPECT_EQ(Name(D3DXERR_LOADEDMESHHASNODATA), L"D3DXERR_LOADEDMESHASNODATA");
}

// The result-code name a "#define NAME value" line defines, or empty. Written
// by hand: GCC 12's <regex> trips -Wmaybe-uninitialized in sanitizer builds.
std::string DefinedCodeName(const std::string& line) {
    std::istringstream words(line);
    std::string directive, name, value;
    if (!(words >> directive >> name >> value) || directive != "#define") return {};
    if (line.compare(0, 7, "#define") != 0) return {};
    static const char* const kPrefixes[] = {"D3DERR_", "D3DOK_", "D3DXERR_", "E_", "S_", "ERROR_"};
    for (const char* prefix : kPrefixes) {
        const std::string p(prefix);
        if (name.size() <= p.size() || name.compare(0, p.size(), p) != 0) continue;
        const bool upper =
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
        return upper ? name : std::string();
    }
    return {};
}

TEST_F(KitErrors, ScanFindsNoUncheckedPlatformCode) {
    const char* headers[] = {"platform/win32types.h", "platform/win32kernel.h", "platform/win32user.h",
                             "platform/d3d9.h",       "platform/d3dx9mesh.h",   "platform/d3dx9tex.h",
                             "platform/d3dx9core.h",  "platform/d3dx9effect.h"};
    std::set<std::string> checked = {"ERROR_SUCCESS", "D3DXERR_LOADEDMESHHASNODATA",
                                     // The platform gives it 1405; the published value is 1414.
                                     "ERROR_INVALID_ICON_HANDLE"};
    for (const NamedCode& code : kPlatformCodes) checked.insert(code.name);
    for (const char* header : headers) {
        std::ifstream in(std::string(TUMBRAL_SOURCE_DIR) + "/" + header);
        ASSERT_TRUE(in.good()) << header;
        std::string line;
        while (std::getline(in, line)) {
            const std::string name = DefinedCodeName(line);
            if (!name.empty()) {
                EXPECT_TRUE(checked.count(name)) << name << " in " << header;
            }
        }
    }
}

}  // namespace
