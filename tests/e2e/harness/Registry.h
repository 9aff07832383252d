// The settings key as the games see it, read and prepared by the tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr const char* TestSettingsKey = "SOFTWARE\\Halvic\\KestII SEMPERA";

struct StoredValue {
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    std::uint32_t AsDword() const;
};

// Removes the settings key with all its values.
void DeleteSettingsKey();
bool SettingsKeyExists();
void StoreValue(const char* name, DWORD type, const void* data, DWORD size);
void StoreDword(const char* name, std::uint32_t value);
std::optional<StoredValue> ReadValue(const char* name);
// Every value name under the key.
std::vector<std::string> ValueNames();
