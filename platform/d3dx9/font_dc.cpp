// Registry of font device contexts: a handle is valid only while its font lives.
#include "platform/d3dx9/font_dc.h"

#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_map<HDC, FontEngine*> engines;
    uintptr_t next = 0x464F0000;  // handle values never dereferenced
};

Registry& Fonts() {
    static Registry registry;
    return registry;
}

}  // namespace

FontEngine* FontEngineFromDC(HDC dc) {
    Registry& r = Fonts();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto found = r.engines.find(dc);
    return found == r.engines.end() ? nullptr : found->second;
}

HDC RegisterFontDC(FontEngine* engine) {
    Registry& r = Fonts();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.next += 0x10;
    HDC dc = reinterpret_cast<HDC>(r.next);
    r.engines[dc] = engine;
    return dc;
}

void UnregisterFontDC(HDC dc) {
    Registry& r = Fonts();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.engines.erase(dc);
}

}  // namespace plat
