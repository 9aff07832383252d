// The eleven values the games read, as the tests spell them: the contract with the games, and
// the control of the page that shows each. The program's own table is held to it row by row.
#pragma once

#include "settings/StartupSettings.h"

// The music choice, which no default touches, as the player left it.
constexpr std::uint32_t PlayersChoice = 3;

struct ContractRow {
    const char* valueName;
    std::uint8_t StartupSettingsRecord::*flag;
    std::uint32_t StartupSettingsRecord::*choice;
    std::uint32_t defaultFromDirectX7;
    std::uint32_t defaultBeforeDirectX7;
    int controlId;
};

using R = StartupSettingsRecord;

// In the order in which the values are read and written.
inline const ContractRow Contract[] = {
    {"Music instrument", nullptr, &R::musicInstrument, PlayersChoice, PlayersChoice, IDC_MUSIC},
    {"Frame design", nullptr, &R::frameDesign, 0, 0, IDC_FRAME_DESIGN},
    {"Connect Kest2 direct", &R::connectDirect, nullptr, 0, 0, IDC_CONNECT_DIRECT},
    {"Joystick", &R::joystick, nullptr, 1, 1, IDC_JOYSTICK},
    {"AVI movie", &R::aviMovie, nullptr, 1, 1, IDC_AVI_MOVIE},
    {"DirectSoundBuffer locdefer", &R::bufferLocDefer, nullptr, 1, 0, IDC_BUFFER_LOCDEFER},
    {"Reverb sound effect", &R::reverbEffect, nullptr, 1, 1, IDC_REVERB_EFFECT},
    {"DirectSoundBuffer software", &R::bufferSoftware, nullptr, 0, 0, IDC_BUFFER_SOFTWARE},
    {"DirectSound none", &R::directSoundNone, nullptr, 0, 0, IDC_DIRECTSOUND_NONE},
    {"Bloody effect", &R::bloodEffect, nullptr, 1, 1, IDC_BLOOD_EFFECT},
    {"Mirel's clock", &R::timeDisplay, nullptr, 0, 0, IDC_TIME_DISPLAY},
};

inline std::uint32_t Field(const ContractRow& row) {
    return row.flag ? StartupSettings.*row.flag : StartupSettings.*row.choice;
}
