// The two facts of the operating-system version that the guard and the probes decide by.
#pragma once

#include <cstdint>

struct OsVersion {
    std::uint32_t platformId;
    std::uint32_t majorVersion;
};

constexpr std::uint32_t VerPlatformWin32Nt = 2;

// GetVersionExA with the first-version record; only the Windows build defines it.
bool ReadOsVersion(OsVersion* version);
