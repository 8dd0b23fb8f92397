// The input-method service ("imm32.dll"): the composition string of the
// focused window's input context. Programs reach it through LoadLibraryW and
// GetProcAddress.
#pragma once

#include "platform/win32types.h"

typedef void* HIMC;  // an input context; opaque

// ImmGetCompositionStringW indices (also the lParam flags of WM_IME_COMPOSITION).
#define GCS_COMPSTR 0x0008
#define GCS_RESULTSTR 0x0800

typedef HIMC(WINAPI* PFN_ImmGetContext)(HWND);
typedef BOOL(WINAPI* PFN_ImmReleaseContext)(HWND, HIMC);
// Bytes copied (with a zero-length buffer: bytes needed); negative on failure.
typedef LONG(WINAPI* PFN_ImmGetCompositionStringW)(HIMC, DWORD, LPVOID, DWORD);
