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

void FillCombo(PageControls& controls, int comboId, const ComboChoice* table, int count) {
    for (int i = 0; i < count; ++i) {
        controls.ComboAddString(comboId, table[i].text);
        controls.ComboSetItemData(comboId, i, table[i].value);
    }
}

bool ReadComboSelection(PageControls& controls, int notifyCode, int controlId,
                        std::uint32_t* field) {
    if (notifyCode != CbnSelChange)
        return false;
    if (controls.HasControl(controlId))
        *field = static_cast<std::uint32_t>(controls.ComboGetCurSel(controlId));
    return true;
}

void SelectComboItem(PageControls& controls, int comboId, std::uint32_t value) {
    // The field is kept as it is; only what the combo shows is fitted to the list.
    int selection = static_cast<std::int32_t>(value);
    const int count = controls.ComboGetCount(comboId);
    if (count > 0 && selection >= count)
        selection = count - 1;
    controls.ComboSetCurSel(comboId, selection);
}

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
    FillCombo(controls_, ControlId::Music, MusicChoices, FirstSetRow + sets);
    controls_.Show(ControlId::ReverbEffect, EaxLevel != 0);
    FillCombo(controls_, ControlId::FrameDesign, FrameDesignChoices, 2);
    Refresh();
    return 0;
}

void StartingOptionsLogic::ApplySoundEnableRule() {
    const bool sound = StartupSettings.directSoundNone == 0;
    controls_.InvalidateSoundArea();
    controls_.Enable(ControlId::BufferLocDefer, sound && DirectXVersion >= DirectX7);
    controls_.Enable(ControlId::BufferSoftware, sound);
    controls_.Enable(ControlId::ReverbEffect, sound && EaxLevel != 0);
}

void StartingOptionsLogic::SelectMusicItem() {
    SelectComboItem(controls_, ControlId::Music, StartupSettings.musicInstrument);
}

void StartingOptionsLogic::SelectFrameDesignItem() {
    SelectComboItem(controls_, ControlId::FrameDesign, StartupSettings.frameDesign);
}

void StartingOptionsLogic::SetCheckAndReport(int id, std::uint8_t flag) {
    controls_.SetCheck(id, flag);
    controls_.ReportChange();
}

int StartingOptionsLogic::Refresh() {
    const StartupSettingsRecord& s = StartupSettings;
    SetCheckAndReport(ControlId::AviMovie, s.aviMovie);
    SetCheckAndReport(ControlId::Joystick, s.joystick);
    SetCheckAndReport(ControlId::ConnectDirect, s.connectDirect);
    SetCheckAndReport(ControlId::BloodEffect, s.bloodEffect);
    SetCheckAndReport(ControlId::TimeDisplay, s.timeDisplay);
    SetCheckAndReport(ControlId::BufferLocDefer, s.bufferLocDefer);
    SetCheckAndReport(ControlId::BufferSoftware, s.bufferSoftware);
    SetCheckAndReport(ControlId::DirectSoundNone, s.directSoundNone);
    SetCheckAndReport(ControlId::ReverbEffect, s.reverbEffect);
    ApplySoundEnableRule();
    SelectMusicItem();
    SelectFrameDesignItem();
    return 0;
}

int StartingOptionsLogic::OnCommand(int notifyCode, int controlId) {
    StartupSettingsRecord& s = StartupSettings;
    // A simple option: the check box has already turned its mark; set it to the flag's new
    // value so that the two cannot drift apart.
    auto toggle = [this](int id, std::uint8_t& flag) {
        flag = Inverted(flag);
        SetCheckAndReport(id, flag);
    };

    switch (controlId) {
    case ControlId::StandardSetup:
        SetDefaultSettings();
        Refresh(); // every mark and list shows the defaults at once
        break;
    case ControlId::DiagnosticTool:
        services_.LaunchDiagnosticTool();
        break;
    case ControlId::AviMovie:
        toggle(controlId, s.aviMovie);
        break;
    case ControlId::Joystick:
        toggle(controlId, s.joystick);
        break;
    case ControlId::TimeDisplay:
        toggle(controlId, s.timeDisplay);
        break;
    case ControlId::BloodEffect:
        toggle(controlId, s.bloodEffect);
        break;
    case ControlId::ConnectDirect:
        toggle(controlId, s.connectDirect);
        break;
    // Software buffers exclude both dynamic voice management and EAX; those two may go
    // together. The exclusion applies whichever way the clicked option turns.
    case ControlId::BufferLocDefer:
        s.bufferLocDefer = Inverted(s.bufferLocDefer);
        s.bufferSoftware = 0;
        SetCheckAndReport(ControlId::BufferLocDefer, s.bufferLocDefer);
        SetCheckAndReport(ControlId::BufferSoftware, 0);
        break;
    case ControlId::BufferSoftware:
        s.bufferSoftware = Inverted(s.bufferSoftware);
        s.bufferLocDefer = 0;
        s.reverbEffect = 0;
        SetCheckAndReport(ControlId::BufferSoftware, s.bufferSoftware);
        SetCheckAndReport(ControlId::BufferLocDefer, 0);
        SetCheckAndReport(ControlId::ReverbEffect, 0);
        break;
    case ControlId::ReverbEffect:
        s.reverbEffect = Inverted(s.reverbEffect);
        s.bufferSoftware = 0;
        SetCheckAndReport(ControlId::ReverbEffect, s.reverbEffect);
        SetCheckAndReport(ControlId::BufferSoftware, 0);
        break;
    // Without DirectSound the dependent options are only disabled: they keep their values.
    case ControlId::DirectSoundNone:
        s.directSoundNone = Inverted(s.directSoundNone);
        ApplySoundEnableRule();
        SetCheckAndReport(ControlId::DirectSoundNone, s.directSoundNone);
        break;
    case ControlId::Music:
        if (ReadComboSelection(controls_, notifyCode, controlId, &s.musicInstrument)) {
            SelectMusicItem();
            controls_.ReportChange();
        }
        break;
    case ControlId::FrameDesign:
        if (ReadComboSelection(controls_, notifyCode, controlId, &s.frameDesign)) {
            SelectFrameDesignItem();
            controls_.ReportChange();
        }
        break;
    default:
        break;
    }
    return 0;
}
