// The program's entry point: Tumbral itself.
#include "app/app_callbacks.h"
#include "platform/win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) { return AppMain(); }
