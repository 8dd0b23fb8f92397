// D3DX effects: loaders that report that no shader compiler exists here.
#pragma once

#include "platform/d3d9.h"
