// The start-up guard seen from outside: one copy at a time, no running game, no Windows NT 3.
#include "harness/KestProcess.h"
#include "harness/Registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const Title = "Kest I&II OMNIVA Setup";

// A named mutex held by this driver, as a running game or tool would hold it.
class HeldMutex {
  public:
    explicit HeldMutex(const char* name) : handle_(CreateMutexA(nullptr, TRUE, name)) {}
    ~HeldMutex() {
        ReleaseMutex(handle_);
        CloseHandle(handle_);
    }
    HeldMutex(const HeldMutex&) = delete;
    HeldMutex& operator=(const HeldMutex&) = delete;
    bool Held() const { return handle_ != nullptr && GetLastError() != ERROR_ALREADY_EXISTS; }

  private:
    HANDLE handle_;
};

class Guard : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    // A refused run builds nothing: no main window, and the settings are never loaded (loading
    // would create the key).
    void ExpectNothingBuilt(const KestProcess& program) {
        EXPECT_EQ(program.FindWindowOfProcess("KestCnf"), nullptr);
        EXPECT_FALSE(SettingsKeyExists());
    }
    // The way out of a refusal: the clean-up ran, with no closing box and exit code 0.
    void ExpectQuietEnd(KestProcess& program) {
        ASSERT_TRUE(program.WaitForExit()) << "a box left open?";
        EXPECT_EQ(program.ExitCode(), 0u);
        const std::string text = program.DebugText();
        EXPECT_NE(text.find("ok: WinMain Clean up...\n"), std::string::npos) << text;
        EXPECT_NE(text.find("ShutDown\n"), std::string::npos) << text;
        EXPECT_FALSE(SettingsKeyExists());
    }

    ScratchFolder folder;
};

TEST_F(Guard, ASecondCopyEndsSilentlyAndTheFirstCarriesOn) {
    KestProcess first(folder.ProgramPath());
    HWND main = first.WaitForWindow("KestCnf");
    ASSERT_NE(main, nullptr);
    DeleteSettingsKey(); // made by the first copy's start-up

    KestProcess second(folder.ProgramPath());
    ExpectQuietEnd(second);

    EXPECT_FALSE(first.Exited());
    EXPECT_TRUE(IsWindow(main));
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit());
    EXPECT_EQ(first.ExitCode(), 0u);

    // The first copy let go of its mutex on the way out: a third copy starts.
    KestProcess third(folder.ProgramPath());
    HWND thirdMain = third.WaitForWindow("KestCnf");
    ASSERT_NE(thirdMain, nullptr);
    PostMessageA(thirdMain, WM_CLOSE, 0, 0);
    EXPECT_TRUE(third.WaitForExit());
}

TEST_F(Guard, TheToolsMutexHeldElsewhereRefusesWithoutAWord) {
    HeldMutex tool("KestCnf");
    ASSERT_TRUE(tool.Held());
    KestProcess program(folder.ProgramPath());
    ExpectQuietEnd(program);
}

TEST_F(Guard, ARunningGameIsNamedAndNothingIsBuilt) {
    const struct {
        std::vector<const char*> games;
        const char* message;
    } cases[] = {
        {{"KestII SEMPERA"}, "You must exit Kest II OMNIVA\nbefore running this program."},
        {{"KestI SEMPERA"}, "You must exit Kest I OMNIVA\nbefore running this program."},
        {{"KestI SEMPERA", "KestII SEMPERA"},
         "You must exit Kest II OMNIVA\nbefore running this program."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::unique_ptr<HeldMutex>> games;
        for (const char* game : c.games)
            games.push_back(std::make_unique<HeldMutex>(game));
        KestProcess program(folder.ProgramPath());
        MessageBoxSeen box;
        ASSERT_TRUE(program.WaitForMessageBox(&box)) << program.DebugText();
        EXPECT_EQ(box.caption, Title);
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.icon, MessageBoxSeen::Information);
        ExpectNothingBuilt(program);
        KestProcess::Dismiss(box);
        ExpectQuietEnd(program);
    }
}

TEST_F(Guard, WindowsNt351EndsWithTheLocatedErrorAndCodeMinus2) {
    WineVersionOverride nt351("nt351");
    KestProcess program(folder.ProgramPath());
    MessageBoxSeen box;
    ASSERT_TRUE(program.WaitForMessageBox(&box)) << program.DebugText();
    EXPECT_EQ(box.caption, Title);
    // "Error", the raising site's location, then the message, each line ended.
    const std::string located = "Error(InstanceGuard.cpp ";
    EXPECT_EQ(box.text.compare(0, located.size(), located), 0) << box.text;
    const std::string tail = "\x8D\x73)\nWindows NT3.51 is not supported.\n";
    ASSERT_GE(box.text.size(), tail.size());
    EXPECT_EQ(box.text.substr(box.text.size() - tail.size()), tail) << box.text;
    EXPECT_EQ(box.icon, MessageBoxSeen::Error);
    ExpectNothingBuilt(program);
    KestProcess::Dismiss(box);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), static_cast<DWORD>(-2));
    EXPECT_NE(program.DebugText().find("Windows NT3.51 is not supported.\n"), std::string::npos);
}

} // namespace
