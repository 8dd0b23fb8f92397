// The reference-device warning dialog, built in memory as a dialog template.
#include "common/kitmisc/ref_warning.h"

#include <vector>

#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

constexpr WCHAR kRegistryKey[] = L"Software\\Tumbral\\Kit";
constexpr WCHAR kRegistryValue[] = L"Skip Warning On REF";

constexpr int kIdIcon = 256;
constexpr int kIdMessage = 257;
constexpr int kIdDontShow = 5;
constexpr INT_PTR kDontShowFlag = 0x80;

// Writes a dialog template (Windows binary layout) into a WORD buffer.
class TemplateWriter {
  public:
    void Dword(DWORD v) {
        Word(static_cast<WORD>(v & 0xFFFF));
        Word(static_cast<WORD>(v >> 16));
    }
    void Word(WORD v) { m_Words.push_back(v); }
    void Short(short v) { Word(static_cast<WORD>(v)); }
    void Text(const WCHAR* str) {
        for (; *str != L'\0'; ++str) Word(static_cast<WORD>(*str));
        Word(0);
    }
    void AlignDword() {
        if (m_Words.size() % 2 != 0) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
              const WCHAR* strText) {
        AlignDword();
        Dword(style);
        Dword(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(strText);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Template() {
        // The words start on a DWORD boundary: vector storage is suitably aligned.
        return reinterpret_cast<const DLGTEMPLATE*>(m_Words.data());
    }

  private:
    std::vector<WORD> m_Words;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

INT_PTR CALLBACK WarningDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
    switch (uMsg) {
        case WM_INITDIALOG: {
            WCHAR strTitle[256];
            {
                KitStateLock lock;
                StringCchCopyW(strTitle, 256, KitCore().m_szWindowTitle);
            }
            SetWindowTextW(hDlg, strTitle);
            HICON hIcon = LoadIconW(nullptr, IDI_QUESTION);
            SendDlgItemMessageW(hDlg, kIdIcon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon));
            SetDlgItemTextW(
                hDlg, kIdMessage,
                L"Switching to the Direct3D reference rasterizer, a software device\nthat implements the "
                L"entire Direct3D feature set, but runs very slowly.\nDo you wish to continue?");
            SetDlgItemTextW(hDlg, IDYES, L"&Yes");
            SetDlgItemTextW(hDlg, IDNO, L"&No");
            SetDlgItemTextW(hDlg, kIdDontShow, L"&Don't show again");
            return TRUE;
        }
        case WM_COMMAND: {
            bool bChecked = IsDlgButtonChecked(hDlg, kIdDontShow) == BST_CHECKED;
            switch (LOWORD(wParam)) {
                case kIdDontShow:
                    // A remembered choice is always a Yes: No is off while the box is checked.
                    CheckDlgButton(hDlg, kIdDontShow, bChecked ? BST_UNCHECKED : BST_CHECKED);
                    EnableWindow(GetDlgItem(hDlg, IDNO), bChecked ? TRUE : FALSE);
                    return TRUE;
                case IDYES:
                case IDCANCEL:
                    EndDialog(hDlg, IDYES | (bChecked ? kDontShowFlag : 0));
                    return TRUE;
                case IDNO:
                    EndDialog(hDlg, IDNO | (bChecked ? kDontShowFlag : 0));
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        default:
            return FALSE;
    }
}

bool SkipWarningSet() {
    HKEY hKey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    DWORD dwSkip = 0;
    DWORD dwType = 0;
    DWORD cbData = sizeof(DWORD);
    LSTATUS status =
        RegQueryValueExW(hKey, kRegistryValue, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwSkip), &cbData);
    RegCloseKey(hKey);
    return status == ERROR_SUCCESS && dwType == REG_DWORD && cbData == sizeof(DWORD) && dwSkip != 0;
}

void RememberSkipWarning() {
    HKEY hKey;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return;
    DWORD dwSkip = 1;
    RegSetValueExW(hKey, kRegistryValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwSkip), sizeof(DWORD));
    RegCloseKey(hKey);
}

}  // namespace

void KitWarnReferenceDevice() {
    if (!KitErrorBoxesEnabled()) return;
    if (SkipWarningSet()) return;

    TemplateWriter t;
    t.Dword(
        0x90C808C5u);  // popup, visible, caption, system menu, centred, modal frame, set font, 3-D, absolute
    t.Dword(0);
    t.Word(5);  // controls
    t.Short(0);
    t.Short(0);
    t.Short(269);
    t.Short(82);
    t.Word(0);  // no menu
    t.Word(0);  // default class
    t.Word(0);  // title set at initialisation
    t.Word(8);
    t.Text(L"MS Sans Serif");
    t.Item(0x50000203u, 7, 7, 24, 24, kIdIcon, kStaticAtom, L"");
    t.Item(0x50000000u, 40, 7, 230, 25, kIdMessage, kStaticAtom, L"");
    t.Item(0x50000001u, 80, 39, 50, 14, IDYES, kButtonAtom, L"");
    t.Item(0x50000000u, 133, 39, 50, 14, IDNO, kButtonAtom, L"");
    t.Item(0x50000002u, 7, 59, 70, 16, kIdDontShow, kButtonAtom, L"");

    INT_PTR nResult =
        DialogBoxIndirectParamW(KitAppInstance(), t.Template(), KitActiveWindow(), WarningDialogProc, 0);

    // Only a real answer with the box checked is remembered; a failed dialog (-1) is not.
    if (nResult == (IDYES | kDontShowFlag) || nResult == (IDNO | kDontShowFlag)) RememberSkipWarning();
    if (nResult >= 0 && (nResult & 0xF) == IDNO) KitTerminate(1);
}
