// The out-of-memory handler sees failed allocations of both operator new and malloc, and a
// failure at any allocation of start-up ends the program with the closing box and code -4.
#include "app/AllocationFailureHook.h"
#include "app/ErrorReport.h"
#include "app/MessageBoxes.h"
#include "harness/KestProcess.h"
#include "harness/Registry.h"
#include "harness/Sheet.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// More than any process can get, on 32-bit and 64-bit alike.
const std::size_t Impossible = SIZE_MAX / 2;
char selfPath[MAX_PATH];

// Kept in a volatile so the compiler cannot drop an allocation whose result goes unused.
void* volatile lastBlock;

std::string Expected(std::size_t size) {
    return "Error\nLacking memory by " + std::to_string(size) + " bytes.\n";
}

class OutOfMemory : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallOutOfMemoryHandler();
        ErrorCode = 0;
        ErrorStringBuffer[0] = '\0';
    }
};

TEST_F(OutOfMemory, OperatorNewFailureRaisesWithTheRequestedSize) {
    EXPECT_THROW(lastBlock = ::operator new(Impossible - 8), exception_memory);
    EXPECT_EQ(ErrorCode, ErrorOutOfMemory);
    EXPECT_EQ(ErrorStringBuffer, Expected(Impossible - 8));
    EXPECT_THROW(lastBlock = new char[Impossible - 64], runtime_error);
    EXPECT_EQ(ErrorStringBuffer, Expected(Impossible - 64));
}

TEST_F(OutOfMemory, OrdinaryAllocationsAreUntouched) {
    void* block = std::malloc(64);
    ASSERT_NE(block, nullptr);
    std::free(block);
    auto* object = new int[16];
    delete[] object;
    EXPECT_EQ(ErrorCode, 0);
    EXPECT_EQ(ErrorStringBuffer[0], '\0');
}

// A failed malloc ends the program with the closing box and code -4, whether the raised
// error unwinds to a handler or cannot.
TEST(OutOfMemoryInProgram, MallocFailureEndsWithTheClosingBoxAndCodeMinusFour) {
    KestProcess child(selfPath, "--malloc-too-much");
    MessageBoxSeen box;
    ASSERT_TRUE(child.WaitForMessageBox(&box)) << child.DebugText();
    EXPECT_EQ(box.caption, "Kest I&II OMNIVA Setup");
    EXPECT_EQ(box.text, Expected(Impossible));
    EXPECT_EQ(box.icon, MessageBoxSeen::Error);
    KestProcess::Dismiss(box);
    ASSERT_TRUE(child.WaitForExit());
    EXPECT_EQ(static_cast<std::int32_t>(child.ExitCode()), ErrorOutOfMemory);
}

// --- Start-up ----------------------------------------------------------------------------------
//
// A child copy of this program runs the program's own WinMain (linked in from the program's
// sources) with an allocation hook of this test. A first child counts the allocations made until
// its sheet is up, painted and waiting for the player; then one child for each of them makes
// exactly that allocation fail.

long failingAllocation = 0; // counted from 1; 0 fails none and reports every allocation
long allocationsSeen = 0;

// A debug line for the parent, formatted by hand: formatting functions may allocate.
void ReportAllocation(const char* what, long number, std::size_t size) {
    char line[96];
    std::size_t length = 0;
    auto add = [&](const char* text) {
        while (*text && length + 1 < sizeof line)
            line[length++] = *text++;
    };
    auto addNumber = [&](unsigned long long value) {
        char digits[24];
        int count = 0;
        do
            digits[count++] = static_cast<char>('0' + value % 10);
        while ((value /= 10) != 0);
        while (count > 0 && length + 1 < sizeof line)
            line[length++] = digits[--count];
    };
    add("test: ");
    add(what);
    add(" allocation ");
    addNumber(static_cast<unsigned long long>(number));
    add(" of ");
    addNumber(size);
    add(" bytes\n");
    line[length] = '\0';
    OutputDebugStringA(line);
}

bool FailChosenAllocation(std::size_t size) {
    ++allocationsSeen;
    if (failingAllocation == 0) {
        ReportAllocation("made", allocationsSeen, size);
        return false;
    }
    if (allocationsSeen != failingAllocation)
        return false;
    ReportAllocation("failing", allocationsSeen, size);
    return true;
}

// The sizes the child reported, in order, for lines that begin with `marker`.
std::vector<std::size_t> ReportedSizes(const KestProcess& child, const std::string& marker) {
    std::vector<std::size_t> sizes;
    for (const std::string& line : child.DebugLines()) {
        if (line.compare(0, marker.size(), marker) != 0)
            continue;
        const std::size_t of = line.find(" of ");
        if (of != std::string::npos)
            sizes.push_back(static_cast<std::size_t>(std::stoull(line.substr(of + 4))));
    }
    return sizes;
}

struct BoxSearch {
    DWORD processId;
    HWND found;
};

// A dialog of the child that is not the sheet (which holds a tab control).
BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner != search->processId || std::strcmp(name, "#32770") != 0 ||
        FindWindowExA(window, nullptr, "SysTabControl32", nullptr) || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForBox(const KestProcess& child, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs && !child.Exited()) {
        BoxSearch search = {child.ProcessId(), nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

class OutOfMemoryAtStartUp : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKey();
        // A set to read, so that discovery allocates too.
        folder.MakeFolder("MIDI\\Organ");
        folder.WriteFile("MIDI\\Organ\\program.txt", "instrument \"Organ\"\r\n1 \"organ.dls\"\r\n");
    }
    void TearDown() override { DeleteSettingsKey(); }

    ScratchFolder folder; // holds a copy of this program
};

TEST_F(OutOfMemoryAtStartUp, EveryAllocationOfStartUpEndsWithTheClosingBoxAndCodeMinusFour) {
    std::vector<std::size_t> made;
    {
        KestProcess child(folder.ProgramPath(), "--start-up-allocations 0");
        Sheet sheet(child);
        ASSERT_TRUE(sheet.Ready()) << child.DebugText();
        Sleep(500); // whatever painting is still to come
        made = ReportedSizes(child, "test: made allocation ");
        sheet.Press(PSBTN_CANCEL);
        ASSERT_TRUE(child.WaitForExit());
        EXPECT_EQ(child.ExitCode(), 0u);
    }
    // At least the instrument set's record, its description and its strings, and the page.
    ASSERT_GE(made.size(), 4u);

    for (std::size_t k = 1; k <= made.size(); ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(made[k - 1]) +
                     " bytes");
        KestProcess child(folder.ProgramPath(), "--start-up-allocations " + std::to_string(k));
        HWND window = WaitForBox(child);
        ASSERT_NE(window, nullptr) << child.DebugText();
        MessageBoxSeen box;
        ReadMessageBox(window, &box);
        EXPECT_EQ(ReportedSizes(child, "test: failing allocation "),
                  std::vector<std::size_t>{made[k - 1]});
        EXPECT_EQ(box.caption, "Kest I&II OMNIVA Setup");
        EXPECT_EQ(box.text, Expected(made[k - 1]));
        EXPECT_EQ(box.icon, MessageBoxSeen::Error);
        KestProcess::Dismiss(box);
        ASSERT_TRUE(child.WaitForExit()) << "a second box?";
        EXPECT_EQ(static_cast<std::int32_t>(child.ExitCode()), ErrorOutOfMemory);
        // Nothing was saved on the way out.
        EXPECT_TRUE(ValueNames().empty());
    }
}

} // namespace

// The program's own entry, and the harness's choice of what a scratch folder holds.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
void SetProgramUnderTest(const char* path);

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "--start-up-allocations") == 0) {
        failingAllocation = std::atol(argv[2]);
        SetAllocationFailureHook(FailChosenAllocation);
        return WinMain(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOWNORMAL);
    }
    if (argc > 1 && std::strcmp(argv[1], "--malloc-too-much") == 0) {
        InstallOutOfMemoryHandler();
        try {
            lastBlock = std::malloc(Impossible);
        } catch (runtime_error&) {
            ShowClosingMessage();
        }
        return ErrorCode;
    }
    GetModuleFileNameA(nullptr, selfPath, MAX_PATH);
    SetProgramUnderTest(selfPath); // the scratch folders hold copies of this program
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
