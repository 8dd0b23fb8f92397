// Error reporting: the framework's own result codes with their messages and
// exit codes, the user-facing error box and the failure trace.
#pragma once

#include "platform/win32.h"

#define KIT_ITF_ERROR(code) ((HRESULT)(0x80040000u | (code)))
#define KITERR_NODIRECT3D KIT_ITF_ERROR(0x0901)
#define KITERR_NOCOMPATIBLEDEVICES KIT_ITF_ERROR(0x0902)
#define KITERR_MEDIANOTFOUND KIT_ITF_ERROR(0x0903)
#define KITERR_NONZEROREFCOUNT KIT_ITF_ERROR(0x0904)
#define KITERR_CREATINGDEVICE KIT_ITF_ERROR(0x0905)
#define KITERR_RESETTINGDEVICE KIT_ITF_ERROR(0x0906)
#define KITERR_CREATINGDEVICEOBJECTS KIT_ITF_ERROR(0x0907)
#define KITERR_RESETTINGDEVICEOBJECTS KIT_ITF_ERROR(0x0908)
#define KITERR_INCORRECTVERSION KIT_ITF_ERROR(0x0909)
#define KITERR_DEVICEREMOVED KIT_ITF_ERROR(0x090A)

// Sets the exit code for hr and, for the framework's codes with a message,
// shows that message in an error box (when error boxes are enabled).
void KitShowErrorMessage(HRESULT hr);

// The trace every caller returns through when it passes a failure up: writes
// one debug-output line and returns hr unchanged. The pop-up (for misuse by the
// application) is dropped when error boxes are disabled.
HRESULT KitLogFailure(const char* strFile, DWORD dwLine, HRESULT hr, const WCHAR* strMsg, bool bPopMsgBox);
// The writer behind KitLogFailure: "file(line): call text hr=NAME (0x........)".
HRESULT KitWriteTrace(const char* strFile, DWORD dwLine, HRESULT hr, const WCHAR* strMsg, bool bPopMsgBox);

#define KIT_LOG_FAILURE(str, hr) KitLogFailure(__FILE__, (DWORD)__LINE__, (hr), (str), false)
#define KIT_LOG_FAILURE_POPUP(str, hr) KitLogFailure(__FILE__, (DWORD)__LINE__, (hr), (str), true)
