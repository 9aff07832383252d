// Where DebugPrint's lines go: the debugger output on Windows, nowhere natively.
#pragma once

void WriteDebugOutput(const char* line);
