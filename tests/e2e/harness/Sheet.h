// The program's property sheet driven from another process, as a person would use it: read the
// page's controls, click them, pick combo items and press the sheet's buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class KestProcess;

constexpr const char* SheetCaption = "Kest I&II OMNIVA Setup";

class Sheet {
  public:
    // Waits for the program's sheet and its page; Ready() says whether both were found.
    explicit Sheet(KestProcess& program, DWORD timeoutMs = 20000);

    bool Ready() const { return sheet_ && page_; }
    HWND Window() const { return sheet_; }
    HWND Page() const { return page_; }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    HWND Button(int id) const { return GetDlgItem(sheet_, id); }

    std::string Caption() const;
    // The text of the sheet's one tab, read from the tab control inside the program.
    std::string TabText() const;
    std::string Text(HWND window) const;
    std::string Text(int id) const { return Text(Control(id)); }
    bool Checked(int id) const;
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    std::vector<std::string> ComboItems(int id) const;
    int ComboSelection(int id) const;

    // A click on a button or check box, handled before this returns.
    void Click(int id) const;
    // Picks an item with the arrow keys, as a person would on the closed list.
    void Select(int comboId, int index) const;
    // Posted, as a sent press would be handled inside the sheet's own message wait.
    void Press(int psbtn) const;

  private:
    DWORD processId_ = 0;
    HWND sheet_ = nullptr;
    HWND page_ = nullptr;
};
