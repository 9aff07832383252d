// The page framework: a page object per sheet page, whose dialog window's messages reach its
// virtual handlers.
#pragma once

#include "ui/Bitmap.h"

#include <windows.h>

#include <cstdint>

class PropertyPage {
  public:
    PropertyPage(const PropertyPage&) = delete;
    PropertyPage& operator=(const PropertyPage&) = delete;

    // The owner deletes the page through this; the sheet never does.
    virtual ~PropertyPage() = default;
    virtual DLGPROC GetDialogProc() = 0;
    virtual int OnInitDialog() = 0;
    virtual int OnCommand(int notifyCode, int controlId, HWND control) = 0;
    // OK and Apply save through the main window; a failed save is told and keeps the sheet open.
    // However the sheet closes, its page's end closes the main window, which ends the program.
    virtual int OnNotify(int code, UINT_PTR idFrom);
    virtual HBRUSH OnCtlColor(HDC dc, HWND control);
    virtual int OnEraseBackground(HDC dc);
    virtual int Refresh() { return 0; }

    // Routes one message of the page's window to the handlers. An error raised by a handler
    // ends the program.
    INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Stores a list's new selection in `field`; false for any other notification.
    bool ReadComboSelection(int notifyCode, int controlId, std::uint32_t* field);
    // An etched outline around the hidden group box `frameId`, open where `labelId` names it.
    void DrawGroupFrame(HDC dc, int frameId, int labelId);

    // Page windows that have received WM_INITDIALOG in this process.
    static unsigned WindowsCreated();

    HWND hwnd = nullptr;
    std::int32_t templateId;

  protected:
    explicit PropertyPage(std::int32_t templateId) : templateId(templateId) {}

  private:
    // The shared palette realized into the page, which is repainted with it.
    BOOL RealizePalette();
};

// The page that the static dialog procedure forwards to; only one may be bound at a time.
extern PropertyPage* CurrentPage;

// Ends the program once a failure is recorded, from any window procedure: the sheet, while it
// is up, is cancelled; else the main window is closed.
void EndProgram();

// The backdrop tile and the header picture of the pages. They live for the whole process and are
// defined with the program's other static objects.
extern Bitmap BackdropBitmap;
extern Bitmap HeaderBitmap;
