#include "fakes/MemoryRegistry.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StartupSettings = {};
        DirectXVersion = 0x700;
    }
    MemoryRegistry registry;
};

// Field by field: the record has padding that memcmp would compare.
bool Same(const StartupSettingsRecord& a, const StartupSettingsRecord& b) {
    auto fields = [](const StartupSettingsRecord& r) {
        return std::make_tuple(r.connectDirect, r.reverbEffect, r.aviMovie, r.directSoundNone,
                               r.bufferSoftware, r.bufferLocDefer, r.joystick, r.timeDisplay,
                               r.bloodEffect, r.frameDesign, r.musicInstrument);
    };
    return fields(a) == fields(b);
}

std::uint32_t Stored(const MemoryRegistry& registry, const char* name) {
    const MemoryRegistry::Value* value = registry.Find(SettingsKeyPath, name);
    EXPECT_NE(value, nullptr) << name;
    if (!value)
        return 0xDEADBEEF;
    EXPECT_EQ(value->type, RegTypeDword) << name;
    EXPECT_EQ(value->data.size(), 4u) << name;
    std::uint32_t number = 0;
    for (std::size_t i = value->data.size(); i-- > 0;)
        number = number << 8 | value->data[i];
    return number;
}

TEST_F(SettingsTest, DefaultsFollowTheDirectXLevelForDynamicVoiceManagement) {
    struct Case {
        std::int32_t version;
        std::uint8_t locDefer;
    };
    for (const Case c : {Case{0, 0}, Case{0x601, 0}, Case{0x700, 1}, Case{0x800, 1}, Case{-1, 0}}) {
        DirectXVersion = c.version;
        StartupSettings.bufferLocDefer = 7;
        SetDefaultSettings();
        EXPECT_EQ(StartupSettings.bufferLocDefer, c.locDefer) << std::hex << c.version;
    }
    const StartupSettingsRecord& s = StartupSettings;
    EXPECT_EQ(s.connectDirect, 0);
    EXPECT_EQ(s.reverbEffect, 1);
    EXPECT_EQ(s.aviMovie, 1);
    EXPECT_EQ(s.directSoundNone, 0);
    EXPECT_EQ(s.bufferSoftware, 0);
    EXPECT_EQ(s.joystick, 1);
    EXPECT_EQ(s.timeDisplay, 0);
    EXPECT_EQ(s.bloodEffect, 1);
    EXPECT_EQ(s.frameDesign, 0u);
}

TEST_F(SettingsTest, DefaultsResetEverythingButTheMusicChoice) {
    StartupSettings = {1, 0, 0, 1, 1, 0, 0, 1, 0, 5, 3};
    SetDefaultSettings();
    EXPECT_EQ(StartupSettings.musicInstrument, 3u);
    EXPECT_EQ(StartupSettings.frameDesign, 0u);
    EXPECT_EQ(StartupSettings.connectDirect, 0);
    EXPECT_EQ(StartupSettings.bufferSoftware, 0);
}

TEST_F(SettingsTest, FirstLoadCreatesTheEmptyKeyAndKeepsTheDefaults) {
    SetDefaultSettings();
    const StartupSettingsRecord before = StartupSettings;
    LoadSettings(registry);
    EXPECT_EQ(registry.keys.count(MemoryRegistry::KeyName(HkeyCurrentUser, SettingsKeyPath)), 1u);
    EXPECT_TRUE(registry.keys.begin()->second.empty());
    EXPECT_TRUE(Same(before, StartupSettings));
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(SettingsTest, LoadKeepsBitZeroOfFlagsAndWholeIndices) {
    registry.PutDword(SettingsKeyPath, "Joystick", 2);
    registry.PutDword(SettingsKeyPath, "AVI movie", 3);
    registry.PutDword(SettingsKeyPath, "Bloody effect", 0xFFFFFFFE);
    registry.PutDword(SettingsKeyPath, "Frame design", 7);
    registry.PutDword(SettingsKeyPath, "Music instrument", 0xFFFFFFFF);
    SetDefaultSettings();
    LoadSettings(registry);
    EXPECT_EQ(StartupSettings.joystick, 0);
    EXPECT_EQ(StartupSettings.aviMovie, 1);
    EXPECT_EQ(StartupSettings.bloodEffect, 0);
    EXPECT_EQ(StartupSettings.frameDesign, 7u);
    EXPECT_EQ(StartupSettings.musicInstrument, 0xFFFFFFFFu);
}

TEST_F(SettingsTest, LoadReadsShortValuesAsNumbersAndSkipsLongOnes) {
    const std::uint8_t two[2] = {0x05, 0x01}; // 0x105
    const std::uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    registry.Put(SettingsKeyPath, "Frame design", RegTypeBinary, two, sizeof two);
    registry.Put(SettingsKeyPath, "Music instrument", RegTypeBinary, eight, sizeof eight);
    registry.Put(SettingsKeyPath, "Mirel's clock", RegTypeSz, "1", 2); // 0x31: bit 0 set
    registry.Put(SettingsKeyPath, "AVI movie", RegTypeSz, "0000", 5);  // too long: default
    StartupSettings.musicInstrument = 4;
    SetDefaultSettings();
    LoadSettings(registry);
    EXPECT_EQ(StartupSettings.frameDesign, 0x105u);
    EXPECT_EQ(StartupSettings.musicInstrument, 4u);
    EXPECT_EQ(StartupSettings.timeDisplay, 1);
    EXPECT_EQ(StartupSettings.aviMovie, 1);
}

TEST_F(SettingsTest, LoadKeepsBothSoundFlagsThePageWouldNeverCombine) {
    registry.PutDword(SettingsKeyPath, "DirectSoundBuffer software", 1);
    registry.PutDword(SettingsKeyPath, "DirectSoundBuffer locdefer", 1);
    SetDefaultSettings();
    LoadSettings(registry);
    EXPECT_EQ(StartupSettings.bufferSoftware, 1);
    EXPECT_EQ(StartupSettings.bufferLocDefer, 1);
}

TEST_F(SettingsTest, SaveWritesAllElevenValuesInTableOrder) {
    StartupSettings = {1, 0, 1, 0, 1, 0, 1, 0, 1, 2, 5};
    SaveSettings(registry);
    std::vector<std::string> sets;
    for (const std::string& call : registry.calls)
        if (call.rfind("set ", 0) == 0)
            sets.push_back(call.substr(4));
    const std::vector<std::string> expected = {"Music instrument",
                                               "Frame design",
                                               "Connect Kest2 direct",
                                               "Joystick",
                                               "AVI movie",
                                               "DirectSoundBuffer locdefer",
                                               "Reverb sound effect",
                                               "DirectSoundBuffer software",
                                               "DirectSound none",
                                               "Bloody effect",
                                               "Mirel's clock"};
    EXPECT_EQ(sets, expected);
    EXPECT_EQ(Stored(registry, "Music instrument"), 5u);
    EXPECT_EQ(Stored(registry, "Frame design"), 2u);
    EXPECT_EQ(Stored(registry, "Connect Kest2 direct"), 1u);
    EXPECT_EQ(Stored(registry, "Joystick"), 1u);
    EXPECT_EQ(Stored(registry, "AVI movie"), 1u);
    EXPECT_EQ(Stored(registry, "DirectSoundBuffer locdefer"), 0u);
    EXPECT_EQ(Stored(registry, "Reverb sound effect"), 0u);
    EXPECT_EQ(Stored(registry, "DirectSoundBuffer software"), 1u);
    EXPECT_EQ(Stored(registry, "DirectSound none"), 0u);
    EXPECT_EQ(Stored(registry, "Bloody effect"), 1u);
    EXPECT_EQ(Stored(registry, "Mirel's clock"), 0u);
    EXPECT_EQ(registry.calls.back().rfind("close", 0), 0u);
}

TEST_F(SettingsTest, AFailedWriteDoesNotStopTheOthers) {
    registry.failingWrites = {"Music instrument", "Joystick"};
    SetDefaultSettings();
    SaveSettings(registry);
    EXPECT_EQ(registry.Find(SettingsKeyPath, "Joystick"), nullptr);
    EXPECT_EQ(Stored(registry, "Mirel's clock"), 0u);
    EXPECT_EQ(registry.keys.begin()->second.size(), 9u);
}

TEST_F(SettingsTest, SaveThenLoadRoundTripsEveryField) {
    StartupSettings = {1, 0, 0, 1, 1, 1, 0, 1, 0, 1, 4};
    const StartupSettingsRecord saved = StartupSettings;
    SaveSettings(registry);
    StartupSettings = {};
    LoadSettings(registry);
    EXPECT_TRUE(Same(saved, StartupSettings));
}

TEST_F(SettingsTest, AKeyThatCannotBeCreatedLeavesDefaultsAndWritesNothing) {
    registry.failCreate = true;
    SetDefaultSettings();
    const StartupSettingsRecord before = StartupSettings;
    LoadSettings(registry);
    SaveSettings(registry);
    EXPECT_TRUE(Same(before, StartupSettings));
    EXPECT_TRUE(registry.keys.empty());
    const std::vector<std::string> expected = {std::string("create ") + SettingsKeyPath,
                                               std::string("create ") + SettingsKeyPath};
    EXPECT_EQ(registry.calls, expected);
}

} // namespace
