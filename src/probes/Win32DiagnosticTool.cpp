#include "probes/DiagnosticTool.h"

#include "app/base/MessageBoxes.h"
#include "app/base/Program.h"

#include <windows.h>
#include <shellapi.h>

namespace {

class Win32Launcher final : public LauncherApi {
  public:
    void SystemDirectory(char* buffer, std::uint32_t size) override {
        GetSystemDirectoryA(buffer, size);
    }
    void WindowsDirectory(char* buffer, std::uint32_t size) override {
        GetWindowsDirectoryA(buffer, size);
    }
    bool FileExists(const char* path) override {
        const HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }
    std::intptr_t ShellOpen(const char* path) override {
        return reinterpret_cast<std::intptr_t>(
            ShellExecuteA(MainWindow, "open", path, "", "", SW_SHOWDEFAULT));
    }
    void ShowMessage(const char* text, std::uint32_t flags) override { ::ShowMessage(text, flags); }
    void ShowSystemError(const char* text, std::uint32_t flags) override {
        ::ShowSystemError(text, flags);
    }
};

} // namespace

LauncherApi& PlatformLauncher() {
    static Win32Launcher launcher;
    return launcher;
}

void LaunchDiagnosticTool() {
    LaunchDiagnosticTool(PlatformLauncher(), PlatformRegistry(), PlatformOsVersion());
}
