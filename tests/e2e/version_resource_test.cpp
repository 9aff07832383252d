// The version resource behind the program's file properties, stamped from the build's version.
#include "harness/KestProcess.h"

#include <gtest/gtest.h>

#include <vector>

TEST(VersionResource, NamesTheProductAndTheBuildsVersion) {
    const char* program = ProgramUnderTest().c_str();
    std::vector<char> data(GetFileVersionInfoSizeA(program, nullptr));
    ASSERT_TRUE(!data.empty() && GetFileVersionInfoA(program, 0, data.size(), data.data()));
    const std::pair<std::string, const char*> strings[] = {
        {"FileDescription", "Starting options of Kest I and Kest II"},
        {"ProductName", "Kest I&II OMNIVA Setup"},
        {"FileVersion", KEST_VERSION},
        {"ProductVersion", KEST_VERSION}};
    void* value = nullptr;
    UINT size = 0;
    for (const auto& [name, expected] : strings) {
        const std::string path = "\\StringFileInfo\\040904B0\\" + name;
        ASSERT_TRUE(VerQueryValueA(data.data(), path.c_str(), &value, &size)) << name;
        EXPECT_STREQ(static_cast<const char*>(value), expected) << name;
    }
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", &value, &size));
    const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    const DWORD high = MAKELONG(KEST_VERSION_MINOR, KEST_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, KEST_VERSION_PATCH);
    EXPECT_EQ(std::vector<DWORD>({fixed.dwFileVersionMS, fixed.dwFileVersionLS,
                                  fixed.dwProductVersionMS, fixed.dwProductVersionLS}),
              std::vector<DWORD>({high, low, high, low}));
}
