// What a resource script and the resource compiler do on the platform this one
// imitates: place bytes in the program's module under a name or an integer
// identifier, where FindResourceW / LoadResource / LockResource / SizeofResource
// (platform/win32kernel.h) and D3DX's *FromResource* loaders find them.
#pragma once

#include "platform/win32types.h"

// Places (or replaces) a resource. The bytes are not copied: they must outlive
// the program's use of them (static data). Safe to call from static initialisers.
void WINAPI AddModuleResource(LPCWSTR lpName, const void* pBytes, DWORD dwSize);
