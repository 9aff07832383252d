// The contract with the games held against the program's option table, and the real load and
// save run over an in-memory registry.
#include "Contract.h"
#include "Doubles.h"

#include <gtest/gtest.h>

namespace {

const std::string Key = MemoryRegistry::Path(HkeyCurrentUser, SettingsKeyPath);

// Every field scrambled but the music choice, then the defaults for that DirectX level.
void Defaults(std::int32_t directX) {
    std::memset(&StartupSettings, 0xAB, sizeof StartupSettings);
    StartupSettings.musicInstrument = PlayersChoice;
    DirectXVersion = directX;
    SetDefaultSettings();
}

TEST(Settings, TheOptionTableKeepsTheContractRowByRow) {
    ASSERT_EQ(std::size(StartupOptions), std::size(Contract));
    for (std::size_t i = 0; i < std::size(Contract); ++i) {
        const StartupOption& option = StartupOptions[i];
        EXPECT_STREQ(option.valueName, Contract[i].valueName) << i;
        EXPECT_TRUE(option.flag == Contract[i].flag) << Contract[i].valueName;
        EXPECT_TRUE(option.choice == Contract[i].choice) << Contract[i].valueName;
        EXPECT_EQ(option.controlId, Contract[i].controlId) << Contract[i].valueName;
    }
}

TEST(Settings, DefaultsFollowTheDirectXLevel) {
    for (std::int32_t directX : {0x700, 0x7FF, 0x6FF, 0x601, 0, -1}) {
        Defaults(directX);
        for (const ContractRow& row : Contract) {
            const std::uint32_t expected =
                directX >= 0x700 ? row.defaultFromDirectX7 : row.defaultBeforeDirectX7;
            EXPECT_EQ(Field(row), expected) << row.valueName << " with DirectX " << directX;
        }
    }
}

TEST(Settings, EachStoredValueLoadsIntoItsFieldAloneAFlagByItsLowestBit) {
    const struct {
        const char* valueName;
        std::uint32_t stored;
        std::uint32_t loaded;
    } loads[] = {
        {"Music instrument", 0xFFFFFFFF, 0xFFFFFFFF},
        {"Frame design", 7, 7},
        {"Connect Kest2 direct", 3, 1},
        {"Joystick", 2, 0},
        {"AVI movie", 0x10, 0},
        {"DirectSoundBuffer locdefer", 0xFFFFFFFF, 1},
        {"Reverb sound effect", 0xFFFFFFFE, 0},
        {"DirectSoundBuffer software", 1, 1},
        {"DirectSound none", 5, 1},
        {"Bloody effect", 4, 0},
        {"Mirel's clock", 0x80000001, 1},
    };
    for (const auto& load : loads) {
        MemoryRegistry registry;
        const auto* bytes = reinterpret_cast<const char*>(&load.stored); // little-endian
        registry.keys[Key][load.valueName] = {RegTypeDword, std::string(bytes, 4)};
        Defaults(0x700);
        LoadSettings(registry);
        for (const ContractRow& row : Contract) {
            const bool loaded = std::string(row.valueName) == load.valueName;
            EXPECT_EQ(Field(row), loaded ? load.loaded : row.defaultFromDirectX7)
                << row.valueName << " after loading " << load.valueName;
        }
        EXPECT_TRUE(registry.open.empty());
    }
}

TEST(Settings, ASaveWritesEveryValueItCanAsADwordAndAnswersTheFirstRefusal) {
    const struct {
        std::map<std::string, long> refusals;
        long answer;
        std::size_t written;
    } saves[] = {
        {{}, RegSuccess, std::size(Contract)},
        {{{Key, 1021}}, 1021, 0}, // ERROR_CHILD_MUST_BE_VOLATILE: the key cannot be made
        {{{"Joystick", 5}, {"Mirel's clock", 1021}}, 5, std::size(Contract) - 2},
    };
    for (const auto& save : saves) {
        MemoryRegistry registry;
        registry.refusals = save.refusals;
        Defaults(0x700);
        StartupSettings.frameDesign = 0x01020304;
        EXPECT_EQ(SaveSettings(registry), save.answer);
        EXPECT_EQ(registry.keys[Key].size(), save.written) << save.answer;
        for (const ContractRow& row : Contract) {
            if (!registry.keys[Key].count(row.valueName))
                continue;
            const MemoryRegistry::Value& value = registry.keys[Key][row.valueName];
            EXPECT_EQ(value.type, RegTypeDword) << row.valueName;
            const std::uint32_t number = Field(row);
            EXPECT_EQ(value.data, std::string(reinterpret_cast<const char*>(&number), 4))
                << row.valueName;
        }
        EXPECT_TRUE(registry.open.empty());
    }
}

} // namespace
