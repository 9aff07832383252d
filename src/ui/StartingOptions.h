// The behaviour of the "Starting Options" page: the settings record and the page's controls kept
// in step, option by option as the settings table binds them, with the interlocks among the
// DirectSound options.
#pragma once

#include "ui/PageControls.h"

#include <cstdint>
#include <initializer_list>

// "NONE", "WAVE", then one row for each of at most four instrument sets.
extern ComboChoice MusicChoices[6];
extern const ComboChoice FrameDesignChoices[2];

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
    // Shows the list's choice: its item, or the last item for a choice beyond the list.
    void SelectListItem(int listId);

  private:
    // An option the clicked one clears, whichever way the clicked one turns.
    struct Excluded {
        int id;
        std::uint8_t* flag;
    };

    void SetCheckAndReport(int id, std::uint8_t flag);
    // Turns a clicked option and clears those it excludes; each mark follows its option.
    void Turn(int id, std::uint8_t& flag, std::initializer_list<Excluded> excluded);

    PageControls& controls_;
    PageServices& services_;
};
