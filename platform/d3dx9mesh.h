// D3DX meshes: the .x loader, meshes, buffers, bounding spheres.
#pragma once

#include "platform/d3d9.h"
