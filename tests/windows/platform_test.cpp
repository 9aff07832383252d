// What only the real platform can show: a failed allocation anywhere in start-up, or inside the
// sheet's own messages, ends with the closing box and code -4; a sheet that cannot be shown ends
// the program instead of leaving it waiting with nothing on the screen; the palette messages
// reach the page; a box names an error the system cannot describe by its number.
#include "app/base/AllocationFailureHook.h"
#include "app/base/ErrorReport.h"
#include "app/base/MessageBoxes.h"
#include "harness/KestProcess.h"
#include "ui/PropertySheet.h"
#include "ui/StartingOptionsPage.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

// Counted from 1; failing 0 fails none. Those made before the page has a window are start-up's.
long failing = 0, made = 0, startUp = 0;

bool FailChosenAllocation(std::size_t) {
    startUp = PropertyPage::WindowsCreated() ? startUp : made + 1;
    return ++made == failing;
}

TEST(OutOfMemory, AnyAllocationOfStartUpOrOfTheSheetEndsWithTheClosingBoxAndCodeMinusFour) {
    InstallOutOfMemoryHandler();
    EXPECT_THROW(static_cast<void>(::operator new(SIZE_MAX / 2)), exception_memory);
    EXPECT_EQ(ErrorCode, -4);
    EXPECT_EQ(std::string(ErrorStringBuffer),
              "Error\nLacking memory by " + std::to_string(SIZE_MAX / 2) + " bytes.\n");

    // Copies of this driver run the program's own start-up: the first counts its allocations
    // and tells their number in its exit code, the others make one of them fail, or the first
    // one after it, inside the sheet's own messages.
    Folder folder;
    folder.Write("MIDI\\Organ\\program.txt", "instrument \"Organ\"\r\n1 \"organ.dls\"\r\n");
    Kest counting(folder.program, "", "--fail-allocation 0");
    Sheet(counting).Press(PSBTN_CANCEL);
    const long count = static_cast<long>(counting.Exit());
    ASSERT_GE(count, 4) << "the set's record, description and strings, and the page";
    const std::regex closingBox(Title +
                                std::string("\\|Error\nLacking memory by \\d+ bytes\\.\n\\|E"));
    for (long chosen : {1L, count / 2, count, count + 1}) {
        Kest kest(folder.program, "", "--fail-allocation " + std::to_string(chosen));
        const std::string box = kest.WaitForBox();
        EXPECT_TRUE(std::regex_match(box, closingBox)) << chosen << ": " << box;
        kest.Dismiss();
        EXPECT_EQ(kest.Exit(), static_cast<DWORD>(-4)) << chosen;
        EXPECT_EQ(Stored().find('='), std::string::npos) << "nothing saved";
    }
}

TEST(SheetFailure, OneThatCannotBeShownEndsTheProgramWithAGeneralError) {
    InitCommonControls();
    HWND gone = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone); // an owner that is gone makes the sheet fail before it has a window
    StartingOptionsPage page;
    PropertySheet sheet;
    sheet.AllocatePages(1)[0] = &page;
    EXPECT_THROW(sheet.Create(gone, GetModuleHandleA(nullptr), "caption"), runtime_error);
    EXPECT_EQ(ErrorCode, -2);
    EXPECT_NE(std::string(ErrorStringBuffer).find("\nfailed: PropertySheet\n"), std::string::npos);
}

// Whether the page was left to repaint after each palette message sent to the sheet.
std::vector<bool> repainted;

void CALLBACK SendPaletteMessages(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const HWND page = CurrentPage->hwnd;
    const HWND sheet = GetParent(page);
    const std::pair<UINT, HWND> messages[] = {
        {WM_QUERYNEWPALETTE, nullptr},
        {WM_PALETTECHANGED, GetDesktopWindow()}, // another window realized its palette
        {WM_PALETTECHANGED, page},               // the page did, and must not loop
    };
    for (const auto& [message, realizer] : messages) {
        ValidateRect(page, nullptr);
        SendMessageA(sheet, message, reinterpret_cast<WPARAM>(realizer), 0);
        repainted.push_back(GetUpdateRect(page, nullptr, FALSE));
    }
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

// Windows sends them to top-level windows only: at 256 colours the page would keep stale colours
// after another program realized its palette.
TEST(Palette, TheSheetPassesThePaletteMessagesOnToItsPage) {
    InitCommonControls();
    StartingOptionsPage page;
    PropertySheet sheet;
    sheet.AllocatePages(1)[0] = &page;
    SetTimer(nullptr, 0, 100, SendPaletteMessages);
    sheet.Create(nullptr, GetModuleHandleA(nullptr), "caption");
    EXPECT_EQ(repainted, (std::vector<bool>{true, true, false}));
}

// A customer code (bit 29 set) has no text in the system; the box must still give a reason.
TEST(MessageBoxes, AnErrorTheSystemCannotDescribeIsNamedByItsNumber) {
    std::string shown = "(no box)";
    std::thread player([&] {
        HWND box = nullptr;
        if (Until([&] { return (box = FindWindowA("#32770", Title)) != nullptr; }, 10000))
            shown = TextOf(GetDlgItem(box, 0xFFFF));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ShowSystemError("The choices could not be saved.\n[%s]", MB_OK | MB_ICONWARNING, 0x20000001);
    player.join();
    EXPECT_EQ(shown, "The choices could not be saved.\n[error 536870913]");
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--fail-allocation") {
        failing = std::atol(argv[2]);
        SetAllocationFailureHook(FailChosenAllocation);
        const int code = WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOW);
        return failing ? code : static_cast<int>(startUp);
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetProgramUnderTest(self); // the folders of the start-up test hold copies of this driver
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
