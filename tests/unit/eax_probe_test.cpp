#include "fakes/ScriptedSound.h"
#include "probes/EaxProbe.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using Lines = std::vector<std::string>;

constexpr HResult SFalse = 1;
constexpr HResult EFail = static_cast<HResult>(0x80004005);
constexpr HResult ClassNotRegistered = static_cast<HResult>(0x80040154);
constexpr HResult PropertyIdUnsupported = static_cast<HResult>(0x80070490);

using Set = EaxPropertySet;
using Support = ScriptedSound::Support;

void SupportEax20(ScriptedSound& sound) {
    sound.support[Set::ListenerProperties] = {0, 3};
}
void SupportEax10(ScriptedSound& sound) {
    sound.support[Set::ReverbProperties] = {0, 3};
    sound.support[Set::BufferReverbProperties] = {0, 3};
}

// Runs the probe on a DirectSound object of the caller's and checks the probe left that object
// alone and released everything it obtained itself.
std::int32_t Probe(ScriptedSound& sound) {
    const ComObject directSound = sound.ledger.Obtain("dsound");
    const std::int32_t level = ProbeEaxSupport(directSound, sound);
    sound.ledger.Release(directSound);
    EXPECT_EQ(sound.ledger.Audit(), Lines{});
    return level;
}

std::ptrdiff_t Position(const ScriptedSound& sound, const std::string& call) {
    auto found = std::find(sound.calls.begin(), sound.calls.end(), call);
    return found == sound.calls.end() ? -1 : found - sound.calls.begin();
}

class EaxLevelTest : public ::testing::Test {
  protected:
    void SetUp() override { EaxLevel = 0; }
    void TearDown() override { EaxLevel = 0; }
};

TEST_F(EaxLevelTest, WithoutADirectSoundObjectNothingElseHappens) {
    for (const HResult failure : {ClassNotRegistered, EFail}) {
        ScriptedSound sound;
        sound.createDirectSound = failure;
        SupportEax20(sound);
        DetectEaxLevel(nullptr, sound);
        EXPECT_EQ(EaxLevel, 0);
        EXPECT_EQ(sound.calls, Lines{"create dsound"});
        EXPECT_EQ(sound.ledger.Audit(), Lines{});
    }
}

// Only S_OK counts; an object handed over with another success code is still given back.
TEST_F(EaxLevelTest, ASuccessCodeOtherThanSOkEndsItToo) {
    ScriptedSound sound;
    sound.createDirectSound = SFalse;
    SupportEax20(sound);
    DetectEaxLevel(nullptr, sound);
    EXPECT_EQ(EaxLevel, 0);
    EXPECT_EQ(sound.calls, (Lines{"create dsound", "release dsound"}));
    EXPECT_EQ(sound.ledger.Audit(), Lines{});
}

TEST_F(EaxLevelTest, ExclusiveOnTheMainWindowForTheProbeThenNormalAgain) {
    ScriptedSound sound;
    SupportEax20(sound);
    int window = 0;
    DetectEaxLevel(&window, sound);
    EXPECT_EQ(EaxLevel, 2);
    EXPECT_EQ(sound.cooperativeWindow, &window);
    ASSERT_GE(sound.calls.size(), 4u);
    EXPECT_EQ(sound.calls[0], "create dsound");
    EXPECT_EQ(sound.calls[1], "initialize dsound");
    EXPECT_EQ(sound.calls[2], "coop 3");
    EXPECT_EQ(sound.calls[3], "create buffer 36");
    EXPECT_EQ(sound.calls[sound.calls.size() - 2], "coop 1");
    EXPECT_EQ(sound.calls.back(), "release dsound");
    EXPECT_EQ(sound.ledger.Audit(), Lines{});
}

// Initialize and the cooperative level are not looked at.
TEST_F(EaxLevelTest, IgnoredAnswersDoNotStopTheProbe) {
    struct RefusingSound : ScriptedSound {
        HResult Initialize(ComObject directSound) override {
            ScriptedSound::Initialize(directSound);
            return EFail;
        }
        HResult SetCooperativeLevel(ComObject directSound, void* window,
                                    std::uint32_t level) override {
            ScriptedSound::SetCooperativeLevel(directSound, window, level);
            return EFail;
        }
    } sound;
    SupportEax10(sound);
    DetectEaxLevel(nullptr, sound);
    EXPECT_EQ(EaxLevel, 1);
    EXPECT_EQ(sound.cooperativeLevels, (std::vector<std::uint32_t>{3, 1}));
}

TEST(EaxProbe, TheTestBufferAndItsRetryWithTheShorterDescription) {
    ScriptedSound sound;
    sound.createBuffer = {EFail, 0};
    SupportEax10(sound);
    EXPECT_EQ(Probe(sound), 1);
    ASSERT_EQ(sound.bufferRequests.size(), 2u);
    const SoundBufferRequest& first = sound.bufferRequests[0];
    EXPECT_EQ(first.layout, BufferDescriptionLayout::Current);
    EXPECT_EQ(first.flags, 0x12u);
    EXPECT_EQ(first.bufferBytes, 1024u);
    EXPECT_EQ(first.formatTag, 1);
    EXPECT_EQ(first.channels, 2);
    EXPECT_EQ(first.samplesPerSecond, 22050u);
    EXPECT_EQ(first.averageBytesPerSecond, 88200u);
    EXPECT_EQ(first.blockAlign, 4);
    EXPECT_EQ(first.bitsPerSample, 16);
    SoundBufferRequest retry = sound.bufferRequests[1];
    EXPECT_EQ(retry.layout, BufferDescriptionLayout::First);
    retry.layout = BufferDescriptionLayout::Current;
    EXPECT_EQ(0, std::memcmp(&retry, &first, sizeof retry)) << "only the layout changes";
}

TEST(EaxProbe, TheBufferIsRetriedOnceAndOnlyAfterAFailure) {
    const struct {
        const char* situation;
        std::vector<HResult> answers;
        std::size_t attempts;
        std::int32_t level;
    } cases[] = {
        {"both attempts fail", {EFail, EFail}, 2, 0},
        {"the retry answers S_FALSE", {EFail, SFalse}, 2, 0},
        {"the first answers S_FALSE", {SFalse, 0}, 1, 0},
        {"the first answers S_OK", {0, EFail}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        ScriptedSound sound;
        sound.createBuffer = c.answers;
        SupportEax10(sound);
        EXPECT_EQ(Probe(sound), c.level);
        EXPECT_EQ(sound.bufferRequests.size(), c.attempts);
        if (c.level == 0) {
            EXPECT_FALSE(sound.Asked("qi")) << "no buffer, no questions";
        }
    }
}

TEST(EaxProbe, TheListenerNeedsBothGetAndSetSupport) {
    const struct {
        Support listener;
        std::int32_t level;
        bool eax10Asked;
    } cases[] = {
        {{0, 1}, 1, true},
        {{0, 2}, 1, true},
        {{0, 3}, 2, false},
        {{0, 7}, 2, false},
        {{0, 4}, 1, true},
        {{SFalse, 3}, 1, true},
        {{PropertyIdUnsupported, 3}, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mask " + std::to_string(c.listener.mask) + ", result " +
                     std::to_string(c.listener.result));
        ScriptedSound sound;
        SupportEax10(sound);
        sound.support[Set::ListenerProperties] = c.listener;
        EXPECT_EQ(Probe(sound), c.level);
        EXPECT_EQ(sound.Asked("support reverb"), c.eax10Asked);
        EXPECT_EQ(sound.Asked("qi buffer props"), c.eax10Asked);
    }
}

TEST(EaxProbe, Eax10NeedsBothReverbSets) {
    const struct {
        Support reverb;
        Support bufferReverb;
        std::int32_t level;
    } cases[] = {
        {{0, 3}, {0, 3}, 1}, {{0, 3}, {0, 0}, 0},      {{0, 0}, {0, 3}, 0},
        {{0, 7}, {0, 3}, 1}, {{0, 3}, {SFalse, 3}, 0}, {{0, 1}, {0, 3}, 0},
    };
    for (const auto& c : cases) {
        ScriptedSound sound;
        sound.support[Set::ReverbProperties] = c.reverb;
        sound.support[Set::BufferReverbProperties] = c.bufferReverb;
        EXPECT_EQ(Probe(sound), c.level) << c.reverb.mask << "/" << c.reverb.result << " "
                                         << c.bufferReverb.mask << "/" << c.bufferReverb.result;
    }
}

TEST(EaxProbe, Eax20IsAskedOfThe3DBufferAndEndsTheProbe) {
    ScriptedSound sound;
    SupportEax20(sound);
    SupportEax10(sound);
    EXPECT_EQ(Probe(sound), 2);
    const Lines expected = {"create buffer 36",  "qi buffer 3d",
                            "qi buffer3d props", "support listener 1 on props3d",
                            "release props3d",   "release buffer3d",
                            "release buffer"};
    EXPECT_EQ(sound.calls, expected);
}

TEST(EaxProbe, Eax10IsAskedOfTheSoundBufferWhenThe3DRoadFails) {
    const struct {
        const char* situation;
        HResult query3D;
        HResult queryProps3D;
    } cases[] = {
        {"no 3D buffer interface", EFail, 0},
        {"3D buffer interface answers S_FALSE", SFalse, 0},
        {"no property set on the 3D buffer", 0, EFail},
        {"listener unsupported", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        ScriptedSound sound;
        sound.query3DBuffer = c.query3D;
        sound.queryPropertySetOn3DBuffer = c.queryProps3D;
        SupportEax10(sound);
        EXPECT_EQ(Probe(sound), 1);
        EXPECT_GE(Position(sound, "support reverb 0 on props"), 0);
        EXPECT_GE(Position(sound, "support buffer-reverb 0 on props"), 0);
        // The 3D road's property set goes before the buffer's is asked for; the 3D buffer
        // interface stays until the end.
        const std::ptrdiff_t askBuffer = Position(sound, "qi buffer props");
        const std::ptrdiff_t release3DProps = Position(sound, "release props3d");
        if (release3DProps >= 0) {
            EXPECT_LT(release3DProps, askBuffer);
        }
        const std::ptrdiff_t release3D = Position(sound, "release buffer3d");
        if (release3D >= 0) {
            EXPECT_GT(release3D, Position(sound, "support buffer-reverb 0 on props"));
        }
        EXPECT_EQ(sound.calls.back(), "release buffer");
    }
}

TEST(EaxProbe, NoPropertySetOnTheSoundBufferGivesNothing) {
    for (const HResult answer : {EFail, SFalse}) {
        ScriptedSound sound;
        sound.query3DBuffer = EFail;
        sound.queryPropertySetOnBuffer = answer;
        SupportEax10(sound);
        EXPECT_EQ(Probe(sound), 0);
        EXPECT_FALSE(sound.Asked("support"));
    }
}

TEST(EaxProbe, EverythingIsReleasedNewestFirst) {
    ScriptedSound sound;
    SupportEax10(sound);
    EXPECT_EQ(Probe(sound), 1);
    const Lines tail(sound.calls.end() - 3, sound.calls.end());
    EXPECT_EQ(tail, (Lines{"release props", "release buffer3d", "release buffer"}));
}

} // namespace
