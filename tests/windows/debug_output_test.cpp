// DebugPrint reaches a real debugger: this program runs a copy of itself as a debuggee.
#include "app/ErrorReport.h"
#include "harness/KestProcess.h"

#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

namespace {

char selfPath[MAX_PATH];

TEST(DebugOutput, LinesReachTheDebuggerWhole) {
    KestProcess child(selfPath, "--print-debug-lines");
    ASSERT_TRUE(child.WaitForExit());
    EXPECT_EQ(child.ExitCode(), 0u);
    const std::vector<std::string> lines = child.DebugLines();
    const std::vector<std::string> expected = {"WinMain begin\n", "failed: File::Open[a b]\n",
                                               std::string(1023, 'x')};
    EXPECT_EQ(lines, expected);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--print-debug-lines") == 0) {
        DebugPrint("%s", "WinMain begin\n");
        DebugPrint("failed: File::Open[%s]\n", "a b");
        const std::string longLine(3000, 'x');
        DebugPrint("%s", longLine.c_str());
        return 0;
    }
    GetModuleFileNameA(nullptr, selfPath, MAX_PATH);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
