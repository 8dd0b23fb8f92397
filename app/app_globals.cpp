// Definitions of the application's globals (see app_globals.h).
#include "app/app_globals.h"

CModelViewerCamera g_ViewCamera;
CPuzzleCube g_PuzzleCube;
bool g_bCubeBuilt = false;
bool g_bHelpVisible = true;
ID3DXFont* g_pFont = nullptr;
ID3DXSprite* g_pTextSprite = nullptr;
