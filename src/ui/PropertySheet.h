// The modal property sheet made of the page objects given to it.
#pragma once

#include "ui/PropertyPage.h"

#include <windows.h>
// commctrl.h names the A/W switch for PropertySheetA after this class; the class takes the name.
#include <commctrl.h>
#undef PropertySheet

#include <cstdint>
#include <memory>

class PropertySheet {
  public:
    PropertySheet() = default;
    ~PropertySheet() { Release(); }
    PropertySheet(const PropertySheet&) = delete;
    PropertySheet& operator=(const PropertySheet&) = delete;

    // Room for `count` pages, all null; the caller stores its pages in it. The sheet does not
    // own the pages.
    PropertyPage** AllocatePages(std::uint32_t count);
    // Runs the sheet modally; returns when it has closed. Raises a general error when the sheet
    // could not be shown at all, since nothing would then end the program.
    void Create(HWND parent, HINSTANCE instance, const char* caption);
    // Frees the page table and releases the page bitmaps; harmless when repeated.
    void Release();

    int result = 0;
    std::uint32_t pageCount = 0;
    std::unique_ptr<PropertyPage*[]> pages;
};

// The program's one sheet, defined with its other static objects.
extern PropertySheet SettingsSheet;
