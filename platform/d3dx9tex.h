// D3DX textures: images from files, memory and built-in resources.
#pragma once

#include "platform/d3d9.h"
