// Long seeded runs of clicks and list picks on the "Starting Options" page, on machines with and
// without DirectX 7 and EAX and with up to six instrument sets: after every action the controls
// show the record, the DirectSound interlock holds once the player has touched it, every change
// is reported to the sheet, and a save at any moment writes what the page shows.
#include "fakes/MemoryFiles.h"
#include "fakes/MemoryRegistry.h"
#include "fakes/RecordingControls.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"
#include "ui/StartingOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <tuple>

namespace {

constexpr int BnClicked = 0;
constexpr int CbnDropDown = 7;
constexpr int CbnSelEndOk = 9;

struct CheckBox {
    int id;
    std::uint8_t StartupSettingsRecord::*flag;
};
const CheckBox CheckBoxes[] = {
    {1004, &StartupSettingsRecord::aviMovie},       {1008, &StartupSettingsRecord::joystick},
    {1017, &StartupSettingsRecord::connectDirect},  {1016, &StartupSettingsRecord::bloodEffect},
    {1015, &StartupSettingsRecord::timeDisplay},    {1005, &StartupSettingsRecord::bufferLocDefer},
    {1007, &StartupSettingsRecord::bufferSoftware}, {1006, &StartupSettingsRecord::directSoundNone},
    {1009, &StartupSettingsRecord::reverbEffect},
};

// Ids of the page that carry no option, and some that are not on it at all.
const int Inert[] = {1002, 1003, 1011, 1012, 1013, 65535, 999, 1018, 0};

auto Fields(const StartupSettingsRecord& r) {
    return std::make_tuple(r.connectDirect, r.reverbEffect, r.aviMovie, r.directSoundNone,
                           r.bufferSoftware, r.bufferLocDefer, r.joystick, r.timeDisplay,
                           r.bloodEffect, r.frameDesign, r.musicInstrument);
}

bool InterlockHolds(const StartupSettingsRecord& s) {
    return !(s.bufferSoftware && (s.bufferLocDefer || s.reverbEffect));
}

// One page from initialisation on, driven by one seed.
class PageSession {
  public:
    explicit PageSession(unsigned seed) : random_(seed) {}
    void Run();

  private:
    int Pick(int count) { return static_cast<int>(random_() % count); }

    // The controls show the record, and enable what the machine and the record allow.
    void ExpectPageShowsRecord() {
        const StartupSettingsRecord& s = StartupSettings;
        for (const CheckBox& box : CheckBoxes)
            ASSERT_EQ(controls.checks.at(box.id), s.*box.flag) << box.id;
        const bool sound = s.directSoundNone == 0;
        ASSERT_EQ(controls.enabled.at(1005), sound && DirectXVersion >= DirectX7);
        ASSERT_EQ(controls.enabled.at(1007), sound);
        ASSERT_EQ(controls.enabled.at(1009), sound && EaxLevel != 0);
        ASSERT_EQ(controls.shown.at(1009), EaxLevel != 0);
        const int musicItems = static_cast<int>(controls.combos[1010].texts.size());
        ASSERT_EQ(musicItems, 2 + GetInstrumentSetCount());
        ASSERT_EQ(controls.combos[1010].selection,
                  static_cast<int>(std::min<std::uint32_t>(s.musicInstrument, musicItems - 1)));
        ASSERT_EQ(controls.combos[1014].selection,
                  static_cast<int>(std::min<std::uint32_t>(s.frameDesign, 1)));
    }

    // Apply: every value written is the record's, and so what the page shows.
    void ExpectSaveWritesThePage() {
        SaveSettings(registry);
        for (const StoredSetting& setting : StoredSettings) {
            const MemoryRegistry::Value* value = registry.Find(SettingsKeyPath, setting.valueName);
            ASSERT_NE(value, nullptr);
            ASSERT_EQ(value->type, RegTypeDword);
            ASSERT_EQ(value->data.size(), 4u);
            std::uint32_t number = 0;
            for (std::size_t i = 4; i-- > 0;)
                number = number << 8 | value->data[i];
            const std::uint32_t field =
                setting.index ? StartupSettings.*setting.index : StartupSettings.*setting.flag;
            ASSERT_EQ(number, field) << setting.valueName;
        }
        for (const CheckBox& box : CheckBoxes) {
            const std::string name = [&] {
                for (const StoredSetting& setting : StoredSettings)
                    if (setting.flag == box.flag)
                        return std::string(setting.valueName);
                return std::string();
            }();
            ASSERT_EQ(registry.Find(SettingsKeyPath, name.c_str())->data[0],
                      controls.checks.at(box.id))
                << name;
        }
    }

    std::mt19937 random_;
    RecordingControls controls;
    StartingOptionsLogic logic{controls, controls};
    MemoryRegistry registry;
};

void PageSession::Run() {
    // A machine, a MIDI folder and a stored record, drawn from the seed. The record may hold
    // combinations the page would never make, as a hand-edited registry can.
    const std::int32_t versions[] = {0, 0x601, 0x700, 0x800};
    DirectXVersion = versions[Pick(4)];
    EaxLevel = Pick(3);
    MemoryFiles files;
    const int sets = Pick(7);
    for (int i = 0; i < sets; ++i)
        files.AddSet("set" + std::to_string(i), "instrument \"Set " + std::to_string(i) + "\"\n");
    StartupSettingsRecord& s = StartupSettings;
    s = {};
    for (const CheckBox& box : CheckBoxes)
        s.*box.flag = static_cast<std::uint8_t>(Pick(2));
    const std::uint32_t frames[] = {0, 1, 2, 7};
    s.frameDesign = frames[Pick(4)];
    s.musicInstrument = static_cast<std::uint32_t>(Pick(8));
    RebuildInstrumentSets(files, files);

    controls.currentPageRefresh = [this] { logic.Refresh(); };
    logic.OnInitDialog();
    ASSERT_NO_FATAL_FAILURE(ExpectPageShowsRecord());
    bool touched = InterlockHolds(s);

    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const auto before = Fields(s);
        controls.calls.clear();
        std::string action;
        switch (Pick(10)) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: {
            // A click reaches only a check box that is there to be clicked; the box turns its
            // own mark before the page hears of it.
            const CheckBox& box = CheckBoxes[Pick(9)];
            const bool enabled = controls.enabled.count(box.id) ? controls.enabled[box.id] : true;
            const bool shown = controls.shown.count(box.id) ? controls.shown[box.id] : true;
            if (!enabled || !shown)
                continue;
            action = "click " + std::to_string(box.id);
            controls.checks[box.id] ^= 1;
            ASSERT_EQ(logic.OnCommand(BnClicked, box.id), 0);
            if (box.id == 1005 || box.id == 1007 || box.id == 1009)
                touched = true;
            break;
        }
        case 5: {
            const int combo = Pick(2) ? 1010 : 1014;
            const int items = static_cast<int>(controls.combos[combo].texts.size());
            const int notification = Pick(4) ? CbnSelChange : (Pick(2) ? CbnDropDown : CbnSelEndOk);
            action = "pick " + std::to_string(combo) + " code " + std::to_string(notification);
            if (notification == CbnSelChange)
                controls.combos[combo].selection = Pick(items);
            ASSERT_EQ(logic.OnCommand(notification, combo), 0);
            break;
        }
        case 6:
            action = "standard setup";
            ASSERT_EQ(logic.OnCommand(BnClicked, 1000), 0);
            touched = true;
            break;
        case 7:
            action = "diagnostic tool";
            ASSERT_EQ(logic.OnCommand(BnClicked, 1001), 0);
            ASSERT_EQ(controls.calls, std::vector<std::string>{"launch diagnostic tool"});
            break;
        case 8:
            action = "inert control";
            ASSERT_EQ(logic.OnCommand(Pick(2) ? BnClicked : CbnSelChange, Inert[Pick(9)]), 0);
            ASSERT_TRUE(controls.calls.empty());
            break;
        default:
            // A system setting changed, or the sheet asked for the dialog's colours.
            action = "refresh";
            ASSERT_EQ(logic.Refresh(), 0);
            break;
        }
        SCOPED_TRACE(action);
        ASSERT_NO_FATAL_FAILURE(ExpectPageShowsRecord());
        if (touched) {
            ASSERT_TRUE(InterlockHolds(s));
        }
        if (Fields(s) != before) {
            ASSERT_NE(std::find(controls.calls.begin(), controls.calls.end(), "changed"),
                      controls.calls.end())
                << "a change the sheet never heard of leaves Apply off";
        }
        if (Pick(20) == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectSaveWritesThePage());
        }
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSaveWritesThePage());
}

class NothingLost : public ::testing::Test {
  protected:
    void SetUp() override {
        std::copy(std::begin(MusicChoices), std::end(MusicChoices), savedChoices_);
    }
    void TearDown() override {
        std::copy(std::begin(savedChoices_), std::end(savedChoices_), MusicChoices);
        FreeInstrumentSets();
        StartupSettings = {};
        DirectXVersion = 0;
        EaxLevel = 0;
    }

  private:
    ComboChoice savedChoices_[6];
};

TEST_F(NothingLost, EveryActionKeepsRecordAndControlsInStepAndTheInterlock) {
    // 120 pages of 400 actions each, the same on every run.
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        PageSession session(seed);
        ASSERT_NO_FATAL_FAILURE(session.Run());
    }
}

} // namespace
