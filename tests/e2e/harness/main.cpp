#include "harness/KestProcess.h"

#include <gtest/gtest.h>

// Usage: <driver>.exe <KestSetup.exe> [GoogleTest options]
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2)
        return 2;
    SetProgramUnderTest(argv[1]);
    return RUN_ALL_TESTS();
}
