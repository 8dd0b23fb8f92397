// D3DX core: fonts, sprites and the library version check.
#pragma once

#include "platform/d3d9.h"
