#include "settings/RegistryApi.h"

#include <windows.h>

namespace {

HKEY ToHkey(RegistryHandle handle) {
    // Predefined roots are sign-extended 32-bit constants.
    if (handle == HkeyCurrentUser)
        return HKEY_CURRENT_USER;
    if (handle == HkeyLocalMachine)
        return HKEY_LOCAL_MACHINE;
    return ToNative<HKEY>(handle);
}

class Win32Registry final : public RegistryApi {
  public:
    long CreateKey(RegistryHandle root, const char* path, RegistryHandle* key,
                   std::uint32_t* disposition) override {
        HKEY opened = nullptr;
        DWORD how = 0;
        const LONG result = RegCreateKeyExA(ToHkey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_ALL_ACCESS, nullptr, &opened, &how);
        *key = ToPlatformHandle(opened);
        *disposition = how;
        return result;
    }
    long OpenKey(RegistryHandle root, const char* path, RegistryHandle* key) override {
        HKEY opened = nullptr;
        const LONG result = RegOpenKeyExA(ToHkey(root), path, 0, KEY_READ, &opened);
        *key = ToPlatformHandle(opened);
        return result;
    }
    long FlushKey(RegistryHandle key) override { return RegFlushKey(ToHkey(key)); }
    long CloseKey(RegistryHandle key) override { return RegCloseKey(ToHkey(key)); }
    long SetValue(RegistryHandle key, const char* name, std::uint32_t type, const void* data,
                  std::uint32_t size) override {
        return RegSetValueExA(ToHkey(key), name, 0, type, static_cast<const BYTE*>(data), size);
    }
    long QueryValue(RegistryHandle key, const char* name, std::uint32_t* type, void* data,
                    std::uint32_t* size) override {
        DWORD valueType = 0;
        DWORD valueSize = *size;
        const LONG result = RegQueryValueExA(ToHkey(key), name, nullptr, &valueType,
                                             static_cast<BYTE*>(data), &valueSize);
        *type = valueType;
        *size = valueSize;
        return result;
    }
};

} // namespace

RegistryApi& PlatformRegistry() {
    static Win32Registry registry;
    return registry;
}
