#include "app/InstanceGuard.h"

#include "app/base/ErrorReport.h"
#include "settings/StartupSettings.h"

MutexHandle InstanceMutex;

namespace {

// A game holds its mutex for as long as it runs; the handle opened here is only a probe. A game
// run as administrator makes one that a standard user may not open, but it is there all the same.
bool IsRunning(GuardApi& guard, const char* mutexName) {
    const MutexHandle mutex = guard.OpenExistingMutex(mutexName);
    if (!mutex)
        return guard.LastError() == ErrorAccessDenied;
    guard.CloseMutex(mutex);
    return true;
}

} // namespace

bool CheckInstance(GuardApi& guard, DirectXApi& directX, OsVersionApi& os) {
    // Kept even when refusing: the clean-up releases whatever was returned.
    InstanceMutex = guard.CreateOwnedMutex(InstanceMutexName);
    if (!InstanceMutex)
        return false;
    if (guard.LastError() == ErrorAlreadyExists) {
        // The player is looking for the copy that runs, which may lie under other windows.
        guard.ShowRunningCopy();
        return false;
    }

    // The second game first: with both running, its message is the one shown.
    if (IsRunning(guard, KestIIMutexName)) {
        guard.ShowMessage(KestIIRunning, MbIconInformation);
        return false;
    }
    if (IsRunning(guard, KestIMutexName)) {
        guard.ShowMessage(KestIRunning, MbIconInformation);
        return false;
    }

    OsVersion system = {};
    if (os.QueryOsVersion(&system) && system.platformId == VerPlatformWin32Nt &&
        system.majorVersion < 4)
        KEST_RAISE("Windows NT3.51 is not supported.");

    std::uint32_t version = 0;
    std::uint32_t platform = 0;
    DetectDirectXVersion(&version, &platform, directX, os);
    DirectXVersion = static_cast<std::int32_t>(version);
    return true;
}
