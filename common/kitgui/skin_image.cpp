// The built-in skin's bytes (generated at build time from kitgui/media) and
// their place in the platform's built-in resource table.
#include "common/kitgui/skin_image.h"

#include <mutex>

#include "platform/d3dx9/resources.h"

extern const unsigned char g_KitSkinDds[];
extern const unsigned long g_KitSkinDds_size;

bool KitFindSkinImage(const void** ppBytes, UINT* pnSize) {
    static std::once_flag registered;
    std::call_once(registered, [] {
        plat::RegisterBuiltinResource(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), g_KitSkinDds,
                                      g_KitSkinDds_size);
    });
    const void* pBytes = nullptr;
    size_t nSize = 0;
    const bool bFound = plat::FindBuiltinResource(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), &pBytes, &nSize);
    *ppBytes = bFound ? pBytes : nullptr;
    *pnSize = bFound ? UINT(nSize) : 0;
    return bFound;
}
