// Symbolic names of result codes, for the failure trace.
#pragma once

#include "platform/win32.h"

// Symbolic name of a result code, or "Unknown".
const WCHAR* KitResultName(HRESULT hr);
