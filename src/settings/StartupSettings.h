// The startup options of the two games: what this whole tool exists to produce.
#pragma once

#include "settings/RegistryApi.h"

#include <cstdint>

struct StartupSettingsRecord {
    std::uint8_t connectDirect;   // start Kest II straight after clearing Kest I
    std::uint8_t reverbEffect;    // EAX reverb on sound effects
    std::uint8_t aviMovie;        // play all AVI movies
    std::uint8_t directSoundNone; // no DirectSound at all
    std::uint8_t bufferSoftware;  // sound-effect buffers mixed in software
    std::uint8_t bufferLocDefer;  // dynamic voice management (DirectX 7)
    std::uint8_t joystick;
    std::uint8_t timeDisplay;
    std::uint8_t bloodEffect;
    std::uint32_t frameDesign;     // 0 "New Design", 1 "Old Design"; never range-checked
    std::uint32_t musicInstrument; // 0 "NONE", 1 "WAVE", 2 + i the i-th instrument set found
};

extern StartupSettingsRecord StartupSettings;

// DirectX level found at start-up (0x700 for DirectX 7); compared as a signed number.
extern std::int32_t DirectXVersion;
// 0 no EAX, 1 EAX 1.0, 2 EAX 2.0.
extern std::int32_t EaxLevel;

constexpr std::int32_t DirectX7 = 0x700;

constexpr const char* SettingsKeyPath = "SOFTWARE\\Halvic\\KestII SEMPERA";

// One stored value: a whole 32-bit index or a flag of which loading keeps bit 0.
struct StoredSetting {
    const char* valueName;
    std::uint32_t StartupSettingsRecord::*index;
    std::uint8_t StartupSettingsRecord::*flag;
};

// The eleven values in the order both load and save visit them.
extern const StoredSetting StoredSettings[11];

// Every field but musicInstrument, which keeps the player's choice.
void SetDefaultSettings();

// Both create the key if it is missing. Loading falls back silently on any registry failure;
// saving answers the code of the registry's first failure, RegSuccess when all was written.
void LoadSettings(RegistryApi& registry = PlatformRegistry());
long SaveSettings(RegistryApi& registry = PlatformRegistry());
