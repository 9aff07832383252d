// Registry data the program never writes itself: every stored value of the wrong type and of
// every awkward length, carried through the start-up steps that read it (defaults, load, the
// instrument-set clamp, the page) and the save that follows OK; and a settings key that cannot
// be created or opened at all.
#include "fakes/MemoryFiles.h"
#include "fakes/MemoryRegistry.h"
#include "fakes/RecordingControls.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"
#include "ui/StartingOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t RegTypeExpandSz = 2;
constexpr std::uint32_t RegTypeQword = 11;

struct OddType {
    std::uint32_t type;
    const char* name;
};
const OddType OddTypes[] = {{RegTypeSz, "REG_SZ"},
                            {RegTypeExpandSz, "REG_EXPAND_SZ"},
                            {RegTypeQword, "REG_QWORD"},
                            {RegTypeBinary, "REG_BINARY"}};
const std::size_t OddSizes[] = {0, 1, 3, 5, 8};

// Page controls of the nine flags, in the record's field order.
struct FlagControl {
    std::uint8_t StartupSettingsRecord::*flag;
    int id;
};
const FlagControl FlagControls[] = {
    {&StartupSettingsRecord::connectDirect, 1017},  {&StartupSettingsRecord::reverbEffect, 1009},
    {&StartupSettingsRecord::aviMovie, 1004},       {&StartupSettingsRecord::directSoundNone, 1006},
    {&StartupSettingsRecord::bufferSoftware, 1007}, {&StartupSettingsRecord::bufferLocDefer, 1005},
    {&StartupSettingsRecord::joystick, 1008},       {&StartupSettingsRecord::timeDisplay, 1015},
    {&StartupSettingsRecord::bloodEffect, 1016},
};

std::uint32_t Field(const StartupSettingsRecord& record, const StoredSetting& setting) {
    return setting.index ? record.*setting.index : record.*setting.flag;
}

// Type and bytes of every value under every key.
bool SameStore(const std::map<std::string, MemoryRegistry::Key>& a,
               const std::map<std::string, MemoryRegistry::Key>& b) {
    auto flatten = [](const std::map<std::string, MemoryRegistry::Key>& keys) {
        std::vector<std::tuple<std::string, std::string, std::uint32_t, std::vector<std::uint8_t>>>
            all;
        for (const auto& [key, values] : keys)
            for (const auto& [name, value] : values)
                all.emplace_back(key, name, value.type, value.data);
        return all;
    };
    return a.size() == b.size() && flatten(a) == flatten(b);
}

std::uint32_t LittleEndian(const std::vector<std::uint8_t>& data) {
    std::uint32_t number = 0;
    for (std::size_t i = data.size(); i-- > 0;)
        number = number << 8 | data[i];
    return number;
}

class OddStoredValue : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        std::copy(std::begin(MusicChoices), std::end(MusicChoices), savedChoices_);
        DirectXVersion = 0x700;
        EaxLevel = 0;
        // Four sets, so that a stored music choice of up to 5 stands.
        for (int i = 0; i < 4; ++i)
            files.AddSet("set" + std::to_string(i),
                         "instrument \"Set " + std::to_string(i) + "\"\n");
    }
    void TearDown() override {
        std::copy(std::begin(savedChoices_), std::end(savedChoices_), MusicChoices);
        FreeInstrumentSets();
        StartupSettings = {};
        DirectXVersion = 0;
    }

    // What the program holds before the registry is read: zero, then the defaults.
    static StartupSettingsRecord Defaults() {
        StartupSettings = {};
        SetDefaultSettings();
        return StartupSettings;
    }

    // Start-up as far as the page, with this registry.
    void StartUp(MemoryRegistry& registry, RecordingControls& controls) {
        StartupSettings = {};
        SetDefaultSettings();
        LoadSettings(registry);
        RebuildInstrumentSets(files, files);
        StartingOptionsLogic logic(controls, controls);
        logic.OnInitDialog();
    }

    // The page shows the record: every mark, and the item of each list.
    static void ExpectPageShows(const RecordingControls& controls,
                                const StartupSettingsRecord& record) {
        for (const FlagControl& control : FlagControls) {
            const auto mark = controls.checks.find(control.id);
            ASSERT_NE(mark, controls.checks.end()) << control.id;
            EXPECT_EQ(mark->second, record.*control.flag) << control.id;
        }
        EXPECT_EQ(controls.combos.at(1010).selection,
                  static_cast<int>(std::min<std::uint32_t>(record.musicInstrument, 5)));
        EXPECT_EQ(controls.combos.at(1014).selection,
                  static_cast<int>(std::min<std::uint32_t>(record.frameDesign, 1)));
    }

    MemoryFiles files;

  private:
    ComboChoice savedChoices_[6];
};

TEST_P(OddStoredValue, ShortDataLoadsAsANumberLongDataKeepsTheDefaultAndOkWritesElevenDwords) {
    const StoredSetting& odd = StoredSettings[GetParam()];
    const StartupSettingsRecord defaults = Defaults();

    for (const OddType& type : OddTypes) {
        for (const std::size_t size : OddSizes) {
            SCOPED_TRACE(std::string(odd.valueName) + " as " + type.name + " of " +
                         std::to_string(size) + " bytes");
            // The first byte turns bit 0 away from the default, so a flag read from short
            // data shows; the others give an index a number the clamp and the lists keep.
            const std::uint8_t first = (Field(defaults, odd) & 1) ? 0x02 : 0x03;
            const std::vector<std::uint8_t> pattern = {first, 0x01, 0x02, 0x40,
                                                       0x55,  0x66, 0x77, 0x11};
            const std::vector<std::uint8_t> data(pattern.begin(), pattern.begin() + size);

            // Every other value is a proper REG_DWORD away from its default, and must load.
            MemoryRegistry registry;
            StartupSettingsRecord expected = defaults;
            for (const StoredSetting& setting : StoredSettings) {
                if (&setting == &odd)
                    continue;
                const std::uint32_t other = setting.index ? 1 : (Field(defaults, setting) ^ 1);
                registry.PutDword(SettingsKeyPath, setting.valueName, other);
                if (setting.index)
                    expected.*setting.index = other;
                else
                    expected.*setting.flag = static_cast<std::uint8_t>(other);
            }
            registry.Put(SettingsKeyPath, odd.valueName, type.type, data.data(), data.size());
            if (size <= 4) {
                const std::uint32_t number = LittleEndian(data);
                if (odd.index)
                    expected.*odd.index = number;
                else
                    expected.*odd.flag = static_cast<std::uint8_t>(number & 1);
            }
            // Four sets offer choices up to 5.
            expected.musicInstrument = std::min<std::uint32_t>(expected.musicInstrument, 5);

            RecordingControls controls;
            StartUp(registry, controls);
            for (const StoredSetting& setting : StoredSettings)
                EXPECT_EQ(Field(StartupSettings, setting), Field(expected, setting))
                    << setting.valueName;
            ExpectPageShows(controls, expected);

            SaveSettings(registry);
            const auto& values =
                registry.keys.at(MemoryRegistry::KeyName(HkeyCurrentUser, SettingsKeyPath));
            EXPECT_EQ(values.size(), 11u);
            for (const StoredSetting& setting : StoredSettings) {
                const MemoryRegistry::Value* saved =
                    registry.Find(SettingsKeyPath, setting.valueName);
                ASSERT_NE(saved, nullptr) << setting.valueName;
                EXPECT_EQ(saved->type, RegTypeDword) << setting.valueName;
                EXPECT_EQ(saved->data.size(), 4u) << setting.valueName;
                EXPECT_EQ(LittleEndian(saved->data), Field(expected, setting)) << setting.valueName;
            }
            EXPECT_EQ(registry.OpenHandles(), 0u);
            FreeInstrumentSets();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryValue, OddStoredValue, ::testing::Range(0, 11),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name = StoredSettings[info.param].valueName;
                             name.erase(std::remove_if(name.begin(), name.end(),
                                                       [](char c) { return !std::isalnum(c); }),
                                        name.end());
                             return name;
                         });

// The key exists with the player's values, but the program may neither create nor open it:
// the page shows the defaults, and OK writes nothing over the values kept there.
TEST_F(OddStoredValue, ADeniedKeyLeavesTheDefaultsOnThePageAndOkWritesNothing) {
    const StartupSettingsRecord defaults = Defaults();
    MemoryRegistry registry;
    for (const StoredSetting& setting : StoredSettings)
        registry.PutDword(SettingsKeyPath, setting.valueName,
                          setting.index ? 1 : (Field(defaults, setting) ^ 1));
    const auto kept = registry.keys;
    registry.failCreate = true;
    registry.failOpen = true;

    RecordingControls controls;
    StartUp(registry, controls);
    for (const StoredSetting& setting : StoredSettings)
        EXPECT_EQ(Field(StartupSettings, setting), Field(defaults, setting)) << setting.valueName;
    ExpectPageShows(controls, defaults);

    SaveSettings(registry);
    SaveSettings(registry); // Apply, then OK
    EXPECT_TRUE(SameStore(registry.keys, kept));
    for (const std::string& call : registry.calls)
        EXPECT_EQ(call, std::string("create ") + SettingsKeyPath);
    EXPECT_EQ(registry.calls.size(), 3u);
}

// No key at all, and it cannot be made: nothing appears, before or after OK.
TEST_F(OddStoredValue, AKeyThatCannotBeMadeStaysAbsentThroughStartAndOk) {
    const StartupSettingsRecord defaults = Defaults();
    MemoryRegistry registry;
    registry.failCreate = true;
    RecordingControls controls;
    StartUp(registry, controls);
    ExpectPageShows(controls, defaults);
    SaveSettings(registry);
    EXPECT_TRUE(registry.keys.empty());
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

} // namespace
