// Direct3D 9-style interfaces: the Direct3D object, the device and its resources.
#pragma once

#include "platform/win32.h"
#include "platform/d3d9types.h"
