// Nothing the player sees is lost and nothing is saved behind the player's back: after a long
// seeded run of clicks and list picks, Apply and OK write exactly what the page shows, Cancel
// writes nothing, and a second copy started while the sheet is open leaves the first alone.
#include "harness/KestProcess.h"
#include "harness/Registry.h"
#include "harness/Sheet.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <iterator>
#include <string>

namespace {

// The flags' check boxes, by the value each one is saved as.
const std::pair<const char*, int> FlagBoxes[] = {
    {"Connect Kest2 direct", 1017},
    {"Joystick", 1008},
    {"AVI movie", 1004},
    {"DirectSoundBuffer locdefer", 1005},
    {"Reverb sound effect", 1009},
    {"DirectSoundBuffer software", 1007},
    {"DirectSound none", 1006},
    {"Bloody effect", 1016},
    {"Mirel's clock", 1015},
};

using Values = std::map<std::string, std::uint32_t>;

// What the page shows, as the eleven values the games would read.
Values PageShows(const Sheet& sheet) {
    Values shown;
    for (const auto& [name, id] : FlagBoxes)
        shown[name] = sheet.Checked(id) ? 1 : 0;
    shown["Music instrument"] = static_cast<std::uint32_t>(sheet.ComboSelection(1010));
    shown["Frame design"] = static_cast<std::uint32_t>(sheet.ComboSelection(1014));
    return shown;
}

// Every value under the key; a value that is not a REG_DWORD of four bytes shows as 0xBAD.
Values Stored() {
    Values stored;
    for (const std::string& name : ValueNames()) {
        const auto value = ReadValue(name.c_str());
        stored[name] =
            value && value->type == REG_DWORD && value->data.size() == 4 ? value->AsDword() : 0xBAD;
    }
    return stored;
}

std::string Describe(const Values& values) {
    std::string text;
    for (const auto& [name, number] : values)
        text += name + "=" + std::to_string(number) + " ";
    return text;
}

class NothingLost : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKey();
        for (const char* set : {"Organ", "Chips"}) {
            folder.MakeFolder(std::string("MIDI\\") + set);
            folder.WriteFile(std::string("MIDI\\") + set + "\\program.txt",
                             std::string("instrument \"") + set + "\"\r\n");
        }
    }
    void TearDown() override { DeleteSettingsKey(); }

    // A stored record drawn from the seed, every value within what the page can show.
    void StoreRandomRecord() {
        for (const auto& flag : FlagBoxes)
            StoreDword(flag.first, random() % 2);
        StoreDword("Music instrument", random() % 4);
        StoreDword("Frame design", random() % 2);
    }

    std::unique_ptr<KestProcess> Start() {
        auto program = std::make_unique<KestProcess>(folder.ProgramPath());
        sheet = std::make_unique<Sheet>(*program);
        EXPECT_TRUE(sheet->Ready()) << program->DebugText();
        return program;
    }

    // Clicks and picks as a player makes them: only on controls that are there to be used.
    void PlayAround(int actions) {
        for (int done = 0; done < actions;) {
            const unsigned what = random() % 20;
            if (what < 13) {
                const int id = FlagBoxes[random() % std::size(FlagBoxes)].second;
                if (!sheet->Enabled(id) || !sheet->Visible(id))
                    continue;
                sheet->Click(id);
            } else if (what < 16) {
                sheet->Select(1010, static_cast<int>(random() % sheet->ComboItems(1010).size()));
            } else if (what < 19) {
                sheet->Select(1014, static_cast<int>(random() % 2));
            } else {
                sheet->Click(1000); // Standard Setup
            }
            ++done;
        }
    }

    // Apply has been pressed: waits until the save has landed and compares.
    void ExpectSaved(const Values& shown) {
        Values stored;
        for (int i = 0; i < 200 && (stored = Stored()) != shown; ++i)
            Sleep(50);
        EXPECT_EQ(stored, shown) << "stored: " << Describe(stored)
                                 << "\nshown: " << Describe(shown);
    }

    std::mt19937 random{20261206};
    ScratchFolder folder;
    std::unique_ptr<Sheet> sheet;
};

TEST_F(NothingLost, ApplyWritesWhatThePageShowsAndALaterCancelWritesNothing) {
    StoreRandomRecord();
    auto program = Start();
    ASSERT_TRUE(sheet->Ready());
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("apply " + std::to_string(round + 1));
        PlayAround(25);
        const Values shown = PageShows(*sheet);
        sheet->Press(PSBTN_APPLYNOW);
        ExpectSaved(shown);
        EXPECT_FALSE(program->Exited());
    }

    const Values applied = Stored();
    PlayAround(25);
    ASSERT_NE(PageShows(*sheet), applied) << "the run changed nothing to cancel";
    sheet->Press(PSBTN_CANCEL);
    ASSERT_TRUE(program->WaitForExit());
    EXPECT_EQ(program->ExitCode(), 0u);
    EXPECT_EQ(Stored(), applied);
}

TEST_F(NothingLost, OkWritesWhatThePageShows) {
    StoreRandomRecord();
    auto program = Start();
    ASSERT_TRUE(sheet->Ready());
    PlayAround(40);
    const Values shown = PageShows(*sheet);
    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(program->WaitForExit());
    EXPECT_EQ(program->ExitCode(), 0u);
    EXPECT_EQ(Stored(), shown) << "shown: " << Describe(shown);
}

TEST_F(NothingLost, ASecondCopyWhileTheSheetIsOpenChangesNothingInTheFirst) {
    StoreRandomRecord();
    auto first = Start();
    ASSERT_TRUE(sheet->Ready());
    PlayAround(20);
    const Values shown = PageShows(*sheet);
    const Values stored = Stored();
    ASSERT_NE(shown, stored) << "the run changed nothing the second copy could disturb";

    KestProcess second(folder.ProgramPath());
    ASSERT_TRUE(second.WaitForExit()) << "the second copy kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(second.DebugText().find("failed"), std::string::npos) << second.DebugText();

    EXPECT_FALSE(first->Exited());
    EXPECT_TRUE(IsWindowVisible(sheet->Window()));
    EXPECT_EQ(PageShows(*sheet), shown);
    EXPECT_EQ(Stored(), stored);

    sheet->Press(PSBTN_OK);
    ASSERT_TRUE(first->WaitForExit());
    EXPECT_EQ(first->ExitCode(), 0u);
    EXPECT_EQ(Stored(), shown);
}

} // namespace
