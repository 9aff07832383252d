// The six registry operations the settings code needs, so that the same logic runs against
// the real registry and against an in-memory store in tests.
#pragma once

#include "app/base/PlatformHandle.h"

#include <cstdint>

using RegistryHandle = PlatformHandle; // an HKEY

constexpr RegistryHandle HkeyCurrentUser = 0x80000001;
constexpr RegistryHandle HkeyLocalMachine = 0x80000002;

constexpr std::uint32_t RegTypeSz = 1;
constexpr std::uint32_t RegTypeBinary = 3;
constexpr std::uint32_t RegTypeDword = 4;
constexpr std::uint32_t RegCreatedNewKey = 1;
constexpr long RegSuccess = 0;

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;
    // RegCreateKeyExA with full access; `disposition` receives REG_CREATED_NEW_KEY or
    // REG_OPENED_EXISTING_KEY.
    virtual long CreateKey(RegistryHandle root, const char* path, RegistryHandle* key,
                           std::uint32_t* disposition) = 0;
    // RegOpenKeyExA for reading.
    virtual long OpenKey(RegistryHandle root, const char* path, RegistryHandle* key) = 0;
    virtual long FlushKey(RegistryHandle key) = 0;
    virtual long CloseKey(RegistryHandle key) = 0;
    virtual long SetValue(RegistryHandle key, const char* name, std::uint32_t type,
                          const void* data, std::uint32_t size) = 0;
    // RegQueryValueExA: `size` holds the room on entry and the stored size on success.
    virtual long QueryValue(RegistryHandle key, const char* name, std::uint32_t* type, void* data,
                            std::uint32_t* size) = 0;
};

// The real registry; only the Windows build defines it.
RegistryApi& PlatformRegistry();
