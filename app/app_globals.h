// The application's globals: the camera, the puzzle, the HUD's font and
// sprite, and the flags the callbacks share.
#pragma once

#include "app/puzzle_cube.h"
#include "common/kitmisc/model_viewer_camera.h"
#include "platform/d3dx9.h"

extern CModelViewerCamera g_ViewCamera;  // the view: right drag orbits, wheel zooms, Home resets
extern CPuzzleCube g_PuzzleCube;         // the puzzle
extern bool g_bCubeBuilt;                // built since start
extern bool g_bHelpVisible;              // the help lines are shown (F1 toggles)
extern ID3DXFont* g_pFont;               // HUD font
extern ID3DXSprite* g_pTextSprite;       // batches the HUD text
