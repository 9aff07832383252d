#include "app/MessageBoxes.h"

#include "app/Application.h"

#include <cstdio>

HWND MessageOwner() {
    return IsWindow(MainWindow) ? MainWindow : nullptr;
}

void ShowMessage(const char* text, UINT flags) {
    MessageBoxA(MessageOwner(), text, AppTitle, flags);
}

void ShowSystemError(const char* text, UINT flags) {
    const DWORD error = GetLastError();
    char* description = nullptr;
    if (!FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error,
                        MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                        reinterpret_cast<char*>(&description), 0, nullptr))
        return;
    char message[1024];
    std::snprintf(message, sizeof message, text, description);
    MessageBoxA(MessageOwner(), message, AppTitle, flags);
    LocalFree(description);
}
