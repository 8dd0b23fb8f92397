// The window system's reset for tests: back to the state of a fresh process.
#include <algorithm>

#include "platform/win32/test_hooks.h"
#include "platform/win32/user_state.h"

namespace plat {

void ResetWindowSystem() {
    user::State& s = user::S();
    user::DestroyAll();
    s.menus.Clear();
    s.hooks.Clear();
    s.dcs.Clear();
    s.bitmaps.Clear();
    s.icons.Clear();
    s.classes.clear();
    s.systemClasses = false;
    s.posted.clear();
    user::ResetComposition();
    s.quitPosted = false;
    s.quitCode = 0;
    s.active = s.focus = s.capture = nullptr;
    s.appActive = false;
    s.activationOrder.clear();
    std::fill(std::begin(s.keys), std::end(s.keys), 0);
    std::fill(std::begin(s.asyncKeys), std::end(s.asyncKeys), 0);
    s.altAlone = false;
    s.pendingKeyChar = 0;
    s.lastClickWindow = nullptr;
    s.lastClickWasDouble = false;
    s.cursor = nullptr;
    s.cursorCount = 0;
    s.clipped = false;
    s.hookChain.clear();
    s.hookPosition = -1;
    s.stickyKeys = STICKYKEYS{sizeof(STICKYKEYS), 0x1FE};
    s.toggleKeys = TOGGLEKEYS{sizeof(TOGGLEKEYS), 0x1E};
    s.filterKeys = FILTERKEYS{sizeof(FILTERKEYS), 0x7E, 1000, 500, 500, 0};
    s.cascade = 0;
    s.dialogDepth = 0;
}

}  // namespace plat
