// The page's control operations carried out on its dialog window.
#pragma once

#include "ui/PageControls.h"

#include <windows.h>

class Win32PageControls : public PageControls {
  public:
    explicit Win32PageControls(HWND page) : page_(page) {}

    void SetCheck(int id, int flag) override;
    void ReportChange() override;
    void Enable(int id, bool enable) override;
    void Show(int id, bool show) override;
    void InvalidateSoundArea() override;
    bool HasControl(int id) override;
    int ComboAddString(int id, const char* text) override;
    void ComboSetItemData(int id, int index, std::uint32_t value) override;
    int ComboGetCount(int id) override;
    int ComboGetCurSel(int id) override;
    void ComboSetCurSel(int id, int index) override;

  private:
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
        return SendMessageA(Control(id), message, wParam, lParam);
    }

    HWND page_;
};

// The page's button reaching the diagnostic tool.
class Win32PageServices : public PageServices {
  public:
    void LaunchDiagnosticTool() override;
};
