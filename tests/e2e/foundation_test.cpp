// The program's spine driven from outside: hidden main window, the save message, the exit
// code, the registry values and the debug lines.
#include "harness/KestProcess.h"
#include "harness/Registry.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_SAVESETTINGS = WM_USER + 1;

struct Expected {
    const char* name;
    std::uint32_t value;
};

class Foundation : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    // Starts the program, asks it to save, closes it and returns its exit code.
    DWORD SaveAndClose(KestProcess& program) {
        HWND main = program.WaitForWindow("KestCnf");
        EXPECT_NE(main, nullptr);
        if (!main)
            return 0xFFFFFFFF;
        EXPECT_FALSE(IsWindowVisible(main));
        EXPECT_FALSE(IsWindowEnabled(main));
        char title[64] = {};
        GetWindowTextA(main, title, sizeof title);
        EXPECT_STREQ(title, "Kest I&II OMNIVA Setup");
        EXPECT_EQ(SendMessageA(main, WM_SAVESETTINGS, 0, 0), 0);
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit());
        return program.ExitCode();
    }

    void ExpectStored(const std::vector<Expected>& expected) {
        for (const Expected& e : expected) {
            const auto value = ReadValue(e.name);
            ASSERT_TRUE(value.has_value()) << e.name;
            EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD)) << e.name;
            EXPECT_EQ(value->data.size(), 4u) << e.name;
            EXPECT_EQ(value->AsDword(), e.value) << e.name;
        }
    }

    ScratchFolder folder;
};

TEST_F(Foundation, FreshAccountSavesTheElevenDefaults) {
    KestProcess program(folder.ProgramPath());
    ASSERT_NE(program.WaitForWindow("KestCnf"), nullptr);
    // Loading alone creates the key but stores nothing.
    EXPECT_TRUE(SettingsKeyExists());
    EXPECT_TRUE(ValueNames().empty());
    EXPECT_EQ(SaveAndClose(program), 0u);
    EXPECT_EQ(ValueNames().size(), 11u);
    ExpectStored({{"Music instrument", 0},
                  {"Frame design", 0},
                  {"Connect Kest2 direct", 0},
                  {"Joystick", 1},
                  {"AVI movie", 1},
                  {"Reverb sound effect", 1},
                  {"DirectSoundBuffer software", 0},
                  {"DirectSound none", 0},
                  {"Bloody effect", 1},
                  {"Mirel's clock", 0}});
    EXPECT_TRUE(ReadValue("DirectSoundBuffer locdefer").has_value());
}

TEST_F(Foundation, StoredValuesAreLoadedByTheirRulesAndSavedBack) {
    StoreDword("Joystick", 2);
    StoreDword("Frame design", 7);
    StoreDword("Bloody effect", 3);
    StoreValue("AVI movie", REG_SZ, "0000000", 8); // too long for a number: default stays
    StoreValue("Mirel's clock", REG_SZ, "1", 2);   // two bytes, read as 0x31
    StoreDword("Connect Kest2 direct", 1);
    KestProcess program(folder.ProgramPath());
    EXPECT_EQ(SaveAndClose(program), 0u);
    ExpectStored({{"Joystick", 0},
                  {"Frame design", 7},
                  {"Bloody effect", 1},
                  {"AVI movie", 1},
                  {"Mirel's clock", 1},
                  {"Connect Kest2 direct", 1}});
}

TEST_F(Foundation, AnOddStoredFlagKeepsItsLowestBit) {
    StoreDword("Joystick", 3);
    KestProcess program(folder.ProgramPath());
    EXPECT_EQ(SaveAndClose(program), 0u);
    ExpectStored({{"Joystick", 1}});
}

TEST_F(Foundation, ClosingWithoutSavingWritesNothingAndLogsTheWayOut) {
    KestProcess program(folder.ProgramPath());
    HWND main = program.WaitForWindow("KestCnf");
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(ValueNames().empty());

    const std::vector<std::string> lines = program.DebugLines();
    auto position = [&](const char* line) {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == line)
                return static_cast<int>(i);
        return -1;
    };
    const int begin = position("WinMain begin\n");
    const int cleanUp = position("ok: WinMain Clean up...\n");
    const int shutDown = position("ShutDown\n");
    ASSERT_GE(begin, 0) << program.DebugText();
    EXPECT_LT(begin, cleanUp);
    EXPECT_LT(cleanUp, shutDown);
}

} // namespace
