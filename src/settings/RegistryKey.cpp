#include "settings/RegistryKey.h"

bool RegistryKey::Create(const char* path, RegistryHandle root) {
    Close();
    std::uint32_t disposition = 0;
    RegistryHandle key = 0;
    if ((result_ = registry_.CreateKey(root, path, &key, &disposition)) != RegSuccess)
        return false;
    handle = key;
    if (disposition == RegCreatedNewKey)
        created = 1;
    return true;
}

bool RegistryKey::Open(const char* path, RegistryHandle root) {
    Close();
    RegistryHandle key = 0;
    if ((result_ = registry_.OpenKey(root, path, &key)) != RegSuccess)
        return false;
    handle = key;
    return true;
}

void RegistryKey::Close() {
    if (handle == 0)
        return;
    registry_.FlushKey(handle);
    registry_.CloseKey(handle);
    handle = 0;
}

bool RegistryKey::SetDWORD(const char* name, std::uint32_t value) {
    if (handle == 0)
        return false;
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return (result_ = registry_.SetValue(handle, name, RegTypeDword, bytes, sizeof bytes)) ==
           RegSuccess;
}

bool RegistryKey::GetDWORD(const char* name, std::uint32_t* value) {
    if (handle == 0)
        return false;
    // The stored type is deliberately not examined: anything of at most four bytes reads as a
    // little-endian number, and shorter data leaves the high bytes zero.
    std::uint8_t bytes[4] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof bytes;
    if ((result_ = registry_.QueryValue(handle, name, &type, bytes, &size)) != RegSuccess)
        return false;
    *value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
             std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return true;
}

bool RegistryKey::GetString(const char* name, char* buffer, std::uint32_t* size) {
    if (handle == 0)
        return false;
    std::uint32_t type = 0;
    return (result_ = registry_.QueryValue(handle, name, &type, buffer, size)) == RegSuccess;
}
