// The program's message boxes, all captioned with its title.
#pragma once

#include <windows.h>

// Message box owned by the window in use, else by MainWindow while it lives, captioned
// AppTitle.
void ShowMessage(const char* text, UINT flags);
// Puts the system's description of `error` into `text`'s one "%s", or "error N" when the system
// has none.
void ShowSystemError(const char* text, UINT flags, DWORD error = GetLastError());
HWND MessageOwner();
// The recorded error, if any, with the error icon for a negative code.
void ShowClosingMessage();
