// Finds the DirectX Diagnostic Tool and asks the shell to open it.
#pragma once

#include "probes/OsVersion.h"
#include "settings/RegistryApi.h"

#include <cstdint>

class LauncherApi {
  public:
    virtual ~LauncherApi() = default;
    virtual void SystemDirectory(char* buffer, std::uint32_t size) = 0;
    virtual void WindowsDirectory(char* buffer, std::uint32_t size) = 0;
    // True when the path can be opened (no access asked, shared for reading and writing).
    virtual bool FileExists(const char* path) = 0;
    // ShellExecuteA "open", owned by the main window; above 32 means success.
    virtual std::intptr_t ShellOpen(const char* path) = 0;
    virtual void ShowMessage(const char* text, std::uint32_t flags) = 0;
    // Puts the description of the thread's last error into `text`'s "%s", or "error N" when the
    // system has none.
    virtual void ShowSystemError(const char* text, std::uint32_t flags) = 0;
};

// The real system; only the Windows build defines it.
LauncherApi& PlatformLauncher();

constexpr std::uint32_t PathCapacity = 260;
constexpr const char* DxDiagAppPathKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DXDIAG.EXE";
constexpr const char* DxDiagNotPresent = "DXDIAG.EXE not present.";
constexpr const char* DxDiagCannotStart = "DXDIAG.EXE can't be started.\n[%s]";

void LaunchDiagnosticTool(LauncherApi& launcher, RegistryApi& registry, OsVersionApi& os);
// The page's button: the real system and registry. Windows build only.
void LaunchDiagnosticTool();
