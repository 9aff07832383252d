#include <gtest/gtest.h>

void SetProgramUnderTest(const char* path);

// Usage: <test>.exe <path of KestSetup.exe> [gtest options]
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s KestSetup.exe\n", argv[0]);
        return 2;
    }
    SetProgramUnderTest(argv[1]);
    return RUN_ALL_TESTS();
}
