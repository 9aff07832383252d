// Owns at most one open registry key. Every failure is a false result, and Result() tells what
// the registry answered.
#pragma once

#include "settings/RegistryApi.h"

#include <cstdint>

class RegistryKey {
  public:
    explicit RegistryKey(RegistryApi& registry = PlatformRegistry()) : registry_(registry) {}
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Create(const char* path, RegistryHandle root);
    bool Open(const char* path, RegistryHandle root);
    void Close();
    bool SetDWORD(const char* name, std::uint32_t value);
    bool GetDWORD(const char* name, std::uint32_t* value);
    bool GetString(const char* name, char* buffer, std::uint32_t* size);
    // The code the registry returned to the last request made of it (RegSuccess before any).
    long Result() const { return result_; }

  private:
    RegistryApi& registry_;
    long result_ = RegSuccess;
    RegistryHandle handle = 0;
    // Set once Create had to make the key; never cleared for the life of the wrapper.
    std::uint8_t created = 0;
};
