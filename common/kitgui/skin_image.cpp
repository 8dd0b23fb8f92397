// The built-in skin's bytes (generated at build time from kitgui/media), placed
// in the program's resources and found there like any module resource.
#include "common/kitgui/skin_image.h"

#include <mutex>

#include "platform/resource_script.h"
#include "platform/win32.h"

extern const unsigned char g_KitSkinDds[];
extern const unsigned long g_KitSkinDds_size;

bool KitFindSkinImage(const void** ppBytes, UINT* pnSize) {
    // What a resource script would compile into the module; a resource of the
    // same identifier placed before this runs takes its place.
    static std::once_flag placed;
    std::call_once(placed, [] {
        if (FindResourceW(nullptr, MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), RT_RCDATA) == nullptr)
            AddModuleResource(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), g_KitSkinDds,
                              static_cast<DWORD>(g_KitSkinDds_size));
    });
    *ppBytes = nullptr;
    *pnSize = 0;
    HRSRC hInfo = FindResourceW(nullptr, MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), RT_RCDATA);
    if (hInfo == nullptr) return false;
    HGLOBAL hData = LoadResource(nullptr, hInfo);
    const void* pBytes = hData != nullptr ? LockResource(hData) : nullptr;
    if (pBytes == nullptr) return false;
    *ppBytes = pBytes;
    *pnSize = SizeofResource(nullptr, hInfo);
    return true;
}
