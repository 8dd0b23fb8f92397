// The application's per-axis turn accumulators (radians covered by the
// current turn about x, y and z); they outlive any rebuild of the cube.
#include "app/puzzle_cube.h"

float g_fTurnedX = 0.0f;
float g_fTurnedY = 0.0f;
float g_fTurnedZ = 0.0f;
