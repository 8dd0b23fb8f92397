// The application's Direct3D settings page and its set-up.
#include "app/app_settings_dialog.h"

#include "app/app_restore_dialog.h"

CD3DSettingsDlg g_SettingsDlg;

void AppInitSettingsDialog() { g_SettingsDlg.Setup(&g_DialogResourceManager); }
