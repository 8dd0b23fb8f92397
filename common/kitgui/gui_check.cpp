// The toolkit's assertion helper: the fixed text of a caller error goes to the
// debug output, and the caller returns without doing the operation, so that a
// misuse shows in the trace and never crashes.
#include "common/kitgui/gui_types.h"

bool KitGuiCheck(bool bCondition, const WCHAR* strMessage) {
    if (bCondition) return true;
    OutputDebugStringW(strMessage);
    OutputDebugStringW(L"\n");
    return false;
}
