// The program's spine: start-up and the hidden main window.
#pragma once

#include "app/base/Program.h"

#include <windows.h>

constexpr const char* MainWindowClass = "KestCnf";

void InitApplication();
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
