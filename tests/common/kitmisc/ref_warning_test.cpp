// The reference-device warning: when it shows, what "Don't show again" does
// to the No button, when the registry value is written, and that No ends the run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/common/kit/state_reset.h"
#include "tests/common/kit/test_backend.h"
#include "common/kit/state/kit_getters.h"
#include "common/kitmisc/ref_warning.h"

namespace {

constexpr int kIdDontShow = 5;

class RefWarning : public ::testing::Test {
  protected:
    void SetUp() override {
        kittest::ResetCoreState();
        char path[] = "/tmp/kit_registry_XXXXXX";
        int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        std::remove(path);  // an absent file is an empty registry
        m_registryFile = path;
        setenv("TUMBRAL_REGISTRY_FILE", m_registryFile.c_str(), 1);
        StringCchCopyW(KitCore().m_szWindowTitle, 256, L"Tumbral Test");
    }
    void TearDown() override {
        plat::SetDialogHook(nullptr);
        unsetenv("TUMBRAL_REGISTRY_FILE");
        std::remove(m_registryFile.c_str());
        kittest::ResetCoreState();
    }

    // The stored value, or -1 when there is none.
    static long SkipValue() {
        HKEY hKey;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tumbral\\Kit", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
            return -1;
        DWORD value = 0, type = 0, size = sizeof(value);
        LSTATUS status = RegQueryValueExW(hKey, L"Skip Warning On REF", nullptr, &type,
                                          reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(hKey);
        return status == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(value) : -1;
    }
    static void StoreSkipValue(DWORD value) {
        HKEY hKey;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Tumbral\\Kit", 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(hKey, L"Skip Warning On REF", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
        RegCloseKey(hKey);
    }
    static void Click(HWND dlg, int id) { SendMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }
    // Warns once, answering Yes to any dialog shown; how many dialogs that was.
    static int DialogsShownByAWarning() {
        int shown = 0;
        plat::SetDialogHook([&](HWND dlg) {
            ++shown;
            Click(dlg, IDYES);
        });
        KitWarnReferenceDevice();
        plat::SetDialogHook(nullptr);
        return shown;
    }
    static std::wstring ItemText(HWND dlg, int id) {
        WCHAR text[512];
        GetDlgItemTextW(dlg, id, text, 512);
        return text;
    }

    kittest::TestBackendScope backend;
    std::string m_registryFile;
};

TEST_F(RefWarning, ShowsTheQuestionAndYesGoesOn) {
    int shown = 0;
    plat::SetDialogHook([&](HWND dlg) {
        ++shown;
        WCHAR title[256];
        GetWindowTextW(dlg, title, 256);
        EXPECT_EQ(std::wstring(title), L"Tumbral Test");
        EXPECT_EQ(
            ItemText(dlg, 257),
            L"Switching to the Direct3D reference rasterizer, a software device\nthat implements the entire "
            L"Direct3D feature set, but runs very slowly.\nDo you wish to continue?");
        EXPECT_EQ(ItemText(dlg, IDYES), L"&Yes");
        EXPECT_EQ(ItemText(dlg, IDNO), L"&No");
        EXPECT_EQ(ItemText(dlg, kIdDontShow), L"&Don't show again");
        EXPECT_NE(SendDlgItemMessageW(dlg, 256, STM_GETIMAGE, IMAGE_ICON, 0), 0);
        Click(dlg, IDYES);
    });
    KitWarnReferenceDevice();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(SkipValue(), -1);  // not remembered
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(RefWarning, DontShowAgainDisablesNoAndIsRemembered) {
    plat::SetDialogHook([&](HWND dlg) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDNO)));
        Click(dlg, kIdDontShow);
        EXPECT_EQ(IsDlgButtonChecked(dlg, kIdDontShow), BST_CHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDNO)));
        Click(dlg, kIdDontShow);  // cleared again: No comes back
        EXPECT_EQ(IsDlgButtonChecked(dlg, kIdDontShow), BST_UNCHECKED);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDNO)));
        Click(dlg, kIdDontShow);
        Click(dlg, IDNO);  // disabled: nothing happens
        Click(dlg, IDYES);
    });
    KitWarnReferenceDevice();
    EXPECT_EQ(SkipValue(), 1);

    // From now on the dialog is not shown.
    EXPECT_EQ(DialogsShownByAWarning(), 0);
}

TEST_F(RefWarning, CancelWithTheBoxCheckedCountsAsYes) {
    plat::SetDialogHook([&](HWND dlg) {
        Click(dlg, kIdDontShow);
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    KitWarnReferenceDevice();
    EXPECT_EQ(SkipValue(), 1);
}

TEST_F(RefWarning, StoredValueSkipsTheDialog) {
    StoreSkipValue(1);
    EXPECT_EQ(DialogsShownByAWarning(), 0);
    // Zero means "ask".
    StoreSkipValue(0);
    EXPECT_EQ(DialogsShownByAWarning(), 1);
}

TEST_F(RefWarning, BoxesOffShowNothingAndWriteNothing) {
    KitCore().m_bShowErrorBoxes = false;
    int shown = 0;
    plat::SetDialogHook([&](HWND) { ++shown; });
    KitWarnReferenceDevice();
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(SkipValue(), -1);
}

TEST_F(RefWarning, FailedDialogIsNotTakenForAnAnswer) {
    // An owner window that does not exist makes the dialog fail (-1).
    KitCore().m_hWndFullScreen = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xDEAD0));
    int shown = 0;
    plat::SetDialogHook([&](HWND) { ++shown; });
    KitWarnReferenceDevice();
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(SkipValue(), -1);
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(RefWarning, NoEndsTheRunAndWithoutTheBoxIsNotRemembered) {
    plat::SetDialogHook([&](HWND dlg) { Click(dlg, IDNO); });
    KitWarnReferenceDevice();
    EXPECT_EQ(SkipValue(), -1);
    EXPECT_EQ(KitProcessExitCode(), 1);  // No terminates the framework
}

}  // namespace
