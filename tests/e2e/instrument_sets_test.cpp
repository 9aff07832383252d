// The instrument sets beside the program fit the stored music choice at start-up, which the
// save request then writes back.
#include "harness/KestProcess.h"
#include "harness/Registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT WM_SAVESETTINGS = WM_USER + 1;

class InstrumentSets : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    void AddSet(const std::string& directory, const std::string& description) {
        folder.MakeFolder("MIDI\\" + directory);
        folder.WriteFile("MIDI\\" + directory + "\\program.txt", description);
    }

    // Runs the program with the stored choice, saves, closes; returns the choice saved.
    std::uint32_t SavedChoice(std::uint32_t stored) {
        StoreDword("Music instrument", stored);
        KestProcess program(folder.ProgramPath());
        HWND main = program.WaitForWindow("KestCnf");
        EXPECT_NE(main, nullptr);
        if (!main)
            return 0xDEADBEEF;
        EXPECT_EQ(SendMessageA(main, WM_SAVESETTINGS, 0, 0), 0);
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.ExitCode(), 0u);
        // Discovery is silent, whatever it met on disk.
        EXPECT_EQ(program.DebugText().find("failed"), std::string::npos) << program.DebugText();
        const auto value = ReadValue("Music instrument");
        EXPECT_TRUE(value.has_value());
        return value ? value->AsDword() : 0xDEADBEEF;
    }

    ScratchFolder folder;
};

TEST_F(InstrumentSets, SixSetsOfferFourSoAStoredSevenSavesBackFive) {
    for (int i = 1; i <= 6; ++i)
        AddSet("Set" + std::to_string(i),
               "instrument \"Set " + std::to_string(i) + "\"\r\n1 \"bank.dls\"\r\n");
    EXPECT_EQ(SavedChoice(7), 5u);
}

TEST_F(InstrumentSets, WithoutAMidiFolderAStoredTwoSavesBackWave) {
    EXPECT_EQ(SavedChoice(2), 1u);
}

TEST_F(InstrumentSets, OnlyNamedSetsInFoldersCount) {
    AddSet("Strings", "// ensemble\ninstrument = \"Strings\"\n");
    AddSet("Organ", "INSTRUMENT \"Organ\"");
    AddSet(".backup", "instrument \"Backup\"");
    AddSet("NoName", "1 \"bank.dls\"\n");
    AddSet("Glued", "instrument\"Glued\"");
    folder.MakeFolder("MIDI\\Empty");
    folder.WriteFile("MIDI\\loose.txt", "instrument \"Loose\"");
    EXPECT_EQ(SavedChoice(4), 3u);
    EXPECT_EQ(SavedChoice(3), 3u);
    EXPECT_EQ(SavedChoice(0), 0u);
}

} // namespace
