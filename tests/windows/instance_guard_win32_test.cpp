// The guard against real named mutexes: its own is created owned and let go by the clean-up,
// and a copy that finds it already there is refused.
#include "app/InstanceGuard.h"
#include "settings/StartupSettings.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

bool MutexExists(const char* name) {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

struct TakeAttempt {
    HANDLE mutex;
    DWORD waited;
};

DWORD WINAPI TryToTake(void* parameter) {
    auto* attempt = static_cast<TakeAttempt*>(parameter);
    attempt->waited = WaitForSingleObject(attempt->mutex, 0);
    if (attempt->waited == WAIT_OBJECT_0)
        ReleaseMutex(attempt->mutex);
    return 0;
}

class InstanceGuardWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_FALSE(MutexExists("KestCnf"));
        DirectXVersion = 0;
    }
    void TearDown() override {
        ReleaseInstanceMutex();
        DirectXVersion = 0;
        CoUninitialize();
    }
};

TEST_F(InstanceGuardWin32, TheOwnMutexLivesUntilTheCleanUp) {
    ASSERT_TRUE(CheckInstance());
    EXPECT_NE(InstanceMutex, 0u);
    EXPECT_TRUE(MutexExists("KestCnf"));
    // Wine's DirectX is found on the way.
    EXPECT_EQ(DirectXVersion, 0x700);

    ReleaseInstanceMutex();
    EXPECT_EQ(InstanceMutex, 0u);
    EXPECT_FALSE(MutexExists("KestCnf"));
    ReleaseInstanceMutex(); // nothing left to release
}

// Created owned: another thread cannot take it while the tool runs.
TEST_F(InstanceGuardWin32, TheOwnMutexIsHeld) {
    ASSERT_TRUE(CheckInstance());
    HANDLE other = OpenMutexA(SYNCHRONIZE, FALSE, "KestCnf");
    ASSERT_NE(other, nullptr);
    TakeAttempt attempt = {other, 0};
    HANDLE thread = CreateThread(nullptr, 0, TryToTake, &attempt, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(other);
    EXPECT_EQ(attempt.waited, static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(InstanceGuardWin32, AnExistingMutexMeansAnotherCopy) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "KestCnf");
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(CheckInstance());
    EXPECT_NE(InstanceMutex, 0u) << "kept for the clean-up";
    EXPECT_EQ(DirectXVersion, 0);
    ReleaseInstanceMutex();
    EXPECT_TRUE(MutexExists("KestCnf")) << "the first copy's mutex stays";
    CloseHandle(first);
}

} // namespace
