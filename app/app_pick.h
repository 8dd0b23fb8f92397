// Picking from the screen: the ray through a client-area point, built from the
// viewport and the view and projection transforms the device holds now.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3dx9.h"

class CPuzzleCube;

// World-space ray through client point (x, y): origin and unit direction.
// False when the device has no usable viewport or view matrix.
bool AppPickRay(IDirect3DDevice9* pd3dDevice, UINT x, UINT y, D3DXVECTOR3* pvOrigin, D3DXVECTOR3* pvDir);

// Flips the mark of the cubie under client point (x, y); true when one was hit.
bool AppPick(IDirect3DDevice9* pd3dDevice, CPuzzleCube& cube, UINT x, UINT y);
