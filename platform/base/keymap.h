// Keyboard tables: virtual-key names, set-1 scan codes and the characters a
// key gives on a US layout. Shared by the window system and the backends
// (headless input and script).
#pragma once

#include <string>

#include "platform/win32types.h"

namespace plat {

// "VK_F1", "VK_RETURN", "A", "7" (case-insensitive) → code; 0 when unknown.
UINT VirtualKeyFromName(const std::string& name);
// The set-1 scan code of a key and whether it is an extended key.
UINT ScanCodeOfKey(UINT vk, bool* extended);
// The character a key gives (0 for none); Ctrl+letter gives control codes 1-26.
char32_t CharacterOfKey(UINT vk, bool shift, bool ctrl, bool capsLock);
// The key and Shift state that type a character; false when no key does.
bool KeyOfCharacter(char32_t ch, UINT* vk, bool* shift);

}  // namespace plat
