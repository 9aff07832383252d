#include "settings/StartupSettings.h"

#include "settings/RegistryKey.h"

StartupSettingsRecord StartupSettings;
std::int32_t DirectXVersion;
std::int32_t EaxLevel;

using R = StartupSettingsRecord;

const StoredSetting StoredSettings[11] = {
    {"Music instrument", &R::musicInstrument, nullptr},
    {"Frame design", &R::frameDesign, nullptr},
    {"Connect Kest2 direct", nullptr, &R::connectDirect},
    {"Joystick", nullptr, &R::joystick},
    {"AVI movie", nullptr, &R::aviMovie},
    {"DirectSoundBuffer locdefer", nullptr, &R::bufferLocDefer},
    {"Reverb sound effect", nullptr, &R::reverbEffect},
    {"DirectSoundBuffer software", nullptr, &R::bufferSoftware},
    {"DirectSound none", nullptr, &R::directSoundNone},
    {"Bloody effect", nullptr, &R::bloodEffect},
    {"Mirel's clock", nullptr, &R::timeDisplay},
};

void SetDefaultSettings() {
    StartupSettingsRecord& s = StartupSettings;
    s.aviMovie = 1;
    s.bloodEffect = 1;
    s.timeDisplay = 0;
    s.frameDesign = 0;
    s.connectDirect = 0;
    s.joystick = 1;
    s.bufferLocDefer = DirectXVersion >= DirectX7 ? 1 : 0;
    s.bufferSoftware = 0;
    s.directSoundNone = 0;
    s.reverbEffect = 1;
}

void LoadSettings(RegistryApi& registry) {
    RegistryKey key(registry);
    // Create rather than Open, so that the games find the key after the first run.
    if (!key.Create(SettingsKeyPath, HkeyCurrentUser))
        return;
    for (const StoredSetting& setting : StoredSettings) {
        std::uint32_t value = 0;
        if (!key.GetDWORD(setting.valueName, &value))
            continue;
        if (setting.index)
            StartupSettings.*setting.index = value;
        else
            StartupSettings.*setting.flag = static_cast<std::uint8_t>(value & 1);
    }
}

long SaveSettings(RegistryApi& registry) {
    RegistryKey key(registry);
    if (!key.Create(SettingsKeyPath, HkeyCurrentUser))
        return key.Result();
    // Every value is written every time; one failed write does not stop the others.
    long failure = RegSuccess;
    for (const StoredSetting& setting : StoredSettings) {
        const std::uint32_t value =
            setting.index ? StartupSettings.*setting.index : StartupSettings.*setting.flag;
        if (!key.SetDWORD(setting.valueName, value) && failure == RegSuccess)
            failure = key.Result();
    }
    return failure;
}
