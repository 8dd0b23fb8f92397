// One formatted debug-output line.
#include "common/kit/errors/kit_debug_line.h"

#include <cstdarg>

void KitDebugLine(const WCHAR* strFormat, ...) {
    WCHAR strBuffer[512];
    va_list args;
    va_start(args, strFormat);
    StringCchVPrintfW(strBuffer, 512, strFormat, args);
    va_end(args);
    OutputDebugStringW(strBuffer);
}
