// File and the instrument-set discovery against the real Windows file system.
#include "harness/KestProcess.h"
#include "midi/File.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// A scratch folder made the current directory, as start-up makes the program's folder.
class RealFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, previous_);
        ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
        StartupSettings = {};
    }
    void TearDown() override {
        FreeInstrumentSets();
        SetCurrentDirectoryA(previous_);
    }

    ScratchFolder folder;

  private:
    char previous_[MAX_PATH] = {};
};

TEST_F(RealFolder, FileComposesOpensReadsAndCloses) {
    folder.MakeFolder("docs");
    folder.WriteFile("docs\\readme.txt", "hello, world");
    File file(__FILE__, __LINE__, false);
    EXPECT_EQ(file.GetSize(), 0xFFFFFFFFu);
    ASSERT_TRUE(file.Open(GENERIC_READ, "readme", "txt", "docs\\"));
    EXPECT_STREQ(file.Name(), "docs\\readme.txt");
    EXPECT_EQ(file.GetSize(), 12u);
    char buffer[32] = {};
    ASSERT_TRUE(file.Read(buffer, sizeof buffer));
    EXPECT_EQ(file.BytesRead(), 12u);
    EXPECT_STREQ(buffer, "hello, world");
    ASSERT_TRUE(file.Read(buffer, sizeof buffer)); // at the end: success with nothing
    EXPECT_EQ(file.BytesRead(), 0u);

    EXPECT_FALSE(file.Open(GENERIC_READ, "missing", "txt", "docs\\"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_STREQ(file.Name(), "docs\\missing.txt");
    // A folder is not a file to open.
    EXPECT_FALSE(file.Open(GENERIC_READ, "docs", nullptr, nullptr));
}

TEST_F(RealFolder, FileSharesReadingAndWritingWithOthers) {
    folder.WriteFile("shared.txt", "abc");
    const std::string path = folder.Path() + "\\shared.txt";
    const HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    {
        File file(__FILE__, __LINE__, false);
        EXPECT_TRUE(file.Open(GENERIC_READ, "shared.txt", nullptr, nullptr));
    }
    CloseHandle(writer);

    // While this File holds it, nobody may take it exclusively; once it is gone they may.
    {
        File file(__FILE__, __LINE__, false);
        ASSERT_TRUE(file.Open(GENERIC_READ, "shared.txt", nullptr, nullptr));
        const HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(exclusive, INVALID_HANDLE_VALUE);
        if (exclusive != INVALID_HANDLE_VALUE)
            CloseHandle(exclusive);
    }
    const HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
}

TEST_F(RealFolder, DiscoveryFindsTheSetsBesideTheProgram) {
    for (int i = 1; i <= 6; ++i) {
        const std::string set = "MIDI\\Set" + std::to_string(i);
        folder.MakeFolder(set);
        folder.WriteFile(set + "\\program.txt", "// bank\r\ninstrument\t\"Set " +
                                                    std::to_string(i) + "\"\r\n2 \"b.dls\"\r\n");
    }
    folder.WriteFile("MIDI\\program.txt", "instrument \"Plain file\"");
    folder.MakeFolder("MIDI\\.hidden");
    folder.WriteFile("MIDI\\.hidden\\program.txt", "instrument \"Hidden\"");
    folder.MakeFolder("MIDI\\nameless");
    folder.WriteFile("MIDI\\nameless\\program.txt", "1 \"a.dls\"");
    folder.MakeFolder("MIDI\\empty");

    StartupSettings.musicInstrument = 7;
    RebuildInstrumentSets();
    ASSERT_EQ(GetInstrumentSetCount(), 4);
    EXPECT_EQ(StartupSettings.musicInstrument, 5u);
    EXPECT_EQ(GetInstrumentSet(6), nullptr);

    std::set<std::string> names;
    const InstrumentSet* set = GetInstrumentSet(2);
    for (; set && set->name; set = set->next.get()) {
        names.insert(set->name);
        EXPECT_EQ("Set " + std::string(set->directory).substr(3), set->name);
        ASSERT_NE(set->slots[2], nullptr);
        EXPECT_STREQ(set->slots[2], "b.dls");
        EXPECT_EQ(set->slots[1], nullptr);
    }
    ASSERT_NE(set, nullptr); // the closing empty record
    EXPECT_EQ(set->next, nullptr);
    EXPECT_EQ(names, (std::set<std::string>{"Set 1", "Set 2", "Set 3", "Set 4", "Set 5", "Set 6"}));
}

TEST_F(RealFolder, WithoutAMidiFolderThereAreNoSets) {
    StartupSettings.musicInstrument = 2;
    RebuildInstrumentSets();
    EXPECT_EQ(GetInstrumentSetCount(), 0);
    EXPECT_EQ(StartupSettings.musicInstrument, 1u);
    EXPECT_EQ(GetInstrumentSet(2), nullptr);
}

} // namespace
