#pragma once

#include <windows.h>

// Message box owned by MainWindow (or by nothing once it is gone), captioned AppTitle.
void ShowMessage(const char* text, UINT flags);
// Puts the system's description of the thread's last error into `text`'s one "%s"; shows
// nothing when the system has no description.
void ShowSystemError(const char* text, UINT flags);
HWND MessageOwner();
// The recorded error, if any, with the error icon for a negative code.
void ShowClosingMessage();
