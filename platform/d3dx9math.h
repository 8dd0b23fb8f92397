// D3DX maths: vectors, matrices, quaternions, colours.
#pragma once

#include "platform/d3d9types.h"
