#include "probes/DiagnosticTool.h"

#include "app/base/BoundedText.h"
#include "settings/RegistryKey.h"

#include <cstring>

namespace {

constexpr std::uint32_t MbOk = 0;

// The key is closed when this returns, whatever the outcome.
bool ReadAppPath(RegistryApi& registry, char* path) {
    RegistryKey key(registry);
    std::uint32_t size = PathCapacity;
    if (!key.Open(DxDiagAppPathKey, HkeyLocalMachine) || !key.GetString(nullptr, path, &size)) {
        path[0] = '\0';
        return false;
    }
    // A value stored without its terminator must not run past the buffer.
    path[PathCapacity - 1] = '\0';
    return true;
}

// The shortcut that DirectX setup leaves at the root of the Windows drive.
void ShortcutPath(LauncherApi& launcher, char* path) {
    launcher.WindowsDirectory(path, PathCapacity);
    path[PathCapacity - 1] = '\0';
    if (char* backslash = std::strchr(path, '\\'))
        backslash[1] = '\0';
    // A path that does not fit is cut, and then names nothing the existence test will find.
    BoundedText(path, PathCapacity).Add("Program Files\\DIRECTX\\SETUP\\DXDIAG.LNK");
}

} // namespace

void LaunchDiagnosticTool(LauncherApi& launcher, RegistryApi& registry, OsVersionApi& os) {
    char path[PathCapacity] = {};
    OsVersion system = {};
    // A version that cannot be read takes the route every older system takes.
    const bool known = os.QueryOsVersion(&system);
    if (known && system.platformId == VerPlatformWin32Nt && system.majorVersion >= 5) {
        launcher.SystemDirectory(path, PathCapacity);
        BoundedText(path, PathCapacity).Add("\\DXDIAG.EXE");
    } else if (!ReadAppPath(registry, path)) {
        ShortcutPath(launcher, path);
        if (!launcher.FileExists(path)) {
            launcher.ShowMessage(DxDiagNotPresent, MbOk);
            return;
        }
    }
    if (launcher.ShellOpen(path) > 32)
        return;
    launcher.ShowSystemError(DxDiagCannotStart, MbOk);
}
