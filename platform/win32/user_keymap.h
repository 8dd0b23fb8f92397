// Former home of the keyboard tables, now platform/base/keymap.h; kept until
// the remaining test helpers include the new header.
#pragma once

#include "platform/base/keymap.h"
