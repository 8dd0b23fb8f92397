// The D3DX 9-style library: maths, meshes, textures, fonts, sprites, effects.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3dx9math.h"
#include "platform/d3dx9mesh.h"
#include "platform/d3dx9tex.h"
#include "platform/d3dx9core.h"
#include "platform/d3dx9effect.h"
