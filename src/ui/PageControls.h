// What the "Starting Options" page does to its controls and to the rest of the program, as
// operations, so that its logic runs the same against the dialog and against a recording.
#pragma once

#include <cstdint>

// Operations on the page's controls, each reached by its id. A missing control makes its
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
