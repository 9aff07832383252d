// What a page does to its controls and to the rest of the program, as operations, so that page
// logic runs the same against the dialog and against a stand-in; and the list operations every
// page builds on them.
#pragma once

#include <cstdint>

// Operations on a page's controls, each reached by its id. A missing control makes its
// operations do nothing (and its queries answer 0).
class PageControls {
  public:
    virtual ~PageControls() = default;
    virtual void SetCheck(int id, int flag) = 0;
    // Tells the sheet that the page changed, which enables Apply.
    virtual void ReportChange() = 0;
    virtual void Enable(int id, bool enable) = 0;
    virtual void Show(int id, bool show) = 0;
    // Repaints the DirectSound options' area with its background.
    virtual void InvalidateSoundArea() = 0;

    virtual bool HasControl(int id) = 0;
    virtual int ComboAddString(int id, const char* text) = 0;
    virtual void ComboSetItemData(int id, int index, std::uint32_t value) = 0;
    virtual int ComboGetCount(int id) = 0;
    virtual int ComboGetCurSel(int id) = 0;
    virtual void ComboSetCurSel(int id, int index) = 0;
};

// What the page's buttons reach beyond the page.
class PageServices {
  public:
    virtual ~PageServices() = default;
    virtual void LaunchDiagnosticTool() = 0;
};

constexpr int CbnSelChange = 1; // CBN_SELCHANGE

struct ComboChoice {
    const char* text;
    std::uint32_t value;
};

// Adds each row's text and then gives the new item the row's value.
void FillCombo(PageControls& controls, int comboId, const ComboChoice* table, int count);
// Only a selection change counts: stores the combo's selection in `field` when the combo exists
// and answers true; any other notification answers false and changes nothing.
bool ReadComboSelection(PageControls& controls, int notifyCode, int controlId,
                        std::uint32_t* field);
// Selects the item of `value`, or the last item for a value beyond the list.
void SelectComboItem(PageControls& controls, int comboId, std::uint32_t value);
