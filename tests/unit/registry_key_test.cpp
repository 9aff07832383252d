#include "fakes/MemoryRegistry.h"
#include "settings/RegistryKey.h"

#include <gtest/gtest.h>

namespace {

const char* const Path = "SOFTWARE\\Test";

TEST(RegistryKey, CreateOnOpenWrapperFlushesAndClosesTheFirstKeyBeforeTheSecond) {
    MemoryRegistry registry;
    RegistryKey key(registry);
    ASSERT_TRUE(key.Create(Path, HkeyCurrentUser));
    ASSERT_TRUE(key.Create("SOFTWARE\\Other", HkeyCurrentUser));
    const std::vector<std::string> expected = {"create SOFTWARE\\Test", "flush 1", "close 1",
                                               "create SOFTWARE\\Other"};
    EXPECT_EQ(registry.calls, expected);
    EXPECT_EQ(registry.OpenHandles(), 1u);
}

TEST(RegistryKey, CreatedFlagIsSetByANewKeyAndNeverClearedAfterwards) {
    MemoryRegistry registry;
    RegistryKey key(registry);
    EXPECT_FALSE(key.WasCreated());
    ASSERT_TRUE(key.Create(Path, HkeyCurrentUser));
    EXPECT_TRUE(key.WasCreated());
    key.Close();
    ASSERT_TRUE(key.Create(Path, HkeyCurrentUser)); // exists now
    EXPECT_TRUE(key.WasCreated());

    RegistryKey second(registry);
    ASSERT_TRUE(second.Create(Path, HkeyCurrentUser));
    EXPECT_FALSE(second.WasCreated());
}

TEST(RegistryKey, CloseIsIdempotentAndDestructionClosesWithAFlush) {
    MemoryRegistry registry;
    {
        RegistryKey key(registry);
        key.Close(); // nothing open: no platform call
        EXPECT_TRUE(registry.calls.empty());
        ASSERT_TRUE(key.Create(Path, HkeyCurrentUser));
        key.Close();
        key.Close();
        ASSERT_TRUE(key.Create(Path, HkeyCurrentUser));
    }
    const std::vector<std::string> expected = {"create SOFTWARE\\Test", "flush 1", "close 1",
                                               "create SOFTWARE\\Test", "flush 2", "close 2"};
    EXPECT_EQ(registry.calls, expected);
    EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST(RegistryKey, ValueOperationsAfterAFailedCreateMakeNoPlatformCall) {
    MemoryRegistry registry;
    registry.failCreate = true;
    RegistryKey key(registry);
    EXPECT_FALSE(key.Create(Path, HkeyCurrentUser));
    EXPECT_FALSE(key.IsOpen());
    std::uint32_t value = 99;
    char text[8];
    std::uint32_t size = sizeof text;
    EXPECT_FALSE(key.SetDWORD("a", 1));
    EXPECT_FALSE(key.GetDWORD("a", &value));
    EXPECT_FALSE(key.GetString("a", text, &size));
    EXPECT_EQ(value, 99u);
    EXPECT_EQ(registry.calls, std::vector<std::string>{"create SOFTWARE\\Test"});
}

TEST(RegistryKey, OpenReadsAnExistingKeyButNeverCreatesOne) {
    MemoryRegistry registry;
    RegistryKey key(registry);
    EXPECT_FALSE(key.Open(Path, HkeyCurrentUser));
    EXPECT_TRUE(registry.keys.empty());
    registry.PutDword(Path, "v", 5);
    ASSERT_TRUE(key.Open(Path, HkeyCurrentUser));
    EXPECT_FALSE(key.WasCreated());
    std::uint32_t value = 0;
    EXPECT_TRUE(key.GetDWORD("v", &value));
    EXPECT_EQ(value, 5u);
}

TEST(RegistryKey, SetDwordStoresFourLittleEndianBytesAsRegDword) {
    MemoryRegistry registry;
    RegistryKey key(registry);
    ASSERT_TRUE(key.Create(Path, HkeyCurrentUser));
    ASSERT_TRUE(key.SetDWORD("n", 0x12345678));
    const MemoryRegistry::Value* stored = registry.Find(Path, "n");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, RegTypeDword);
    EXPECT_EQ(stored->data, (std::vector<std::uint8_t>{0x78, 0x56, 0x34, 0x12}));
}

TEST(RegistryKey, GetDwordReadsAnyTypeUpToFourBytesAndFailsOnLongerData) {
    MemoryRegistry registry;
    const std::uint8_t two[2] = {0x34, 0x12};
    const std::uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    registry.Put(Path, "two", RegTypeBinary, two, sizeof two);
    registry.Put(Path, "eight", RegTypeBinary, eight, sizeof eight);
    registry.Put(Path, "text", RegTypeSz, "1", 2);
    registry.Put(Path, "long text", RegTypeSz, "1234", 5);
    RegistryKey key(registry);
    ASSERT_TRUE(key.Create(Path, HkeyCurrentUser));

    std::uint32_t value = 0xFFFFFFFF;
    EXPECT_TRUE(key.GetDWORD("two", &value));
    EXPECT_EQ(value, 0x1234u); // the missing high bytes read as zero
    EXPECT_TRUE(key.GetDWORD("text", &value));
    EXPECT_EQ(value, 0x31u);
    value = 7;
    EXPECT_FALSE(key.GetDWORD("eight", &value));
    EXPECT_FALSE(key.GetDWORD("long text", &value));
    EXPECT_FALSE(key.GetDWORD("absent", &value));
    EXPECT_EQ(value, 7u);
}

TEST(RegistryKey, GetStringReadsTheDefaultValueWithinTheGivenRoom) {
    MemoryRegistry registry;
    registry.Put(Path, "", RegTypeSz, "C:\\dx\\dxdiag.exe", 17);
    RegistryKey key(registry);
    ASSERT_TRUE(key.Open(Path, HkeyCurrentUser));
    char buffer[260] = {};
    std::uint32_t size = sizeof buffer;
    ASSERT_TRUE(key.GetString(nullptr, buffer, &size));
    EXPECT_STREQ(buffer, "C:\\dx\\dxdiag.exe");
    EXPECT_EQ(size, 17u);

    char small[4];
    size = sizeof small;
    EXPECT_FALSE(key.GetString(nullptr, small, &size));
}

} // namespace
