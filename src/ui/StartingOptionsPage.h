// The one page of the sheet, where the player edits the startup options.
#pragma once

#include "ui/PropertyPage.h"

class StartingOptionsPage : public PropertyPage {
  public:
    // Binds the new page as CurrentPage.
    StartingOptionsPage();
    // Unbinds it.
    ~StartingOptionsPage() override;

    DLGPROC GetDialogProc() override { return StaticDialogProc; }
    int OnInitDialog() override;
    int OnCommand(int notifyCode, int controlId, HWND control) override;
    HBRUSH OnCtlColor(HDC dc, HWND control) override;
    int OnEraseBackground(HDC dc) override;
    int Refresh() override;

    void SelectMusicItem();
    void SelectFrameDesignItem();

    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
};
