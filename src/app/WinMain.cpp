#include "app/Application.h"

#include "app/InstanceGuard.h"
#include "app/ProgramFolder.h"
#include "app/base/ErrorReport.h"
#include "app/base/MessageBoxes.h"
#include "midi/InstrumentSets.h"
#include "ui/PropertySheet.h"
#include "ui/StartingOptionsPage.h"

#include <memory>

namespace {

// Every relative path of the program (the MIDI folder) is relative to its own folder.
void EnterProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (CutToFolder(path))
        SetCurrentDirectoryA(path);
}

// Runs the modal sheet with its one page; returns when the sheet has closed.
void ShowSettingsSheet(std::unique_ptr<PropertyPage>& page) {
    InitCommonControls();
    PropertyPage** pages = SettingsSheet.AllocatePages(1);
    page.reset(new StartingOptionsPage);
    pages[0] = page.get();
    SettingsSheet.Create(MainWindow, AppInstance, AppTitle);
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
    std::unique_ptr<PropertyPage> page;
    try {
        AppInstance = instance;
        EnterProgramFolder();
        // A refusal is no error: nothing is recorded and the clean-up shows no box.
        if (CheckInstance()) {
            InitApplication();
            ShowSettingsSheet(page);
            RunMessageLoop();
        }
    } catch (runtime_error&) {
        DebugPrint("%s", ErrorStringBuffer);
    }

    page.reset();
    DebugPrint("%s", "ok: WinMain Clean up...\n");
    DebugPrint("%s", "ShutDown\n");
    SettingsSheet.Release();
    FreeInstrumentSets();
    ReleaseInstanceMutex();
    ShowClosingMessage();
    return ErrorCode;
}
