#include "app/base/DebugOutput.h"

// A host has no debugger output stream; the tests judge outcomes, not these lines.
void WriteDebugOutput(const char*) {}
