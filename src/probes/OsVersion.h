// The two facts of the operating-system version that the guard and the probes decide by.
#pragma once

#include <cstdint>

struct OsVersion {
    std::uint32_t platformId;
    std::uint32_t majorVersion;
};

constexpr std::uint32_t VerPlatformWin32Nt = 2;

class OsVersionApi {
  public:
    virtual ~OsVersionApi() = default;
    // GetVersionExA with the first-version record; false when the query fails.
    virtual bool QueryOsVersion(OsVersion* version) = 0;
};

// The real system; only the Windows build defines it.
OsVersionApi& PlatformOsVersion();
