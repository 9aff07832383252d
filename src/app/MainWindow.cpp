#include "app/Application.h"

#include "app/ProgramFolder.h"
#include "app/base/ErrorReport.h"
#include "midi/InstrumentSets.h"
#include "probes/EaxProbe.h"
#include "settings/StartupSettings.h"
#include "ui/PropertyPage.h"

#include "resource.h"

namespace {

void RegisterMainWindowClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = AppInstance;
    windowClass.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_KESTSETUP));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_KESTSETUP), IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindowClass;
    if (!RegisterClassExA(&windowClass))
        KEST_RAISE("failed: RegisterClassEx");
}

void CreateMainWindow() {
    const WindowOrigin origin =
        MainWindowOrigin(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    MainWindow =
        CreateWindowExA(WS_EX_APPWINDOW, MainWindowClass, AppTitle, WS_POPUP | WS_DISABLED,
                        origin.x, origin.y, 232, 52, nullptr, nullptr, AppInstance, nullptr);
    if (!MainWindow)
        KEST_RAISE("failed: CreateWindowEx");
}

} // namespace

void InitApplication() {
    SetDefaultSettings();
    LoadSettings();
    RebuildInstrumentSets();
    RegisterMainWindowClass();
    CreateMainWindow();
    // DirectSound needs a window for its cooperative level.
    DetectEaxLevel(MainWindow);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SAVESETTINGS:
            return SaveSettings();
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    } catch (runtime_error&) {
        EndProgram(); // the failure is recorded
        return 0;
    }
}
