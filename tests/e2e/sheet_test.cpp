// The property sheet as the player meets it: its caption, tab and controls, the option
// interlocks, the music and frame lists, and the three ways out, each checked against what the
// games will read from the registry.
#include "harness/KestProcess.h"
#include "harness/Registry.h"
#include "harness/Sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace {

struct ControlSeen {
    int id;
    const char* text;
    bool visible;
};

// Template order. The group boxes only lend their rectangles to the painting.
const ControlSeen PageControls[] = {
    {1000, "Standard Setup (&D)", true},
    {1001, "DirectX Diagnostic Tool (&X)", true},
    {1004, "Enable all AVI movies (&M)", true},
    {1013, "Frame Style", true},
    {1012, "Frame Style", false},
    {1014, "", true},
    {1008, "Enable joystick (&J)", true},
    {1016, "Blood FX (&B)", true},
    {1015, "Time Display (&T)", true},
    {1017, "Start Kest II after clearing Kest I without seeing end credits (&C)", true},
    {1003, "Sound", true},
    {1002, "Sound", false},
    {65535, "BGM", true},
    {1010, "", true},
    {1005, "Use Dynamic Voice Management (via DirectX7) (&V)", true},
    {1007, "Sound effects are buffered through software (&S)", true},
    {1006, "DirectSound is not used (&N)", true},
    // Wine's sound device offers no EAX, so the EAX option is hidden.
    {1009, "EAX 1.0/2.0 (&E)", false},
};

class SheetTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    // Starts the program and waits for its sheet.
    void Start() {
        program = std::make_unique<KestProcess>(folder.ProgramPath());
        sheet = std::make_unique<Sheet>(*program);
        ASSERT_TRUE(sheet->Ready()) << program->DebugText();
    }

    // Presses a button of the sheet and expects the program to end normally without a box.
    void PressAndExpectExit(int psbtn) {
        sheet->Press(psbtn);
        ASSERT_TRUE(program->WaitForExit()) << program->DebugText();
        EXPECT_EQ(program->ExitCode(), 0u);
    }

    std::uint32_t Stored(const char* name) {
        const auto value = ReadValue(name);
        EXPECT_TRUE(value.has_value()) << name;
        return value ? value->AsDword() : 0xDEADBEEF;
    }

    // Waits until the program has written a value (Apply saves while the sheet stays).
    bool WaitForStored(const char* name, std::uint32_t expected) {
        for (int i = 0; i < 100; ++i) {
            const auto value = ReadValue(name);
            if (value && value->AsDword() == expected)
                return true;
            Sleep(50);
        }
        return false;
    }

    void ExpectMarks(const std::map<int, bool>& marks) {
        for (const auto& [id, checked] : marks)
            EXPECT_EQ(sheet->Checked(id), checked) << id;
    }

    void AddSet(const std::string& directory, const std::string& name) {
        folder.MakeFolder("MIDI\\" + directory);
        folder.WriteFile("MIDI\\" + directory + "\\program.txt",
                         "instrument \"" + name + "\"\r\n1 \"bank.dls\"\r\n");
    }

    ScratchFolder folder;
    std::unique_ptr<KestProcess> program;
    std::unique_ptr<Sheet> sheet;
};

TEST_F(SheetTest, ShowsItsCaptionTabAndEveryControlOfThePage) {
    Start();
    EXPECT_EQ(sheet->Caption(), "Kest I&II OMNIVA Setup");
    EXPECT_EQ(sheet->TabText(), "Starting Options");
    for (int button : {IDOK, IDCANCEL, 0x3021 /* Apply */}) {
        EXPECT_NE(sheet->Button(button), nullptr) << button;
        EXPECT_TRUE(IsWindowVisible(sheet->Button(button))) << button;
    }

    // The page's controls follow the template's order, which is also the tab order.
    HWND previous = nullptr;
    for (const ControlSeen& control : PageControls) {
        SCOPED_TRACE(control.id);
        HWND window = sheet->Control(control.id);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(sheet->Text(control.id), control.text);
        EXPECT_EQ(sheet->Visible(control.id), control.visible);
        if (previous) {
            EXPECT_EQ(GetWindow(previous, GW_HWNDNEXT), window);
        }
        previous = window;
    }

    // A fresh account: the defaults, with Wine's DirectX 7 level and no EAX.
    ExpectMarks({{1004, true},
                 {1008, true},
                 {1016, true},
                 {1015, false},
                 {1017, false},
                 {1005, true},
                 {1007, false},
                 {1006, false},
                 {1009, true}});
    for (int id : {1000, 1001, 1004, 1008, 1016, 1015, 1017, 1010, 1014, 1005, 1007, 1006})
        EXPECT_TRUE(sheet->Enabled(id)) << id;
    EXPECT_FALSE(sheet->Enabled(1009));
    EXPECT_EQ(sheet->ComboItems(1014), (std::vector<std::string>{"New Design", "Old Design"}));
    EXPECT_EQ(sheet->ComboSelection(1014), 0);
    EXPECT_EQ(sheet->ComboItems(1010), (std::vector<std::string>{"NONE", "WAVE"}));
    EXPECT_EQ(sheet->ComboSelection(1010), 0);
    EXPECT_EQ(program->DebugText().find("Bitmap::LoadFromResource"), std::string::npos)
        << program->DebugText();

    PressAndExpectExit(PSBTN_CANCEL);
    EXPECT_TRUE(ValueNames().empty());
}

TEST_F(SheetTest, OkSavesWhatThePlayerChangedAndEndsTheProgram) {
    StoreDword("Connect Kest2 direct", 0);
    Start();
    sheet->Click(1004);
    sheet->Click(1017);
    sheet->Click(1015);
    sheet->Select(1014, 1);
    ExpectMarks({{1004, false}, {1017, true}, {1015, true}});
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(ValueNames().size(), 11u);
    EXPECT_EQ(Stored("AVI movie"), 0u);
    EXPECT_EQ(Stored("Connect Kest2 direct"), 1u);
    EXPECT_EQ(Stored("Mirel's clock"), 1u);
    EXPECT_EQ(Stored("Frame design"), 1u);
    EXPECT_EQ(Stored("Joystick"), 1u);
    EXPECT_EQ(Stored("Bloody effect"), 1u);
}

TEST_F(SheetTest, ApplySavesAndStaysThenCancelKeepsWhatApplySaved) {
    Start();
    sheet->Click(1008);
    sheet->Press(PSBTN_APPLYNOW);
    ASSERT_TRUE(WaitForStored("Joystick", 0));
    EXPECT_TRUE(IsWindow(sheet->Window()));
    EXPECT_FALSE(program->Exited());
    EXPECT_EQ(Stored("Bloody effect"), 1u);

    sheet->Click(1016);
    EXPECT_FALSE(sheet->Checked(1016));
    PressAndExpectExit(PSBTN_CANCEL);
    EXPECT_EQ(Stored("Joystick"), 0u);
    EXPECT_EQ(Stored("Bloody effect"), 1u);
}

TEST_F(SheetTest, CancelAloneSavesNothing) {
    Start();
    sheet->Click(1004);
    sheet->Click(1006);
    PressAndExpectExit(PSBTN_CANCEL);
    EXPECT_TRUE(ValueNames().empty());
}

TEST_F(SheetTest, TheCloseBoxEndsWithoutSaving) {
    Start();
    sheet->Click(1008);
    PostMessageA(sheet->Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program->WaitForExit());
    EXPECT_EQ(program->ExitCode(), 0u);
    EXPECT_TRUE(ValueNames().empty());
}

TEST_F(SheetTest, TheHiddenEaxOptionIsStillSavedAndStillClearedBySoftwareBuffers) {
    StoreDword("Reverb sound effect", 1);
    Start();
    EXPECT_FALSE(sheet->Visible(1009));
    EXPECT_TRUE(sheet->Checked(1009));
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("Reverb sound effect"), 1u);

    Start();
    sheet->Click(1007);
    EXPECT_FALSE(sheet->Checked(1009));
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("Reverb sound effect"), 0u);
    EXPECT_EQ(Stored("DirectSoundBuffer software"), 1u);
}

TEST_F(SheetTest, SoftwareBuffersExcludeTheOtherTwoOptions) {
    StoreDword("DirectSoundBuffer locdefer", 1);
    StoreDword("Reverb sound effect", 1);
    StoreDword("DirectSoundBuffer software", 0);
    Start();
    ExpectMarks({{1005, true}, {1007, false}, {1009, true}});
    sheet->Click(1007);
    ExpectMarks({{1005, false}, {1007, true}, {1009, false}});
    sheet->Click(1007);
    ExpectMarks({{1005, false}, {1007, false}, {1009, false}});
    // Dynamic voice management turns software buffers off again.
    sheet->Click(1007);
    sheet->Click(1005);
    ExpectMarks({{1005, true}, {1007, false}, {1009, false}});
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("DirectSoundBuffer locdefer"), 1u);
    EXPECT_EQ(Stored("DirectSoundBuffer software"), 0u);
    EXPECT_EQ(Stored("Reverb sound effect"), 0u);
}

TEST_F(SheetTest, NoDirectSoundDisablesTheThreeOptionsAndKeepsTheirMarks) {
    StoreDword("DirectSoundBuffer locdefer", 1);
    StoreDword("Reverb sound effect", 1);
    Start();
    sheet->Click(1006);
    EXPECT_TRUE(sheet->Checked(1006));
    for (int id : {1005, 1007, 1009})
        EXPECT_FALSE(sheet->Enabled(id)) << id;
    ExpectMarks({{1005, true}, {1007, false}, {1009, true}});

    sheet->Click(1006);
    EXPECT_FALSE(sheet->Checked(1006));
    EXPECT_TRUE(sheet->Enabled(1005));
    EXPECT_TRUE(sheet->Enabled(1007));
    EXPECT_FALSE(sheet->Enabled(1009)) << "no EAX on Wine's device";
    sheet->Click(1006);
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("DirectSound none"), 1u);
    EXPECT_EQ(Stored("DirectSoundBuffer locdefer"), 1u);
    EXPECT_EQ(Stored("Reverb sound effect"), 1u);
}

TEST_F(SheetTest, BelowDirectX7DynamicVoiceManagementIsDisabledButShowsItsStoredMark) {
    WineVersionOverride nt40("nt40");
    StoreDword("DirectSoundBuffer locdefer", 1);
    Start();
    EXPECT_FALSE(sheet->Enabled(1005));
    EXPECT_TRUE(sheet->Checked(1005));
    EXPECT_TRUE(sheet->Enabled(1007));
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("DirectSoundBuffer locdefer"), 1u);
}

TEST_F(SheetTest, TheMusicListOffersTheSetsFoundAfterNoneAndWave) {
    AddSet("Organ", "Hall Organ");
    AddSet("Chips", "Chip Voices");
    StoreDword("Music instrument", 3);
    Start();
    std::vector<std::string> items = sheet->ComboItems(1010);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], "NONE");
    EXPECT_EQ(items[1], "WAVE");
    // The sets come in the order the folder search finds them.
    std::vector<std::string> sets(items.begin() + 2, items.end());
    std::sort(sets.begin(), sets.end());
    EXPECT_EQ(sets, (std::vector<std::string>{"Chip Voices", "Hall Organ"}));
    EXPECT_EQ(sheet->ComboSelection(1010), 3);

    sheet->Select(1010, 2);
    EXPECT_EQ(sheet->ComboSelection(1010), 2);
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("Music instrument"), 2u);
}

TEST_F(SheetTest, AFrameDesignBeyondTheListShowsOldDesignAndIsSavedAsStored) {
    StoreDword("Frame design", 2);
    Start();
    EXPECT_EQ(sheet->ComboSelection(1014), 1);
    PressAndExpectExit(PSBTN_OK);
    EXPECT_EQ(Stored("Frame design"), 2u);
}

TEST_F(SheetTest, StandardSetupRestoresTheDefaultsButKeepsTheMusicChoice) {
    const std::pair<const char*, std::uint32_t> stored[] = {{"Music instrument", 1},
                                                            {"Frame design", 1},
                                                            {"Connect Kest2 direct", 1},
                                                            {"Joystick", 0},
                                                            {"AVI movie", 0},
                                                            {"DirectSoundBuffer locdefer", 0},
                                                            {"Reverb sound effect", 0},
                                                            {"DirectSoundBuffer software", 1},
                                                            {"DirectSound none", 1},
                                                            {"Bloody effect", 0},
                                                            {"Mirel's clock", 1}};
    for (const auto& [name, value] : stored)
        StoreDword(name, value);
    Start();
    ExpectMarks({{1004, false},
                 {1008, false},
                 {1016, false},
                 {1015, true},
                 {1017, true},
                 {1005, false},
                 {1007, true},
                 {1006, true},
                 {1009, false}});
    EXPECT_FALSE(sheet->Enabled(1007));

    sheet->Click(1000);
    ExpectMarks({{1004, true},
                 {1008, true},
                 {1016, true},
                 {1015, false},
                 {1017, false},
                 {1005, true},
                 {1007, false},
                 {1006, false},
                 {1009, true}});
    EXPECT_TRUE(sheet->Enabled(1005));
    EXPECT_TRUE(sheet->Enabled(1007));
    EXPECT_EQ(sheet->ComboSelection(1014), 0);
    EXPECT_EQ(sheet->ComboSelection(1010), 1);

    PressAndExpectExit(PSBTN_OK);
    const std::pair<const char*, std::uint32_t> saved[] = {{"Music instrument", 1},
                                                           {"Frame design", 0},
                                                           {"Connect Kest2 direct", 0},
                                                           {"Joystick", 1},
                                                           {"AVI movie", 1},
                                                           {"DirectSoundBuffer locdefer", 1},
                                                           {"Reverb sound effect", 1},
                                                           {"DirectSoundBuffer software", 0},
                                                           {"DirectSound none", 0},
                                                           {"Bloody effect", 1},
                                                           {"Mirel's clock", 0}};
    for (const auto& [name, value] : saved)
        EXPECT_EQ(Stored(name), value) << name;
}

} // namespace
