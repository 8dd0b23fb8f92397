// The application's Direct3D settings page: set up at start and given the
// device events; nothing in the program opens it, but while it is active it
// draws the whole frame and takes every window message.
#pragma once

#include "common/kitsettingsdlg/settings_dialog.h"

extern CD3DSettingsDlg g_SettingsDlg;  // the settings page, inactive from start

// Sets the page up with the shared GUI resources (before the restore dialog).
void AppInitSettingsDialog();
