// The eleven values the games read: their defaults by DirectX level, each one loaded over the
// defaults, one line per value, and what a save that meets refusals answers. What is saved is
// checked in the registry, end to end.
#include "Doubles.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

namespace {

using R = StartupSettingsRecord;

struct Option {
    const char* name;
    std::uint32_t R::*index;
    std::uint8_t R::*flag;
    std::uint32_t defaultFromDirectX7, defaultBefore, stored, loaded;
};

const Option Options[] = {
    {"Music instrument", &R::musicInstrument, nullptr, 3, 3, 0xFFFFFFFF, 0xFFFFFFFF},
    {"Frame design", &R::frameDesign, nullptr, 0, 0, 7, 7},
    {"Connect Kest2 direct", nullptr, &R::connectDirect, 0, 0, 3, 1},
    {"Joystick", nullptr, &R::joystick, 1, 1, 2, 0},
    {"AVI movie", nullptr, &R::aviMovie, 1, 1, 0x10, 0},
    {"DirectSoundBuffer locdefer", nullptr, &R::bufferLocDefer, 1, 0, 0xFFFFFFFF, 1},
    {"Reverb sound effect", nullptr, &R::reverbEffect, 1, 1, 0xFFFFFFFE, 0},
    {"DirectSoundBuffer software", nullptr, &R::bufferSoftware, 0, 0, 1, 1},
    {"DirectSound none", nullptr, &R::directSoundNone, 0, 0, 5, 1},
    {"Bloody effect", nullptr, &R::bloodEffect, 1, 1, 4, 0},
    {"Mirel's clock", nullptr, &R::timeDisplay, 0, 0, 0x80000001, 1}};

std::uint32_t Get(const Option& o) {
    return o.index ? StartupSettings.*o.index : StartupSettings.*o.flag;
}

const std::string Key = MemoryRegistry::Path(HkeyCurrentUser, SettingsKeyPath);

// Every field scrambled except the music choice, which no default touches.
void Defaults(std::int32_t directX) {
    std::memset(&StartupSettings, 0xAB, sizeof StartupSettings);
    StartupSettings.musicInstrument = 3, DirectXVersion = directX;
    SetDefaultSettings();
}

TEST(Settings, DefaultsFollowTheDirectXLevel) {
    for (std::int32_t directX : {0x700, 0x7FF, 0x6FF, 0x601, 0, -1}) {
        Defaults(directX);
        for (const Option& o : Options)
            EXPECT_EQ(Get(o), directX >= 0x700 ? o.defaultFromDirectX7 : o.defaultBefore)
                << o.name << " with DirectX " << directX;
    }
}

TEST(Settings, EachStoredValueLoadsIntoItsFieldAlone) {
    for (const Option& stored : Options) {
        MemoryRegistry registry;
        const auto* bytes = reinterpret_cast<const char*>(&stored.stored); // little-endian
        registry.keys[Key][stored.name] = {RegTypeDword, std::string(bytes, 4)};
        Defaults(0x700);
        LoadSettings(registry);
        for (const Option& o : Options)
            EXPECT_EQ(Get(o), &o == &stored ? o.loaded : o.defaultFromDirectX7)
                << o.name << " after loading " << stored.name;
        EXPECT_TRUE(registry.open.empty());
    }
}

TEST(Settings, ASaveWritesEveryValueItCanAndAnswersTheFirstRefusal) {
    // The key that cannot be made (ERROR_CHILD_MUST_BE_VOLATILE), and values refused.
    const std::tuple<std::map<std::string, long>, long, std::size_t> cases[] = {
        {{}, 0, 11}, {{{Key, 1021}}, 1021, 0}, {{{"Joystick", 5}, {"Mirel's clock", 1021}}, 5, 9}};
    for (const auto& [refusals, answer, written] : cases) {
        MemoryRegistry registry;
        registry.refusals = refusals;
        EXPECT_EQ(SaveSettings(registry), answer);
        EXPECT_EQ(registry.keys[Key].size(), written) << answer;
        EXPECT_TRUE(registry.open.empty());
    }
}

} // namespace
