// What every layer may name of the running program: its module, its title, the hidden main
// window that owns the sheet and the message boxes, and the message that asks it to save.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;
// Null until the window is created, and never cleared.
extern HWND MainWindow;
extern const char* const AppTitle;

// Sent to MainWindow to write the settings to the registry; answers the code of the registry's
// first failure, 0 when all was written.
constexpr UINT WM_SAVESETTINGS = WM_USER + 1;
