#include "ui/PropertySheet.h"

#include "app/base/ErrorReport.h"
#include "ui/SheetPlacement.h"

namespace {

// comctl32's own procedure of the sheet, which the subclass passes every other message to.
WNDPROC sheetProcedure;

// Windows sends the palette messages to top-level windows alone, and the sheet does not pass
// them on: at 256 colours the page would keep stale colours after another program realized its
// palette, until it happened to repaint. The page's answer is the sheet's.
LRESULT CALLBACK ForwardPaletteMessages(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_QUERYNEWPALETTE || message == WM_PALETTECHANGED) && CurrentPage &&
        CurrentPage->hwnd)
        // wParam as it came: a change the page's own realizing caused stops at the page.
        return CurrentPage->DialogProc(CurrentPage->hwnd, message, wParam, lParam);
    return CallWindowProcA(sheetProcedure, sheet, message, wParam, lParam);
}

// Once the sheet is made, before it shows.
int CALLBACK PrepareSheet(HWND sheet, UINT message, LPARAM) {
    if (message != PSCB_INITIALIZED)
        return 0;
    // Windows 95's comctl32 has no SetWindowSubclass.
    sheetProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForwardPaletteMessages)));
    // Owned by the hidden main window, the sheet would have no taskbar button, and once covered
    // the player could not find it again.
    SetWindowLongA(sheet, GWL_EXSTYLE, GetWindowLongA(sheet, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    // It takes its place from its owner before it grows to fit its page; at a large display
    // scale that can leave OK, Cancel and Apply below the screen's edge. The primary screen's
    // work area is the one to fit: the owner is placed on it, and this query exists on every
    // Windows.
    RECT placed, workArea;
    if (!GetWindowRect(sheet, &placed) || !SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0))
        return 0;
    const PixelRect fitted =
        FitInside({placed.left, placed.top, placed.right, placed.bottom},
                  {workArea.left, workArea.top, workArea.right, workArea.bottom});
    if (fitted.left != placed.left || fitted.top != placed.top)
        SetWindowPos(sheet, nullptr, fitted.left, fitted.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

} // namespace

PropertyPage** PropertySheet::AllocatePages(std::uint32_t count) {
    pageCount = count;
    pages.reset(new PropertyPage*[count]());
    return pages.get();
}

void PropertySheet::Create(HWND parent, HINSTANCE instance, const char* caption) {
    // An array, not a vector: the vector's length error alone would bring std::string and its
    // kin into the executable.
    std::unique_ptr<HPROPSHEETPAGE[]> handles(new HPROPSHEETPAGE[pageCount]());
    for (std::uint32_t i = 0; i < pageCount; ++i) {
        PROPSHEETPAGEA page = {};
        page.dwSize = PROPSHEETPAGEA_V1_SIZE;
        page.dwFlags = PSP_DEFAULT; // the tab shows the template's caption
        page.hInstance = instance;
        page.pszTemplate = MAKEINTRESOURCEA(pages[i]->templateId);
        page.pfnDlgProc = pages[i]->GetDialogProc();
        handles[i] = CreatePropertySheetPageA(&page);
    }

    PROPSHEETHEADERA header = {};
    header.dwSize = PROPSHEETHEADERA_V1_SIZE;
    header.dwFlags = PSH_USEICONID | PSH_USECALLBACK;
    header.hwndParent = parent;
    header.hInstance = instance;
    header.pszIcon = "SMALL";
    header.pszCaption = caption;
    header.nPages = pageCount;
    header.nStartPage = 0;
    header.phpage = handles.get();
    header.pfnCallback = PrepareSheet;

    const unsigned windowsBefore = PropertyPage::WindowsCreated();
    result = static_cast<int>(PropertySheetA(&header));
    // Only a page window's destruction or the user's Cancel on a page ends the program; after
    // a sheet that never made a page window it would wait for ever with nothing on the screen.
    if (PropertyPage::WindowsCreated() == windowsBefore)
        KEST_RAISE("failed: PropertySheet");
}

void PropertySheet::Release() {
    pages.reset();
    BackdropBitmap.Release();
    HeaderBitmap.Release();
    pageCount = 0;
}
