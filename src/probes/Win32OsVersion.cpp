#include "probes/OsVersion.h"

#include <windows.h>

// The first-version record (148 bytes on every target): the guard and the probes need no more.
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA layout");

namespace {

class Win32OsVersion final : public OsVersionApi {
  public:
    bool QueryOsVersion(OsVersion* version) override {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info))
            return false;
        version->platformId = info.dwPlatformId;
        version->majorVersion = info.dwMajorVersion;
        return true;
    }
};

} // namespace

OsVersionApi& PlatformOsVersion() {
    static Win32OsVersion os;
    return os;
}
