// The out-of-memory handler sees failed allocations of both operator new and malloc.
#include "app/ErrorReport.h"
#include "app/MessageBoxes.h"
#include "harness/KestProcess.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <gtest/gtest.h>

namespace {

// More than any process can get, on 32-bit and 64-bit alike.
const std::size_t Impossible = SIZE_MAX / 2;
char selfPath[MAX_PATH];

// Kept in a volatile so the compiler cannot drop an allocation whose result goes unused.
void* volatile lastBlock;

std::string Expected(std::size_t size) {
    return "Error\nLacking memory by " + std::to_string(size) + " bytes.\n";
}

class OutOfMemory : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallOutOfMemoryHandler();
        ErrorCode = 0;
        ErrorStringBuffer[0] = '\0';
    }
};

TEST_F(OutOfMemory, OperatorNewFailureRaisesWithTheRequestedSize) {
    EXPECT_THROW(lastBlock = ::operator new(Impossible - 8), exception_memory);
    EXPECT_EQ(ErrorCode, ErrorOutOfMemory);
    EXPECT_EQ(ErrorStringBuffer, Expected(Impossible - 8));
    EXPECT_THROW(lastBlock = new char[Impossible - 64], runtime_error);
    EXPECT_EQ(ErrorStringBuffer, Expected(Impossible - 64));
}

TEST_F(OutOfMemory, OrdinaryAllocationsAreUntouched) {
    void* block = std::malloc(64);
    ASSERT_NE(block, nullptr);
    std::free(block);
    auto* object = new int[16];
    delete[] object;
    EXPECT_EQ(ErrorCode, 0);
    EXPECT_EQ(ErrorStringBuffer[0], '\0');
}

// A failed malloc ends the program with the closing box and code -4, whether the raised
// error unwinds to a handler or cannot.
TEST(OutOfMemoryInProgram, MallocFailureEndsWithTheClosingBoxAndCodeMinusFour) {
    KestProcess child(selfPath, "--malloc-too-much");
    MessageBoxSeen box;
    ASSERT_TRUE(child.WaitForMessageBox(&box)) << child.DebugText();
    EXPECT_EQ(box.caption, "Kest I&II OMNIVA Setup");
    EXPECT_EQ(box.text, Expected(Impossible));
    EXPECT_EQ(box.icon, MessageBoxSeen::Error);
    KestProcess::Dismiss(box);
    ASSERT_TRUE(child.WaitForExit());
    EXPECT_EQ(static_cast<std::int32_t>(child.ExitCode()), ErrorOutOfMemory);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--malloc-too-much") == 0) {
        InstallOutOfMemoryHandler();
        try {
            lastBlock = std::malloc(Impossible);
        } catch (runtime_error&) {
            ShowClosingMessage();
        }
        return ErrorCode;
    }
    GetModuleFileNameA(nullptr, selfPath, MAX_PATH);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
