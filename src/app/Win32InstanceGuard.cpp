#include "app/InstanceGuard.h"

#include "app/Application.h"
#include "app/base/MessageBoxes.h"

#include <windows.h>

namespace {

class Win32Guard final : public GuardApi {
  public:
    MutexHandle CreateOwnedMutex(const char* name) override {
        return ToPlatformHandle(CreateMutexA(nullptr, TRUE, name));
    }
    std::uint32_t LastError() override { return GetLastError(); }
    MutexHandle OpenExistingMutex(const char* name) override {
        return ToPlatformHandle(OpenMutexA(SYNCHRONIZE, TRUE, name));
    }
    void CloseMutex(MutexHandle mutex) override { CloseHandle(ToNative<HANDLE>(mutex)); }
    void ShowRunningCopy() override {
        // Its hidden main window owns the sheet and the boxes; alone, it has nothing to show.
        const HWND main = FindWindowA(MainWindowClass, nullptr);
        const HWND popup = main ? GetLastActivePopup(main) : nullptr;
        if (popup && popup != main)
            SetForegroundWindow(popup);
    }
    void ShowMessage(const char* text, std::uint32_t flags) override { ::ShowMessage(text, flags); }
};

} // namespace

GuardApi& PlatformGuard() {
    static Win32Guard guard;
    return guard;
}

void ReleaseInstanceMutex() {
    if (!InstanceMutex)
        return;
    // Not owned when a running copy created it first; the release then fails harmlessly.
    ReleaseMutex(ToNative<HANDLE>(InstanceMutex));
    CloseHandle(ToNative<HANDLE>(InstanceMutex));
    InstanceMutex = 0;
}
