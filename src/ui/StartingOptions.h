// The behaviour of the "Starting Options" page: the settings record and the page's controls kept
// in step, with the interlocks among the DirectSound options.
#pragma once

#include "ui/PageControls.h"

#include <cstdint>

namespace ControlId {
constexpr int StandardSetup = 1000;
constexpr int DiagnosticTool = 1001;
constexpr int SoundFrame = 1002;
constexpr int SoundLabel = 1003;
constexpr int AviMovie = 1004;
constexpr int BufferLocDefer = 1005;
constexpr int DirectSoundNone = 1006;
constexpr int BufferSoftware = 1007;
constexpr int Joystick = 1008;
constexpr int ReverbEffect = 1009;
constexpr int Music = 1010;
constexpr int FrameStyleFrame = 1012;
constexpr int FrameStyleLabel = 1013;
constexpr int FrameDesign = 1014;
constexpr int TimeDisplay = 1015;
constexpr int BloodEffect = 1016;
constexpr int ConnectDirect = 1017;
} // namespace ControlId

constexpr int StartingOptionsTemplateId = 102;
constexpr int CbnSelChange = 1; // CBN_SELCHANGE

struct ComboChoice {
    const char* text;
    std::uint32_t value;
};

// "NONE", "WAVE", then one row for each of at most four instrument sets.
extern ComboChoice MusicChoices[6];
extern const ComboChoice FrameDesignChoices[2];

// Adds each row's text and then gives the new item the row's value.
void FillCombo(PageControls& controls, int comboId, const ComboChoice* table, int count);
// Only a selection change counts: stores the combo's selection in `field` when the combo exists
// and answers true; any other notification answers false and changes nothing.
bool ReadComboSelection(PageControls& controls, int notifyCode, int controlId,
                        std::uint32_t* field);
// Selects the item of `value`, or the last item for a value beyond the list.
void SelectComboItem(PageControls& controls, int comboId, std::uint32_t value);

class StartingOptionsLogic {
  public:
    StartingOptionsLogic(PageControls& controls, PageServices& services)
        : controls_(controls), services_(services) {}

    int OnInitDialog();
    int Refresh();
    int OnCommand(int notifyCode, int controlId);

    // Which DirectSound options may be used: none without DirectSound, dynamic voice
    // management only from DirectX 7, EAX only with a device that has it.
    void ApplySoundEnableRule();
    void SelectMusicItem();
    void SelectFrameDesignItem();

  private:
    void SetCheckAndReport(int id, std::uint8_t flag);

    PageControls& controls_;
    PageServices& services_;
};
