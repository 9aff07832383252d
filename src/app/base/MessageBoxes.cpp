#include "app/base/MessageBoxes.h"

#include "app/base/ErrorReport.h"
#include "app/base/Program.h"

#include <cstdio>

// While the sheet is up it owns the box, which is then modal to it and hands the keyboard back
// to it when closed; Wine would give it to a hidden MainWindow instead, and a player without a
// mouse could go no further. On the ordinary way out MainWindow is already destroyed; a box
// must not name a dead owner.
HWND MessageOwner() {
    if (HWND active = GetActiveWindow())
        return active;
    return IsWindow(MainWindow) ? MainWindow : nullptr;
}

void ShowClosingMessage() {
    if (ErrorStringBuffer[0])
        MessageBoxA(MessageOwner(), ErrorStringBuffer, AppTitle,
                    MB_OK | (ErrorCode < 0 ? MB_ICONERROR : MB_ICONINFORMATION));
}

void ShowMessage(const char* text, UINT flags) {
    MessageBoxA(MessageOwner(), text, AppTitle, flags);
}

void ShowSystemError(const char* text, UINT flags, DWORD error) {
    char* description = nullptr;
    char number[24];
    std::snprintf(number, sizeof number, "error %lu", static_cast<unsigned long>(error));
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                                  reinterpret_cast<char*>(&description), 0, nullptr);
    // The system ends its texts with a line break, which would leave the closing bracket alone.
    while (length > 0 && (description[length - 1] == '\n' || description[length - 1] == '\r'))
        description[--length] = '\0';
    char message[1024];
    std::snprintf(message, sizeof message, text, length ? description : number);
    MessageBoxA(MessageOwner(), message, AppTitle, flags);
    LocalFree(description);
}
