// The program's shell: its globals, start-up and the hidden main window.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;
// The hidden, disabled window that owns the sheet; never cleared once created.
extern HWND MainWindow;
extern const char* const AppTitle;

constexpr const char* MainWindowClass = "KestCnf";
// Sent to MainWindow to write the settings to the registry; answers the code of the registry's
// first failure, 0 when all was written.
constexpr UINT WM_SAVESETTINGS = WM_USER + 1;

void InitApplication();
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
