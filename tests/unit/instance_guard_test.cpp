#include "app/ErrorReport.h"
#include "app/InstanceGuard.h"
#include "fakes/ScriptedDirectX.h"
#include "fakes/ScriptedGuard.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Lines = std::vector<std::string>;

class InstanceGuard : public ::testing::Test {
  protected:
    void SetUp() override {
        InstanceMutex = 0;
        DirectXVersion = 0;
        ErrorCode = 0;
        ErrorStringBuffer[0] = '\0';
    }
    void TearDown() override {
        InstanceMutex = 0;
        DirectXVersion = 0;
        ErrorCode = 0;
        ErrorStringBuffer[0] = '\0';
    }
    bool Check() { return CheckInstance(guard, directX); }

    // A refusal shows at most its message and leaves the DirectX level undetected.
    void ExpectRefusedBeforeDirectX() {
        EXPECT_TRUE(directX.calls.empty());
        EXPECT_EQ(DirectXVersion, 0);
        EXPECT_TRUE(guard.openHandles.empty());
        EXPECT_EQ(ErrorCode, 0);
    }

    ScriptedGuard guard;
    ScriptedDirectX directX;
};

TEST_F(InstanceGuard, AllowedRunHoldsItsMutexAndStoresTheDirectXLevel) {
    directX.os = {2, 10};
    EXPECT_TRUE(Check());
    EXPECT_EQ(InstanceMutex, guard.ownMutex);
    EXPECT_EQ(guard.calls, (Lines{"create KestCnf", "last error", "open KestII SEMPERA",
                                  "open KestI SEMPERA", "version"}));
    EXPECT_EQ(DirectXVersion, 0x700);
    EXPECT_FALSE(directX.calls.empty());
    EXPECT_TRUE(guard.messages.empty());
}

TEST_F(InstanceGuard, TheDetectedLevelIsStoredWhateverItIs) {
    directX.os = {2, 4}; // DirectInput only
    EXPECT_TRUE(Check());
    EXPECT_EQ(DirectXVersion, 0x300);

    ScriptedDirectX none;
    none.missingDlls.insert("DDRAW.DLL");
    DirectXVersion = 0x700;
    EXPECT_TRUE(CheckInstance(guard, none));
    EXPECT_EQ(DirectXVersion, 0);
}

TEST_F(InstanceGuard, ASecondCopyIsRefusedSilentlyAndKeepsTheHandleForTheCleanUp) {
    guard.lastError = ErrorAlreadyExists;
    guard.runningGames = {"KestII SEMPERA"};
    EXPECT_FALSE(Check());
    EXPECT_EQ(InstanceMutex, guard.ownMutex);
    EXPECT_EQ(guard.calls, (Lines{"create KestCnf", "last error"}));
    ExpectRefusedBeforeDirectX();
}

TEST_F(InstanceGuard, NoMutexAtAllIsRefusedSilently) {
    guard.ownMutex = 0;
    EXPECT_FALSE(Check());
    EXPECT_EQ(InstanceMutex, 0u);
    EXPECT_TRUE(guard.messages.empty());
    ExpectRefusedBeforeDirectX();
}

// Any other error code after a successful creation is no second copy.
TEST_F(InstanceGuard, OnlyAlreadyExistsMeansASecondCopy) {
    guard.lastError = 5;
    EXPECT_TRUE(Check());
}

TEST_F(InstanceGuard, ARunningGameIsNamedAfterItsMutexIsClosed) {
    const struct {
        std::set<std::string> running;
        const char* message;
        Lines calls;
    } cases[] = {
        {{"KestII SEMPERA"},
         KestIIRunning,
         {"create KestCnf", "last error", "open KestII SEMPERA", "close 100",
          std::string("message ") + KestIIRunning + " 64"}},
        {{"KestI SEMPERA"},
         KestIRunning,
         {"create KestCnf", "last error", "open KestII SEMPERA", "open KestI SEMPERA", "close 100",
          std::string("message ") + KestIRunning + " 64"}},
        // The second game is tested first, so its message wins.
        {{"KestI SEMPERA", "KestII SEMPERA"},
         KestIIRunning,
         {"create KestCnf", "last error", "open KestII SEMPERA", "close 100",
          std::string("message ") + KestIIRunning + " 64"}},
    };
    for (const auto& c : cases) {
        SetUp();
        guard = ScriptedGuard();
        directX = ScriptedDirectX();
        guard.runningGames = c.running;
        EXPECT_FALSE(Check());
        EXPECT_EQ(guard.calls, c.calls);
        EXPECT_EQ(guard.messages, Lines{c.message});
        EXPECT_EQ(InstanceMutex, guard.ownMutex);
        ExpectRefusedBeforeDirectX();
    }
    EXPECT_STREQ(KestIIRunning, "You must exit Kest II OMNIVA\nbefore running this program.");
    EXPECT_STREQ(KestIRunning, "You must exit Kest I OMNIVA\nbefore running this program.");
}

TEST_F(InstanceGuard, WindowsNtBefore4IsAnErrorRaisedBeforeDirectX) {
    guard.os = {2, 3};
    EXPECT_THROW(Check(), runtime_error);
    EXPECT_EQ(ErrorCode, -2);
    const std::string text = ErrorStringBuffer;
    EXPECT_EQ(text.rfind("Error(InstanceGuard.cpp ", 0), 0u) << text;
    const std::string tail = "\x8D\x73)\nWindows NT3.51 is not supported.\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    EXPECT_TRUE(directX.calls.empty());
    EXPECT_EQ(DirectXVersion, 0);
    EXPECT_TRUE(guard.messages.empty());
}

TEST_F(InstanceGuard, NtFromVersion4AndEveryOtherPlatformPass) {
    const struct {
        bool known;
        OsVersion os;
    } systems[] = {
        {true, {2, 4}}, {true, {2, 5}},  {true, {1, 4}}, {true, {1, 3}},
        {true, {0, 3}}, {false, {2, 3}}, // an unreadable version is taken as supported
    };
    for (const auto& system : systems) {
        SetUp();
        guard = ScriptedGuard();
        directX = ScriptedDirectX();
        guard.versionKnown = system.known;
        guard.os = system.os;
        EXPECT_TRUE(Check()) << system.os.platformId << "." << system.os.majorVersion;
        EXPECT_FALSE(directX.calls.empty());
    }
}

} // namespace
