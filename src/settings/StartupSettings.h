// The startup options of the two games, what this whole tool exists to produce, and the one
// table that says, option by option, where each is stored, its default and the control that
// shows it.
#pragma once

#include "settings/RegistryApi.h"

#include "resource.h"

#include <cstddef>
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

enum class DefaultRule {
    Off,
    On,
    OnFromDirectX7,
    Keep, // Standard Setup leaves the player's choice
};

// One option: the REG_DWORD value the games read, the field that holds it, its default, and the
// control of the page that shows it. A flag is a check box, stored as 0 or 1, of which loading
// keeps bit 0; a choice is a drop-down list whose item index is the value, stored whole.
struct StartupOption {
    const char* valueName;
    std::uint8_t StartupSettingsRecord::*flag;
    std::uint32_t StartupSettingsRecord::*choice;
    DefaultRule defaultRule;
    int controlId;
};

constexpr StartupOption CheckBox(const char* valueName, std::uint8_t StartupSettingsRecord::*flag,
                                 DefaultRule defaultRule, int controlId) {
    return {valueName, flag, nullptr, defaultRule, controlId};
}
constexpr StartupOption List(const char* valueName, std::uint32_t StartupSettingsRecord::*choice,
                             DefaultRule defaultRule, int controlId) {
    return {valueName, nullptr, choice, defaultRule, controlId};
}

// In the order in which load and save visit the values.
inline constexpr StartupOption StartupOptions[] = {
    List("Music instrument", &StartupSettingsRecord::musicInstrument, DefaultRule::Keep, IDC_MUSIC),
    List("Frame design", &StartupSettingsRecord::frameDesign, DefaultRule::Off, IDC_FRAME_DESIGN),
    CheckBox("Connect Kest2 direct", &StartupSettingsRecord::connectDirect, DefaultRule::Off,
             IDC_CONNECT_DIRECT),
    CheckBox("Joystick", &StartupSettingsRecord::joystick, DefaultRule::On, IDC_JOYSTICK),
    CheckBox("AVI movie", &StartupSettingsRecord::aviMovie, DefaultRule::On, IDC_AVI_MOVIE),
    CheckBox("DirectSoundBuffer locdefer", &StartupSettingsRecord::bufferLocDefer,
             DefaultRule::OnFromDirectX7, IDC_BUFFER_LOCDEFER),
    CheckBox("Reverb sound effect", &StartupSettingsRecord::reverbEffect, DefaultRule::On,
             IDC_REVERB_EFFECT),
    CheckBox("DirectSoundBuffer software", &StartupSettingsRecord::bufferSoftware, DefaultRule::Off,
             IDC_BUFFER_SOFTWARE),
    CheckBox("DirectSound none", &StartupSettingsRecord::directSoundNone, DefaultRule::Off,
             IDC_DIRECTSOUND_NONE),
    CheckBox("Bloody effect", &StartupSettingsRecord::bloodEffect, DefaultRule::On,
             IDC_BLOOD_EFFECT),
    CheckBox("Mirel's clock", &StartupSettingsRecord::timeDisplay, DefaultRule::Off,
             IDC_TIME_DISPLAY),
};

// The option a control of the page shows; null for any other id.
const StartupOption* OptionOfControl(int controlId);

// The option's value as stored: a flag widened to 32 bits, a choice whole.
std::uint32_t ValueOf(const StartupOption& option);

// Every option with a default; musicInstrument keeps the player's choice.
void SetDefaultSettings();

// Both create the key if it is missing. Loading falls back silently on any registry failure;
// saving answers the code of the registry's first failure, RegSuccess when all was written.
void LoadSettings(RegistryApi& registry = PlatformRegistry());
long SaveSettings(RegistryApi& registry = PlatformRegistry());
