#include "app/Application.h"

#include "app/ErrorReport.h"
#include "app/InstanceGuard.h"
#include "app/MessageBoxes.h"
#include "app/ProgramFolder.h"
#include "midi/InstrumentSets.h"

namespace {

// Every relative path of the program (the MIDI folder) is relative to its own folder.
void EnterProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (CutToFolder(path))
        SetCurrentDirectoryA(path);
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InstallOutOfMemoryHandler();
    DebugPrint("%s", "WinMain begin\n");
    try {
        AppInstance = instance;
        EnterProgramFolder();
        // A refusal is no error: nothing is recorded and the clean-up shows no box.
        if (CheckInstance()) {
            InitApplication();
            RunMessageLoop();
        }
    } catch (runtime_error&) {
        DebugPrint("%s", ErrorStringBuffer);
    }

    DebugPrint("%s", "ok: WinMain Clean up...\n");
    DebugPrint("%s", "ShutDown\n");
    FreeInstrumentSets();
    ReleaseInstanceMutex();
    ShowClosingMessage();
    return ErrorCode;
}
