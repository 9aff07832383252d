// The page framework against real windows: the dialog procedure's routing table, the sheet
// notifications that save and cancel, the exception guard, page binding and the sheet object.
#include "app/Application.h"
#include "app/ErrorReport.h"
#include "ui/PropertySheet.h"
#include "ui/StartingOptionsPage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The page bitmaps live with the program's static objects; this test holds its own.
Bitmap BackdropBitmap;
Bitmap HeaderBitmap;

namespace {

std::vector<UINT> mainWindowMessages;

// Stands in for the hidden main window: notes what reaches it and never closes on WM_CLOSE.
LRESULT CALLBACK RecordingMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE || message == WM_SAVESETTINGS || message == WM_DESTROY)
        mainWindowMessages.push_back(message);
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateRecordingMainWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingMainProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KestTestMain";
        RegisterClassA(&windowClass);
        registered = true;
    }
    return CreateWindowExA(0, "KestTestMain", "main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class RecordingPage : public PropertyPage {
  public:
    RecordingPage() : PropertyPage(102) {}

    DLGPROC GetDialogProc() override { return nullptr; }
    int OnInitDialog() override {
        calls.push_back("init");
        hwndAtInit = hwnd;
        return 7;
    }
    int OnCommand(int notifyCode, int controlId, HWND control) override {
        calls.push_back("command " + std::to_string(notifyCode) + " " + std::to_string(controlId) +
                        " " + std::to_string(reinterpret_cast<UINT_PTR>(control)));
        if (raise)
            KEST_RAISE("failed: test handler");
        return 3;
    }
    int OnNotify(int code, UINT_PTR idFrom) override {
        calls.push_back("notify " + std::to_string(code) + " " + std::to_string(idFrom));
        return PropertyPage::OnNotify(code, idFrom);
    }
    HBRUSH OnCtlColor(HDC dc, HWND control) override {
        calls.push_back("color");
        return PropertyPage::OnCtlColor(dc, control);
    }
    int OnEraseBackground(HDC) override {
        calls.push_back("erase");
        return 1;
    }
    int Refresh() override {
        calls.push_back("refresh");
        return 5;
    }

    std::vector<std::string> calls;
    HWND hwndAtInit = nullptr;
    bool raise = false;
};

class PropertyPageTest : public ::testing::Test {
  protected:
    // One visible window stands for the page in every test: a visible top-level window takes
    // Wine a while to take down without a window manager.
    static void SetUpTestSuite() {
        window = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(window); }

    void SetUp() override {
        mainWindowMessages.clear();
        MainWindow = CreateRecordingMainWindow();
        AppInstance = GetModuleHandleA(nullptr);
        ASSERT_NE(MainWindow, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        // Posted messages only: the page window's paint request would come back for ever.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE))
            ;
        ErrorCode = 0;
        ErrorStringBuffer[0] = '\0';
    }

    INT_PTR Route(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return page.DialogProc(window, message, wParam, lParam);
    }
    INT_PTR Notify(UINT code) {
        NMHDR header = {window, 12, code};
        return Route(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }
    bool HasUpdate() { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }

    RecordingPage page;
    static HWND window;
};

HWND PropertyPageTest::window;

TEST_F(PropertyPageTest, InitDialogBindsTheWindowFirstAndRefreshesAfterTheHandler) {
    EXPECT_EQ(page.hwnd, nullptr);
    EXPECT_EQ(Route(WM_INITDIALOG), 7);
    EXPECT_EQ(page.hwndAtInit, window);
    EXPECT_EQ(page.hwnd, window);
    EXPECT_EQ(page.calls, (std::vector<std::string>{"init", "refresh"}));
}

TEST_F(PropertyPageTest, CommandsAndNotificationsReachTheirHandlersWithTheirParts) {
    Route(WM_INITDIALOG);
    page.calls.clear();
    EXPECT_EQ(Route(WM_COMMAND, MAKEWPARAM(1004, 9), 0x4321), 3);
    EXPECT_EQ(Notify(static_cast<UINT>(PSN_SETACTIVE)), 0);
    EXPECT_EQ(page.calls, (std::vector<std::string>{"command 9 1004 17185", "notify -200 12"}));
}

TEST_F(PropertyPageTest, PaintingMessagesAndTheColourRequests) {
    Route(WM_INITDIALOG);
    page.calls.clear();
    HDC dc = GetDC(window);
    const INT_PTR brush = Route(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetStockObject(HOLLOW_BRUSH)));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(Route(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 1);
    EXPECT_EQ(Route(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc)), 5);
    ReleaseDC(window, dc);
    EXPECT_EQ(page.calls, (std::vector<std::string>{"color", "erase", "refresh"}));
    // Other colour requests are not the page's business.
    EXPECT_EQ(Route(WM_CTLCOLORBTN), FALSE);
    EXPECT_EQ(Route(WM_CTLCOLOREDIT), FALSE);
    EXPECT_EQ(page.calls.size(), 3u);
}

TEST_F(PropertyPageTest, ASettingChangeRepaintsAndRefreshes) {
    Route(WM_INITDIALOG);
    ValidateRect(window, nullptr);
    page.calls.clear();
    EXPECT_EQ(Route(WM_SETTINGCHANGE), 5);
    EXPECT_TRUE(HasUpdate());
    EXPECT_EQ(page.calls, (std::vector<std::string>{"refresh"}));
}

TEST_F(PropertyPageTest, PaletteMessagesRealizeThroughTheBackdrop) {
    Route(WM_INITDIALOG);
    ValidateRect(window, nullptr);
    // Its own palette change is ignored without repainting.
    EXPECT_EQ(Route(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(window)), FALSE);
    EXPECT_FALSE(HasUpdate());
    // Before the backdrop was ever painted there is nothing to realize, but the page repaints.
    EXPECT_EQ(Route(WM_QUERYNEWPALETTE), FALSE);
    EXPECT_TRUE(HasUpdate());

    HDC dc = GetDC(window);
    ASSERT_TRUE(BackdropBitmap.LoadFromResource(110, dc, AppInstance));
    ReleaseDC(window, dc);
    ValidateRect(window, nullptr);
    EXPECT_EQ(Route(WM_QUERYNEWPALETTE), TRUE);
    EXPECT_TRUE(HasUpdate());
    ValidateRect(window, nullptr);
    EXPECT_EQ(Route(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(MainWindow)), TRUE);
    EXPECT_TRUE(HasUpdate());
    BackdropBitmap.Release();
}

TEST_F(PropertyPageTest, DestroyUnbindsTheWindowAndPostsCloseToTheMainWindow) {
    Route(WM_INITDIALOG);
    EXPECT_EQ(Route(WM_DESTROY), FALSE);
    EXPECT_EQ(page.hwnd, nullptr);
    EXPECT_TRUE(mainWindowMessages.empty()) << "posted, not sent";
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, MainWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(message.lParam, 0);
}

TEST_F(PropertyPageTest, OtherMessagesAreLeftToTheDialog) {
    Route(WM_INITDIALOG);
    page.calls.clear();
    for (UINT message : {WM_PAINT, WM_SIZE, WM_TIMER, WM_USER, WM_CTLCOLORBTN})
        EXPECT_EQ(Route(message), FALSE) << message;
    EXPECT_TRUE(page.calls.empty());
}

TEST_F(PropertyPageTest, ApplySavesThroughTheMainWindowAndCancelDestroysIt) {
    Route(WM_INITDIALOG);
    EXPECT_EQ(Notify(static_cast<UINT>(PSN_APPLY)), 0);
    EXPECT_EQ(mainWindowMessages, std::vector<UINT>{WM_SAVESETTINGS});
    EXPECT_EQ(Notify(static_cast<UINT>(PSN_KILLACTIVE)), 1);
    EXPECT_EQ(Notify(static_cast<UINT>(PSN_RESET)), 0);
    EXPECT_EQ(mainWindowMessages, std::vector<UINT>{WM_SAVESETTINGS});
    EXPECT_EQ(Notify(static_cast<UINT>(PSN_QUERYCANCEL)), 0);
    EXPECT_FALSE(IsWindow(MainWindow));
    EXPECT_EQ(mainWindowMessages, (std::vector<UINT>{WM_SAVESETTINGS, WM_DESTROY}));
}

TEST_F(PropertyPageTest, AnErrorInAHandlerClosesTheMainWindowAtOnce) {
    Route(WM_INITDIALOG);
    page.raise = true;
    EXPECT_EQ(Route(WM_COMMAND, MAKEWPARAM(1004, 0)), FALSE);
    EXPECT_EQ(mainWindowMessages, std::vector<UINT>{WM_CLOSE});
    EXPECT_EQ(ErrorCode, ErrorGeneral);
    EXPECT_NE(std::string(ErrorStringBuffer).find("failed: test handler"), std::string::npos);
}

TEST_F(PropertyPageTest, TheStartingOptionsPageBindsItselfWhileItLives) {
    EXPECT_EQ(CurrentPage, nullptr);
    {
        StartingOptionsPage options;
        EXPECT_EQ(CurrentPage, &options);
        EXPECT_EQ(options.templateId, 102);
        EXPECT_EQ(options.hwnd, nullptr);
        EXPECT_EQ(options.GetDialogProc(), &StartingOptionsPage::StaticDialogProc);
    }
    EXPECT_EQ(CurrentPage, nullptr);
    // Unbound, the procedure answers FALSE to everything, its first message included.
    EXPECT_EQ(StartingOptionsPage::StaticDialogProc(window, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(StartingOptionsPage::StaticDialogProc(window, WM_ERASEBKGND, 0, 0), FALSE);

    CurrentPage = &page;
    EXPECT_EQ(StartingOptionsPage::StaticDialogProc(window, WM_INITDIALOG, 0, 0), 7);
    EXPECT_EQ(StartingOptionsPage::StaticDialogProc(window, WM_COMMAND, MAKEWPARAM(1, 2), 0), 3);
    CurrentPage = nullptr;
    EXPECT_EQ(page.calls, (std::vector<std::string>{"init", "refresh", "command 2 1 0"}));
}

TEST_F(PropertyPageTest, TheSheetsPageTableAndItsRepeatableRelease) {
    PropertySheet sheet;
    EXPECT_EQ(sheet.result, 0);
    EXPECT_EQ(sheet.pageCount, 0u);
    EXPECT_EQ(sheet.pages, nullptr);
    PropertyPage** pages = sheet.AllocatePages(3);
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(sheet.pageCount, 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pages[i], nullptr);

    HDC dc = GetDC(window);
    ASSERT_TRUE(BackdropBitmap.LoadFromResource(110, dc, AppInstance));
    ASSERT_TRUE(HeaderBitmap.LoadFromResource(109, dc, AppInstance));
    ReleaseDC(window, dc);
    sheet.Release();
    EXPECT_EQ(sheet.pages, nullptr);
    EXPECT_EQ(sheet.pageCount, 0u);
    EXPECT_FALSE(BackdropBitmap.IsLoaded());
    EXPECT_FALSE(HeaderBitmap.IsLoaded());
    EXPECT_EQ(SharedPalette, nullptr);
    sheet.Release();
    EXPECT_EQ(sheet.pages, nullptr);
    EXPECT_EQ(sheet.pageCount, 0u);
}

// Presses a button of this thread's sheet once it is up, as a person would.
UINT_PTR pressTimer;
WPARAM buttonToPress;
const char* sheetCaption;

void CALLBACK PressButtonTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND sheet = FindWindowA("#32770", sheetCaption);
    if (!sheet || GetWindowThreadProcessId(sheet, nullptr) != GetCurrentThreadId())
        return;
    KillTimer(nullptr, pressTimer);
    PostMessageA(sheet, PSM_PRESSBUTTON, buttonToPress, 0);
}

void PressWhenShown(WPARAM button, const char* caption) {
    buttonToPress = button;
    sheetCaption = caption;
    pressTimer = SetTimer(nullptr, 0, 50, PressButtonTimer);
}

TEST_F(PropertyPageTest, ASheetThatCannotBeShownRaisesAGeneralError) {
    InitCommonControls();
    // An owner that is gone makes the sheet fail before it has any window.
    HWND gone = CreateRecordingMainWindow();
    DestroyWindow(gone);
    mainWindowMessages.clear();
    StartingOptionsPage options;
    PropertySheet sheet;
    sheet.AllocatePages(1)[0] = &options;
    PressWhenShown(PSBTN_CANCEL, "caption"); // should the sheet come up after all
    const unsigned windowsBefore = PropertyPage::WindowsCreated();
    bool raised = false;
    try {
        sheet.Create(gone, AppInstance, "caption");
    } catch (runtime_error&) {
        raised = true;
    }
    KillTimer(nullptr, pressTimer);
    EXPECT_TRUE(raised);
    EXPECT_EQ(PropertyPage::WindowsCreated(), windowsBefore);
    EXPECT_EQ(ErrorCode, ErrorGeneral);
    EXPECT_NE(std::string(ErrorStringBuffer).find("failed: PropertySheet"), std::string::npos)
        << ErrorStringBuffer;
}

TEST_F(PropertyPageTest, OkSavesThenThePagesDestructionAsksTheMainWindowToClose) {
    InitCommonControls();
    StartingOptionsPage options;
    PropertySheet sheet;
    sheet.AllocatePages(1)[0] = &options;
    const unsigned windowsBefore = PropertyPage::WindowsCreated();
    PressWhenShown(PSBTN_OK, AppTitle);
    sheet.Create(MainWindow, AppInstance, AppTitle);
    EXPECT_EQ(PropertyPage::WindowsCreated(), windowsBefore + 1);
    EXPECT_EQ(options.hwnd, nullptr);
    EXPECT_EQ(mainWindowMessages, std::vector<UINT>{WM_SAVESETTINGS});
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, MainWindow, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_EQ(ErrorCode, 0);
}

} // namespace
