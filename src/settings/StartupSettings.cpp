#include "settings/StartupSettings.h"

#include "settings/RegistryKey.h"

StartupSettingsRecord StartupSettings;
std::int32_t DirectXVersion;
std::int32_t EaxLevel;

namespace {

void Store(const StartupOption& option, std::uint32_t value) {
    if (option.flag)
        StartupSettings.*option.flag = static_cast<std::uint8_t>(value & 1);
    else
        StartupSettings.*option.choice = value;
}

} // namespace

const StartupOption* OptionOfControl(int controlId) {
    for (const StartupOption& option : StartupOptions)
        if (option.controlId == controlId)
            return &option;
    return nullptr;
}

std::uint32_t ValueOf(const StartupOption& option) {
    return option.flag ? StartupSettings.*option.flag : StartupSettings.*option.choice;
}

void SetDefaultSettings() {
    for (const StartupOption& option : StartupOptions) {
        switch (option.defaultRule) {
        case DefaultRule::Off:
            Store(option, 0);
            break;
        case DefaultRule::On:
            Store(option, 1);
            break;
        case DefaultRule::OnFromDirectX7:
            Store(option, DirectXVersion >= DirectX7 ? 1 : 0);
            break;
        case DefaultRule::Keep:
            break;
        }
    }
}

void LoadSettings(RegistryApi& registry) {
    RegistryKey key(registry);
    // Create rather than Open, so that the games find the key after the first run.
    if (!key.Create(SettingsKeyPath, HkeyCurrentUser))
        return;
    for (const StartupOption& option : StartupOptions) {
        std::uint32_t value = 0;
        if (key.GetDWORD(option.valueName, &value))
            Store(option, value);
    }
}

long SaveSettings(RegistryApi& registry) {
    RegistryKey key(registry);
    if (!key.Create(SettingsKeyPath, HkeyCurrentUser))
        return key.Result();
    // Every value is written every time; one failed write does not stop the others.
    long failure = RegSuccess;
    for (const StartupOption& option : StartupOptions)
        if (!key.SetDWORD(option.valueName, ValueOf(option)) && failure == RegSuccess)
            failure = key.Result();
    return failure;
}
