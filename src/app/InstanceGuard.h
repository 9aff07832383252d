// Decides at start-up whether the tool may run: one copy at a time, no game running, no
// Windows NT before 4.0. Once allowed, it records the DirectX level for the defaults.
#pragma once

#include "probes/DirectXVersion.h"
#include "probes/OsVersion.h"

#include "app/base/PlatformHandle.h"

#include <cstdint>

using MutexHandle = PlatformHandle; // a HANDLE on Windows; 0 is none

constexpr std::uint32_t ErrorAccessDenied = 5;
constexpr std::uint32_t ErrorAlreadyExists = 183;
constexpr std::uint32_t MbIconInformation = 0x40;

constexpr const char* InstanceMutexName = "KestCnf";
constexpr const char* KestIIMutexName = "KestII SEMPERA";
constexpr const char* KestIMutexName = "KestI SEMPERA";
constexpr const char* KestIIRunning = "You must exit Kest II OMNIVA\nbefore running this program.";
constexpr const char* KestIRunning = "You must exit Kest I OMNIVA\nbefore running this program.";

class GuardApi {
  public:
    virtual ~GuardApi() = default;
    // CreateMutexA, no security attributes, initially owned.
    virtual MutexHandle CreateOwnedMutex(const char* name) = 0;
    virtual std::uint32_t LastError() = 0;
    // OpenMutexA to wait on it; 0 when it does not exist or may not be opened (LastError tells).
    virtual MutexHandle OpenExistingMutex(const char* name) = 0;
    virtual void CloseMutex(MutexHandle mutex) = 0;
    // Brings the running copy's sheet, or the box over it, to the front.
    virtual void ShowRunningCopy() = 0;
    // Message box owned by the main window (none yet) and captioned with the title.
    virtual void ShowMessage(const char* text, std::uint32_t flags) = 0;
};

// The real system; only the Windows build defines it.
GuardApi& PlatformGuard();

// The tool's own mutex, held from CheckInstance to the clean-up; 0 until CheckInstance runs.
extern MutexHandle InstanceMutex;

// True when the program may run; raises runtime_error on Windows NT before 4.0.
bool CheckInstance(GuardApi& guard = PlatformGuard(), DirectXApi& directX = PlatformDirectX(),
                   OsVersionApi& os = PlatformOsVersion());

// Releases and closes InstanceMutex if it is held. Windows build only.
void ReleaseInstanceMutex();
