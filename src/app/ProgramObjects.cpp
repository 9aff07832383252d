// Objects that live for the whole process. They are defined in this one file so that their
// construction order (and the reverse order of their tear-down) is fixed: the page bitmaps,
// the sheet, then COM, which is therefore uninitialised first.
#include "ui/PropertySheet.h"

#include <objbase.h>

Bitmap BackdropBitmap;
Bitmap HeaderBitmap;
PropertySheet SettingsSheet;

namespace {

class ComApartment {
  public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

ComApartment comApartment;

} // namespace
