// RegistryKey against the real registry.
#include "settings/RegistryKey.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

const char* const TestKey = "SOFTWARE\\Halvic\\KestSetupTests";

class RealRegistry : public ::testing::Test {
  protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }

    static void Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
};

TEST_F(RealRegistry, CreateMakesTheKeyOnceAndRemembersIt) {
    RegistryKey key;
    ASSERT_TRUE(key.Create(TestKey, HkeyCurrentUser));
    EXPECT_TRUE(key.WasCreated());
    ASSERT_TRUE(key.Create(TestKey, HkeyCurrentUser));
    EXPECT_TRUE(key.WasCreated());

    RegistryKey again;
    ASSERT_TRUE(again.Create(TestKey, HkeyCurrentUser));
    EXPECT_FALSE(again.WasCreated());
}

TEST_F(RealRegistry, DwordRoundTripsAsFourLittleEndianBytes) {
    {
        RegistryKey key;
        ASSERT_TRUE(key.Create(TestKey, HkeyCurrentUser));
        ASSERT_TRUE(key.SetDWORD("n", 0xA1B2C3D4));
    }
    HKEY raw;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &raw), ERROR_SUCCESS);
    BYTE data[8] = {};
    DWORD type = 0, size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(raw, "n", nullptr, &type, data, &size), ERROR_SUCCESS);
    RegCloseKey(raw);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(data[0], 0xD4);
    EXPECT_EQ(data[3], 0xA1);

    RegistryKey key;
    ASSERT_TRUE(key.Open(TestKey, HkeyCurrentUser));
    std::uint32_t value = 0;
    ASSERT_TRUE(key.GetDWORD("n", &value));
    EXPECT_EQ(value, 0xA1B2C3D4u);
}

TEST_F(RealRegistry, GetDwordTakesShortDataOfAnyTypeAndRefusesLongData) {
    const BYTE two[2] = {0x34, 0x12};
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Put("two", REG_BINARY, two, sizeof two);
    Put("eight", REG_BINARY, eight, sizeof eight);
    Put("one", REG_SZ, "1", 2);
    Put("text", REG_SZ, "12345", 6);
    RegistryKey key;
    ASSERT_TRUE(key.Open(TestKey, HkeyCurrentUser));
    std::uint32_t value = 0;
    EXPECT_TRUE(key.GetDWORD("two", &value));
    EXPECT_EQ(value, 0x1234u);
    EXPECT_TRUE(key.GetDWORD("one", &value));
    EXPECT_EQ(value, 0x31u);
    EXPECT_FALSE(key.GetDWORD("eight", &value));
    EXPECT_FALSE(key.GetDWORD("text", &value));
    EXPECT_FALSE(key.GetDWORD("missing", &value));
}

TEST_F(RealRegistry, GetStringReadsTheDefaultValueAndNeedsRoomForIt) {
    Put(nullptr, REG_SZ, "C:\\DX\\DXDIAG.EXE", 17);
    RegistryKey key;
    ASSERT_TRUE(key.Open(TestKey, HkeyCurrentUser));
    char buffer[260] = {};
    std::uint32_t size = sizeof buffer;
    ASSERT_TRUE(key.GetString(nullptr, buffer, &size));
    EXPECT_STREQ(buffer, "C:\\DX\\DXDIAG.EXE");
    EXPECT_EQ(size, 17u);
    char small[4];
    size = sizeof small;
    EXPECT_FALSE(key.GetString(nullptr, small, &size));
}

TEST_F(RealRegistry, OpenOfAMissingKeyFailsAndCreatesNothing) {
    RegistryKey key;
    EXPECT_FALSE(key.Open(TestKey, HkeyCurrentUser));
    EXPECT_FALSE(key.SetDWORD("n", 1));
    HKEY raw;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &raw), ERROR_SUCCESS);
}

} // namespace
