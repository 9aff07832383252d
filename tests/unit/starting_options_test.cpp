// The "Starting Options" page's behaviour against recorded control operations: every row of the
// command table, the interlocks, the combo boxes and the order in which the page sets things.
#include "fakes/MemoryFiles.h"
#include "fakes/RecordingControls.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"
#include "ui/StartingOptions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

constexpr int CbnDropDown = 7;
constexpr int CbnSelEndOk = 9; // follows every selection change made with the list
constexpr int BnClicked = 0;

using Calls = std::vector<std::string>;

// The nine checks and reports of Refresh for the given record, without what follows them.
Calls ChecksOf(const StartupSettingsRecord& s) {
    auto pair = [](int id, int flag) {
        return Calls{"check " + std::to_string(id) + "=" + std::to_string(flag), "changed"};
    };
    Calls calls;
    for (const Calls& step :
         {pair(1004, s.aviMovie), pair(1008, s.joystick), pair(1017, s.connectDirect),
          pair(1016, s.bloodEffect), pair(1015, s.timeDisplay), pair(1005, s.bufferLocDefer),
          pair(1007, s.bufferSoftware), pair(1006, s.directSoundNone), pair(1009, s.reverbEffect)})
        calls.insert(calls.end(), step.begin(), step.end());
    return calls;
}

Calls Concat(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class StartingOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::copy(std::begin(MusicChoices), std::end(MusicChoices), savedChoices_);
        FreeInstrumentSets();
        DirectXVersion = 0x700;
        EaxLevel = 2;
        SetDefaultSettings();
        StartupSettings.musicInstrument = 1;
        // Two frame items and the two fixed music items, as after initialisation.
        FillCombo(controls, 1010, MusicChoices, 2);
        FillCombo(controls, 1014, FrameDesignChoices, 2);
        controls.calls.clear();
    }
    void TearDown() override {
        std::copy(std::begin(savedChoices_), std::end(savedChoices_), MusicChoices);
        FreeInstrumentSets();
        StartupSettings = {};
        DirectXVersion = 0;
        EaxLevel = 0;
    }

    // Instrument sets named as given, found in this order.
    void InstallSets(std::initializer_list<const char*> names) {
        MemoryFiles files;
        int folder = 0;
        for (const char* name : names)
            files.AddSet("Set" + std::to_string(folder++),
                         std::string("instrument \"") + name + "\"\n");
        const std::uint32_t music = StartupSettings.musicInstrument;
        RebuildInstrumentSets(files, files);
        StartupSettings.musicInstrument = music;
    }

    int Command(int controlId, int notifyCode = BnClicked) {
        return logic.OnCommand(notifyCode, controlId);
    }

    RecordingControls controls;
    StartingOptionsLogic logic{controls, controls};

  private:
    ComboChoice savedChoices_[6];
};

// --- The simple options -----------------------------------------------------------------------

struct SimpleOption {
    int id;
    std::uint8_t StartupSettingsRecord::*flag;
};

class SimpleOptionTest : public StartingOptionsTest,
                         public ::testing::WithParamInterface<SimpleOption> {};

TEST_P(SimpleOptionTest, EachClickInvertsItsFlagAndSetsTheMarkToIt) {
    const SimpleOption option = GetParam();
    StartupSettings.*option.flag = 0;
    StartupSettingsRecord expected = StartupSettings;

    EXPECT_EQ(Command(option.id), 0);
    expected.*option.flag = 1;
    const std::string mark = "check " + std::to_string(option.id);
    EXPECT_THAT(controls.calls, ElementsAre(mark + "=1", "changed"));
    EXPECT_EQ(std::memcmp(&StartupSettings, &expected, sizeof expected), 0);

    controls.calls.clear();
    // Any notification from the control counts, not only a click.
    EXPECT_EQ(Command(option.id, 5), 0);
    expected.*option.flag = 0;
    EXPECT_THAT(controls.calls, ElementsAre(mark + "=0", "changed"));
    EXPECT_EQ(std::memcmp(&StartupSettings, &expected, sizeof expected), 0);
}

INSTANTIATE_TEST_SUITE_P(Options, SimpleOptionTest,
                         ::testing::Values(SimpleOption{1004, &StartupSettingsRecord::aviMovie},
                                           SimpleOption{1008, &StartupSettingsRecord::joystick},
                                           SimpleOption{1015, &StartupSettingsRecord::timeDisplay},
                                           SimpleOption{1016, &StartupSettingsRecord::bloodEffect},
                                           SimpleOption{1017,
                                                        &StartupSettingsRecord::connectDirect}));

// --- The DirectSound interlocks ---------------------------------------------------------------

TEST_F(StartingOptionsTest, DynamicVoiceManagementClearsSoftwareBuffersEitherWay) {
    StartupSettings.bufferLocDefer = 0;
    StartupSettings.bufferSoftware = 1;
    StartupSettings.reverbEffect = 1;
    Command(1005);
    EXPECT_THAT(controls.calls, ElementsAre("check 1005=1", "changed", "check 1007=0", "changed"));
    EXPECT_EQ(StartupSettings.bufferLocDefer, 1);
    EXPECT_EQ(StartupSettings.bufferSoftware, 0);
    EXPECT_EQ(StartupSettings.reverbEffect, 1);

    controls.calls.clear();
    StartupSettings.bufferSoftware = 1; // as a stored combination might have it
    Command(1005);
    EXPECT_THAT(controls.calls, ElementsAre("check 1005=0", "changed", "check 1007=0", "changed"));
    EXPECT_EQ(StartupSettings.bufferLocDefer, 0);
    EXPECT_EQ(StartupSettings.bufferSoftware, 0);
}

TEST_F(StartingOptionsTest, SoftwareBuffersClearDynamicVoiceManagementAndEax) {
    StartupSettings.bufferLocDefer = 1;
    StartupSettings.bufferSoftware = 0;
    StartupSettings.reverbEffect = 1;
    Command(1007);
    EXPECT_THAT(controls.calls, ElementsAre("check 1007=1", "changed", "check 1005=0", "changed",
                                            "check 1009=0", "changed"));
    EXPECT_EQ(StartupSettings.bufferSoftware, 1);
    EXPECT_EQ(StartupSettings.bufferLocDefer, 0);
    EXPECT_EQ(StartupSettings.reverbEffect, 0);

    controls.calls.clear();
    Command(1007);
    EXPECT_THAT(controls.calls, ElementsAre("check 1007=0", "changed", "check 1005=0", "changed",
                                            "check 1009=0", "changed"));
    EXPECT_EQ(StartupSettings.bufferSoftware, 0);
    EXPECT_EQ(StartupSettings.bufferLocDefer, 0);
    EXPECT_EQ(StartupSettings.reverbEffect, 0);
}

TEST_F(StartingOptionsTest, EaxClearsSoftwareBuffersButMayJoinDynamicVoiceManagement) {
    StartupSettings.reverbEffect = 0;
    StartupSettings.bufferSoftware = 1;
    StartupSettings.bufferLocDefer = 1;
    Command(1009);
    EXPECT_THAT(controls.calls, ElementsAre("check 1009=1", "changed", "check 1007=0", "changed"));
    EXPECT_EQ(StartupSettings.reverbEffect, 1);
    EXPECT_EQ(StartupSettings.bufferSoftware, 0);
    EXPECT_EQ(StartupSettings.bufferLocDefer, 1);

    controls.calls.clear();
    Command(1009);
    EXPECT_THAT(controls.calls, ElementsAre("check 1009=0", "changed", "check 1007=0", "changed"));
    EXPECT_EQ(StartupSettings.reverbEffect, 0);
}

TEST_F(StartingOptionsTest, NoDirectSoundDisablesTheThreeOptionsAndKeepsTheirValues) {
    StartupSettings.bufferLocDefer = 1;
    StartupSettings.bufferSoftware = 0;
    StartupSettings.reverbEffect = 1;
    Command(1006);
    EXPECT_THAT(controls.calls,
                ElementsAre("invalidate sound area", "enable 1005=0", "enable 1007=0",
                            "enable 1009=0", "check 1006=1", "changed"));
    EXPECT_EQ(StartupSettings.directSoundNone, 1);
    EXPECT_EQ(StartupSettings.bufferLocDefer, 1);
    EXPECT_EQ(StartupSettings.reverbEffect, 1);

    controls.calls.clear();
    Command(1006);
    EXPECT_THAT(controls.calls,
                ElementsAre("invalidate sound area", "enable 1005=1", "enable 1007=1",
                            "enable 1009=1", "check 1006=0", "changed"));
    EXPECT_EQ(StartupSettings.directSoundNone, 0);
}

TEST_F(StartingOptionsTest, NoClickSequenceSetsSoftwareBuffersWithEitherOtherOption) {
    const int ids[] = {1005, 1007, 1009, 1006};
    StartupSettings.bufferLocDefer = 1;
    StartupSettings.reverbEffect = 1;
    StartupSettings.bufferSoftware = 0;
    // Every sequence of three clicks from this start.
    for (int a : ids)
        for (int b : ids)
            for (int c : ids) {
                StartupSettingsRecord start = StartupSettings;
                for (int id : {a, b, c}) {
                    Command(id);
                    const StartupSettingsRecord& s = StartupSettings;
                    EXPECT_FALSE(s.bufferSoftware && (s.bufferLocDefer || s.reverbEffect))
                        << a << " " << b << " " << c;
                }
                StartupSettings = start;
            }
}

// --- The sound-enable rule --------------------------------------------------------------------

struct SoundCase {
    std::int32_t directX;
    std::int32_t eax;
    std::uint8_t directSoundNone;
    bool locDefer, software, reverb;
};

class SoundEnableRuleTest : public StartingOptionsTest,
                            public ::testing::WithParamInterface<SoundCase> {};

TEST_P(SoundEnableRuleTest, EnablesWhatTheDetectedSoundSupports) {
    const SoundCase c = GetParam();
    DirectXVersion = c.directX;
    EaxLevel = c.eax;
    StartupSettings.directSoundNone = c.directSoundNone;
    logic.ApplySoundEnableRule();
    EXPECT_THAT(controls.calls,
                ElementsAre("invalidate sound area", "enable 1005=" + std::to_string(c.locDefer),
                            "enable 1007=" + std::to_string(c.software),
                            "enable 1009=" + std::to_string(c.reverb)));
}

INSTANTIATE_TEST_SUITE_P(
    DirectXAndEax, SoundEnableRuleTest,
    ::testing::Values(
        SoundCase{0, 0, 0, false, true, false}, SoundCase{0x601, 0, 0, false, true, false},
        SoundCase{0x601, 1, 0, false, true, true}, SoundCase{0x700, 0, 0, true, true, false},
        SoundCase{0x700, 1, 0, true, true, true}, SoundCase{0x700, 2, 0, true, true, true},
        SoundCase{0x800, 2, 0, true, true, true},
        // Compared as a signed number: a value with the top bit is below DirectX 7.
        SoundCase{static_cast<std::int32_t>(0x80000700), 1, 0, false, true, true},
        SoundCase{0x700, 2, 1, false, false, false}, SoundCase{0, 0, 1, false, false, false}));

// --- The two buttons --------------------------------------------------------------------------

TEST_F(StartingOptionsTest, StandardSetupRestoresDefaultsButKeepsTheMusicAndRefreshesThePage) {
    StartupSettings = {};
    StartupSettings.musicInstrument = 3;
    StartupSettings.frameDesign = 1;
    StartupSettings.bufferSoftware = 1;
    StartupSettings.directSoundNone = 1;
    controls.currentPageRefresh = [this] { logic.Refresh(); };
    Command(1000);

    StartupSettingsRecord expected = {};
    SetDefaultSettings();
    expected = StartupSettings; // DirectX 7: dynamic voice management on
    expected.musicInstrument = 3;
    EXPECT_EQ(std::memcmp(&StartupSettings, &expected, sizeof expected), 0);
    EXPECT_EQ(StartupSettings.musicInstrument, 3u);
    EXPECT_EQ(StartupSettings.bufferLocDefer, 1);

    const Calls expectedCalls =
        Concat({{"changed", "refresh current page"},
                ChecksOf(expected),
                {"invalidate sound area", "enable 1005=1", "enable 1007=1", "enable 1009=1",
                 "count 1010", "select 1010=1", "count 1014", "select 1014=0"}});
    EXPECT_THAT(controls.calls, ElementsAreArray(expectedCalls));
}

TEST_F(StartingOptionsTest, StandardSetupWithNoBoundPageOnlyReports) {
    StartupSettings.joystick = 0;
    Command(1000);
    EXPECT_THAT(controls.calls, ElementsAre("changed", "refresh current page"));
    EXPECT_EQ(StartupSettings.joystick, 1);
}

TEST_F(StartingOptionsTest, DiagnosticToolButtonLaunchesTheToolAndChangesNothing) {
    const StartupSettingsRecord before = StartupSettings;
    EXPECT_EQ(Command(1001), 0);
    EXPECT_THAT(controls.calls, ElementsAre("launch diagnostic tool"));
    EXPECT_EQ(std::memcmp(&StartupSettings, &before, sizeof before), 0);
}

TEST_F(StartingOptionsTest, IdsWithoutARoleDoNothing) {
    const StartupSettingsRecord before = StartupSettings;
    for (int id : {0, 999, 1002, 1003, 1011, 1012, 1013, 1018, 2000, 65535, -1}) {
        EXPECT_EQ(Command(id), 0) << id;
        EXPECT_EQ(Command(id, CbnSelChange), 0) << id;
    }
    EXPECT_THAT(controls.calls, IsEmpty());
    EXPECT_EQ(std::memcmp(&StartupSettings, &before, sizeof before), 0);
}

// --- The combo boxes --------------------------------------------------------------------------

TEST_F(StartingOptionsTest, PickingAMusicItemStoresItsIndexAndReports) {
    InstallSets({"Organ", "Chip"});
    controls.combos[1010].texts.push_back("Organ");
    controls.combos[1010].texts.push_back("Chip");
    controls.combos[1010].selection = 3;
    EXPECT_EQ(Command(1010, CbnSelChange), 0);
    EXPECT_EQ(StartupSettings.musicInstrument, 3u);
    EXPECT_THAT(controls.calls,
                ElementsAre("get selection 1010", "count 1010", "select 1010=3", "changed"));
}

TEST_F(StartingOptionsTest, PickingAFrameDesignStoresItsIndexAndReports) {
    controls.combos[1014].selection = 1;
    Command(1014, CbnSelChange);
    EXPECT_EQ(StartupSettings.frameDesign, 1u);
    EXPECT_THAT(controls.calls,
                ElementsAre("get selection 1014", "count 1014", "select 1014=1", "changed"));
}

TEST_F(StartingOptionsTest, OtherComboNotificationsChangeAndReportNothing) {
    controls.combos[1010].selection = 0;
    controls.combos[1014].selection = 1;
    for (int code : {0, 2, 3, 4, 5, 6, CbnDropDown, 8, CbnSelEndOk, 10}) {
        Command(1010, code);
        Command(1014, code);
    }
    EXPECT_THAT(controls.calls, IsEmpty());
    EXPECT_EQ(StartupSettings.musicInstrument, 1u);
    EXPECT_EQ(StartupSettings.frameDesign, 0u);
}

TEST_F(StartingOptionsTest, AMissingComboKeepsTheFieldButStillReports) {
    controls.missing.insert(1014);
    StartupSettings.frameDesign = 1;
    EXPECT_TRUE(ReadComboSelection(controls, CbnSelChange, 1014, &StartupSettings.frameDesign));
    EXPECT_EQ(StartupSettings.frameDesign, 1u);

    controls.calls.clear();
    Command(1014, CbnSelChange);
    EXPECT_EQ(StartupSettings.frameDesign, 1u);
    EXPECT_THAT(controls.calls, ElementsAre("count 1014", "select 1014=1", "changed"));
}

TEST_F(StartingOptionsTest, ReadComboSelectionAnswersOnlyForASelectionChange) {
    std::uint32_t field = 7;
    controls.combos[1010].selection = 1;
    EXPECT_FALSE(ReadComboSelection(controls, CbnDropDown, 1010, &field));
    EXPECT_EQ(field, 7u);
    EXPECT_TRUE(ReadComboSelection(controls, CbnSelChange, 1010, &field));
    EXPECT_EQ(field, 1u);
    // Nothing selected reads as CB_ERR, stored as it comes.
    controls.combos[1010].selection = -1;
    EXPECT_TRUE(ReadComboSelection(controls, CbnSelChange, 1010, &field));
    EXPECT_EQ(field, 0xFFFFFFFFu);
}

TEST_F(StartingOptionsTest, ValuesBeyondTheListShowTheLastItemAndStayAsTheyAre) {
    StartupSettings.frameDesign = 2;
    logic.SelectFrameDesignItem();
    EXPECT_THAT(controls.calls, ElementsAre("count 1014", "select 1014=1"));
    EXPECT_EQ(controls.combos[1014].selection, 1);
    EXPECT_EQ(StartupSettings.frameDesign, 2u);

    controls.calls.clear();
    StartupSettings.musicInstrument = 9;
    logic.SelectMusicItem();
    EXPECT_THAT(controls.calls, ElementsAre("count 1010", "select 1010=1"));
    EXPECT_EQ(StartupSettings.musicInstrument, 9u);
}

TEST_F(StartingOptionsTest, SelectionIsTakenAsASignedValueAndAnEmptyListIsNotClamped) {
    StartupSettings.musicInstrument = 0xFFFFFFFF;
    logic.SelectMusicItem();
    EXPECT_THAT(controls.calls, ElementsAre("count 1010", "select 1010=-1"));

    controls.calls.clear();
    controls.combos.erase(1014);
    StartupSettings.frameDesign = 5;
    logic.SelectFrameDesignItem();
    EXPECT_THAT(controls.calls, ElementsAre("count 1014", "select 1014=5"));
}

TEST_F(StartingOptionsTest, FillComboAddsEachRowThenItsValue) {
    const ComboChoice table[] = {{"A", 7}, {"B", 9}, {"C", 11}};
    FillCombo(controls, 1, table, 3);
    EXPECT_THAT(controls.calls, ElementsAre("add 1 A", "data 1[0]=7", "add 1 B", "data 1[1]=9",
                                            "add 1 C", "data 1[2]=11"));
    controls.calls.clear();
    FillCombo(controls, 1, table, 0);
    FillCombo(controls, 1, table, -1);
    EXPECT_THAT(controls.calls, IsEmpty());
}

// --- Initialisation and Refresh ---------------------------------------------------------------

class InitDialogTest : public StartingOptionsTest {
  protected:
    void SetUp() override {
        StartingOptionsTest::SetUp();
        controls.combos.clear();
    }
    Calls MusicFill(const std::vector<std::string>& names) {
        Calls calls;
        for (std::size_t i = 0; i < names.size(); ++i) {
            calls.push_back("add 1010 " + names[i]);
            calls.push_back("data 1010[" + std::to_string(i) + "]=" + std::to_string(i));
        }
        return calls;
    }
    Calls FrameFill() {
        return {"add 1014 New Design", "data 1014[0]=0", "add 1014 Old Design", "data 1014[1]=1"};
    }
};

TEST_F(InitDialogTest, WithoutSetsTheMusicListHoldsNoneAndWave) {
    EaxLevel = 0;
    DirectXVersion = 0x600;
    StartupSettings.bufferLocDefer = 1;
    EXPECT_EQ(logic.OnInitDialog(), 0);
    const Calls expected =
        Concat({MusicFill({"NONE", "WAVE"}),
                {"show 1009=0"},
                FrameFill(),
                ChecksOf(StartupSettings),
                {"invalidate sound area", "enable 1005=0", "enable 1007=1", "enable 1009=0",
                 "count 1010", "select 1010=1", "count 1014", "select 1014=0"}});
    EXPECT_THAT(controls.calls, ElementsAreArray(expected));
    EXPECT_THAT(controls.combos[1010].texts, ElementsAre("NONE", "WAVE"));
}

TEST_F(InitDialogTest, TheSetsFoundFollowNoneAndWaveWithTheirMusicValues) {
    InstallSets({"Hall Organ", "Chip Voices"});
    StartupSettings.musicInstrument = 3;
    logic.OnInitDialog();
    const Calls fill = MusicFill({"NONE", "WAVE", "Hall Organ", "Chip Voices"});
    ASSERT_GE(controls.calls.size(), fill.size() + 1);
    EXPECT_TRUE(std::equal(fill.begin(), fill.end(), controls.calls.begin()));
    EXPECT_EQ(controls.calls[fill.size()], "show 1009=1");
    EXPECT_THAT(controls.combos[1010].data, ElementsAre(0u, 1u, 2u, 3u));
    EXPECT_EQ(controls.combos[1010].selection, 3);
}

TEST_F(InitDialogTest, FourSetsFillAllSixRows) {
    InstallSets({"One", "Two", "Three", "Four", "Five"});
    logic.OnInitDialog();
    EXPECT_THAT(controls.combos[1010].texts,
                ElementsAre("NONE", "WAVE", "One", "Two", "Three", "Four"));
    EXPECT_THAT(controls.combos[1010].data, ElementsAre(0u, 1u, 2u, 3u, 4u, 5u));
}

TEST_F(InitDialogTest, AStoredFrameDesignOfTwoShowsOldDesign) {
    StartupSettings.frameDesign = 2;
    logic.OnInitDialog();
    EXPECT_EQ(controls.combos[1014].selection, 1);
    EXPECT_EQ(controls.combos[1014].texts[1], "Old Design");
    EXPECT_EQ(StartupSettings.frameDesign, 2u);
}

TEST_F(StartingOptionsTest, RefreshSetsNineChecksInOrderThenTheRuleThenTheCombos) {
    StartupSettings.aviMovie = 0;
    StartupSettings.joystick = 1;
    StartupSettings.connectDirect = 1;
    StartupSettings.bloodEffect = 0;
    StartupSettings.timeDisplay = 1;
    StartupSettings.bufferLocDefer = 0;
    StartupSettings.bufferSoftware = 1;
    StartupSettings.directSoundNone = 1;
    StartupSettings.reverbEffect = 0;
    StartupSettings.musicInstrument = 0;
    StartupSettings.frameDesign = 1;
    EXPECT_EQ(logic.Refresh(), 0);
    EXPECT_THAT(controls.calls,
                ElementsAre("check 1004=0", "changed", "check 1008=1", "changed", "check 1017=1",
                            "changed", "check 1016=0", "changed", "check 1015=1", "changed",
                            "check 1005=0", "changed", "check 1007=1", "changed", "check 1006=1",
                            "changed", "check 1009=0", "changed", "invalidate sound area",
                            "enable 1005=0", "enable 1007=0", "enable 1009=0", "count 1010",
                            "select 1010=0", "count 1014", "select 1014=1"));
}

} // namespace
