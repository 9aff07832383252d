#include "ui/StartingOptions.h"

#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"

ComboChoice MusicChoices[6] = {
    {"NONE", 0}, {"WAVE", 1}, {"MIDI0", 2}, {"MIDI1", 3}, {"MIDI2", 4}, {"MIDI3", 5},
};

const ComboChoice FrameDesignChoices[2] = {{"New Design", 0}, {"Old Design", 1}};

namespace {

constexpr int FirstSetRow = 2;
constexpr int MusicRows = sizeof MusicChoices / sizeof MusicChoices[0];

std::uint8_t Inverted(std::uint8_t flag) {
    return flag ? 0 : 1;
}

} // namespace

int StartingOptionsLogic::OnInitDialog() {
    // The list offers at most as many sets as there are rows for them, each with a name.
    int sets = 0;
    const int offered = GetInstrumentSetCount();
    while (sets < offered && FirstSetRow + sets < MusicRows) {
        const InstrumentSet* set = GetInstrumentSet(FirstSetRow + sets);
        if (!set || !set->name)
            break;
        MusicChoices[FirstSetRow + sets] = {set->name,
                                            static_cast<std::uint32_t>(FirstSetRow + sets)};
        ++sets;
    }
    FillCombo(controls_, IDC_MUSIC, MusicChoices, FirstSetRow + sets);
    controls_.Show(IDC_REVERB_EFFECT, EaxLevel != 0);
    FillCombo(controls_, IDC_FRAME_DESIGN, FrameDesignChoices, 2);
    Refresh();
    return 0;
}

void StartingOptionsLogic::ApplySoundEnableRule() {
    const bool sound = StartupSettings.directSoundNone == 0;
    controls_.InvalidateSoundArea();
    controls_.Enable(IDC_BUFFER_LOCDEFER, sound && DirectXVersion >= DirectX7);
    controls_.Enable(IDC_BUFFER_SOFTWARE, sound);
    controls_.Enable(IDC_REVERB_EFFECT, sound && EaxLevel != 0);
}

void StartingOptionsLogic::SelectListItem(int listId) {
    if (const StartupOption* option = OptionOfControl(listId))
        SelectComboItem(controls_, listId, ValueOf(*option));
}

void StartingOptionsLogic::SetCheckAndReport(int id, std::uint8_t flag) {
    controls_.SetCheck(id, flag);
    controls_.ReportChange();
}

int StartingOptionsLogic::Refresh() {
    // The check boxes, the enabled sound options, then the lists, each in the table's order.
    for (const StartupOption& option : StartupOptions)
        if (option.flag)
            SetCheckAndReport(option.controlId, StartupSettings.*option.flag);
    ApplySoundEnableRule();
    for (const StartupOption& option : StartupOptions)
        if (option.choice)
            SelectListItem(option.controlId);
    return 0;
}

void StartingOptionsLogic::Turn(int id, std::uint8_t& flag,
                                std::initializer_list<Excluded> excluded) {
    flag = Inverted(flag);
    for (const Excluded& other : excluded)
        *other.flag = 0;
    SetCheckAndReport(id, flag);
    for (const Excluded& other : excluded)
        SetCheckAndReport(other.id, 0);
}

int StartingOptionsLogic::OnCommand(int notifyCode, int controlId) {
    StartupSettingsRecord& s = StartupSettings;
    switch (controlId) {
    case IDC_STANDARD_SETUP:
        SetDefaultSettings();
        Refresh(); // every mark and list shows the defaults at once
        return 0;
    case IDC_DIAGNOSTIC_TOOL:
        services_.LaunchDiagnosticTool();
        return 0;
    // Software buffers exclude both dynamic voice management and EAX; those two may go
    // together. The exclusion applies whichever way the clicked option turns.
    case IDC_BUFFER_LOCDEFER:
        Turn(controlId, s.bufferLocDefer, {{IDC_BUFFER_SOFTWARE, &s.bufferSoftware}});
        return 0;
    case IDC_BUFFER_SOFTWARE:
        Turn(controlId, s.bufferSoftware,
             {{IDC_BUFFER_LOCDEFER, &s.bufferLocDefer}, {IDC_REVERB_EFFECT, &s.reverbEffect}});
        return 0;
    case IDC_REVERB_EFFECT:
        Turn(controlId, s.reverbEffect, {{IDC_BUFFER_SOFTWARE, &s.bufferSoftware}});
        return 0;
    // Without DirectSound the dependent options are only disabled: they keep their values.
    case IDC_DIRECTSOUND_NONE:
        s.directSoundNone = Inverted(s.directSoundNone);
        ApplySoundEnableRule();
        SetCheckAndReport(IDC_DIRECTSOUND_NONE, s.directSoundNone);
        return 0;
    default:
        break;
    }

    // Any other option: a check box has already turned its own mark, which is set to the flag's
    // new value so that the two cannot drift apart; a list counts only a new selection.
    const StartupOption* option = OptionOfControl(controlId);
    if (option && option->flag) {
        Turn(controlId, StartupSettings.*option->flag, {});
    } else if (option &&
               ReadComboSelection(controls_, notifyCode, controlId, &(s.*option->choice))) {
        SelectListItem(controlId);
        controls_.ReportChange();
    }
    return 0;
}
