#pragma once

#include <windows.h>

// Message box owned by the window in use, else by MainWindow while it lives, captioned
// AppTitle.
void ShowMessage(const char* text, UINT flags);
// Puts the system's description of the thread's last error into `text`'s one "%s"; shows
// nothing when the system has no description.
void ShowSystemError(const char* text, UINT flags);
HWND MessageOwner();
// The recorded error, if any, with the error icon for a negative code.
void ShowClosingMessage();
