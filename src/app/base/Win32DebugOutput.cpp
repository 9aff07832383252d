#include "app/base/DebugOutput.h"

#include <windows.h>

void WriteDebugOutput(const char* line) {
    OutputDebugStringA(line);
}
