// Objects that live for the whole process. They are defined in this one file so that their
// construction order (and the reverse order of their tear-down) is fixed: the page bitmaps,
// the sheet, then COM, which is therefore uninitialised first.
#include "app/base/Scoped.h"
#include "ui/PropertySheet.h"

#include <objbase.h>

Bitmap BackdropBitmap;
Bitmap HeaderBitmap;
PropertySheet SettingsSheet;

namespace {

// COM for the program's one thread; only a successful initialisation is undone.
const Scoped comApartment(SUCCEEDED(CoInitialize(nullptr)), [](bool) { CoUninitialize(); });

} // namespace
