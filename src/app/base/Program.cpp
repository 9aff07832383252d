#include "app/base/Program.h"

HINSTANCE AppInstance;
HWND MainWindow;
const char* const AppTitle = "Kest I&II OMNIVA Setup";
