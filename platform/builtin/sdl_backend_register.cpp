// Registers the SDL2 backend under the name "sdl".
#include "platform/sdl/sdl_backend.h"

namespace {

const bool kRegistered = (plat::RegisterBackendFactory("sdl", &plat::CreateSdlBackend), true);

}  // namespace
