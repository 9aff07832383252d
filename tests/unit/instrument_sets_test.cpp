// Discovery of the instrument sets: over scripted folders (order, sizes, failures) and over
// real temporary folders through the platform's own search and files.
#include "fakes/MemoryFiles.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

#include <pthread.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

std::string NameOf(const InstrumentSet* set) {
    return set && set->name ? set->name : "(none)";
}

// Every record of the list behind the first offered one, the closing empty record included.
std::vector<const InstrumentSet*> WholeList() {
    std::vector<const InstrumentSet*> records;
    for (const InstrumentSet* set = GetInstrumentSet(2); set; set = set->next.get())
        records.push_back(set);
    return records;
}

// Checks what the page relies on and that the list ends with exactly one empty record;
// returns the names of all named records in list order.
std::vector<std::string> CheckedNames() {
    const int count = GetInstrumentSetCount();
    EXPECT_GE(count, 0);
    EXPECT_LE(count, MaxOfferedInstrumentSets);
    for (int i = 0; i < count; ++i) {
        const InstrumentSet* set = GetInstrumentSet(2 + i);
        EXPECT_NE(set, nullptr);
        if (set) {
            EXPECT_NE(set->name, nullptr);
        }
    }
    EXPECT_EQ(GetInstrumentSet(2 + count), nullptr);
    EXPECT_EQ(GetInstrumentSet(1), nullptr);
    EXPECT_EQ(GetInstrumentSet(0), nullptr);
    EXPECT_EQ(GetInstrumentSet(-1), nullptr);
    std::vector<std::string> names;
    const std::vector<const InstrumentSet*> records = WholeList();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const InstrumentSet* set = records[i];
        const bool last = i + 1 == records.size();
        EXPECT_EQ(set->name == nullptr, last) << i;
        if (last) {
            EXPECT_EQ(set->directory, nullptr);
            EXPECT_EQ(set->strings, nullptr);
            for (const char* slot : set->slots)
                EXPECT_EQ(slot, nullptr);
        } else {
            names.push_back(set->name);
            EXPECT_EQ(set->slots[0], nullptr);
        }
    }
    return names;
}

std::string Description(const std::string& name, const std::string& more = "") {
    return "// a set\ninstrument \"" + name + "\"\n" + more;
}

class InstrumentSetsTest : public ::testing::Test {
  protected:
    void SetUp() override { StartupSettings = {}; }
    void TearDown() override {
        FreeInstrumentSets();
        EXPECT_EQ(files.OpenFiles(), 0u);
        EXPECT_EQ(files.OpenSearches(), 0u);
    }
    void Rebuild() { RebuildInstrumentSets(files, files); }

    MemoryFiles files;
};

TEST_F(InstrumentSetsTest, SixSetsAreAllKeptButOnlyFourOffered) {
    for (int i = 1; i <= 6; ++i)
        files.AddSet("set" + std::to_string(i), Description("Set " + std::to_string(i)));
    StartupSettings.musicInstrument = 7;
    Rebuild();
    EXPECT_EQ(GetInstrumentSetCount(), 4);
    EXPECT_EQ(StartupSettings.musicInstrument, 5u);
    EXPECT_EQ(NameOf(GetInstrumentSet(2)), "Set 1");
    EXPECT_EQ(NameOf(GetInstrumentSet(5)), "Set 4");
    EXPECT_EQ(GetInstrumentSet(6), nullptr);
    EXPECT_EQ(CheckedNames(),
              (std::vector<std::string>{"Set 1", "Set 2", "Set 3", "Set 4", "Set 5", "Set 6"}));
    EXPECT_STREQ(GetInstrumentSet(3)->directory, "set2");
    EXPECT_EQ(files.calls.front(), std::string("find MIDI") + PathSeparator + "*.*");
}

TEST_F(InstrumentSetsTest, TheStoredChoiceIsFittedToTheSetsFound) {
    struct Case {
        int sets;
        std::uint32_t stored;
        std::uint32_t fitted;
    };
    const Case cases[] = {{2, 3, 3}, {2, 4, 3},          {2, 0, 0}, {2, 0xFFFFFFFF, 3},
                          {0, 2, 1}, {0, 0x80000000, 1}, {0, 1, 1}, {0, 0, 0},
                          {4, 5, 5}, {4, 6, 5},          {1, 2, 2}, {1, 3, 2}};
    for (const Case& c : cases) {
        MemoryFiles scripted;
        for (int i = 0; i < c.sets; ++i)
            scripted.AddSet("s" + std::to_string(i), Description("S"));
        StartupSettings.musicInstrument = c.stored;
        RebuildInstrumentSets(scripted, scripted);
        EXPECT_EQ(GetInstrumentSetCount(), c.sets);
        EXPECT_EQ(StartupSettings.musicInstrument, c.fitted) << c.sets << " " << c.stored;
    }
}

TEST_F(InstrumentSetsTest, NoFolderOrAnEmptyOneGivesNoSets) {
    files.folderExists = false;
    StartupSettings.musicInstrument = 2;
    Rebuild();
    EXPECT_EQ(GetInstrumentSetCount(), 0);
    EXPECT_EQ(StartupSettings.musicInstrument, 1u);
    EXPECT_TRUE(CheckedNames().empty());
    EXPECT_EQ(files.CountCalls("find close"), 0u);

    files.folderExists = true;
    files.listing = {{".", true}, {"..", true}};
    Rebuild();
    EXPECT_EQ(GetInstrumentSetCount(), 0);
    EXPECT_EQ(files.CountCalls("open"), 0u);
    EXPECT_EQ(files.CountCalls("find close"), 1u);
}

TEST_F(InstrumentSetsTest, PlainFilesAndDotFoldersAreNeverSets) {
    files.AddSet("Plain", Description("Plain")).contents = Description("Plain");
    files.listing.back().isDirectory = false;
    files.AddSet(".hidden", Description("Hidden"));
    files.AddSet(".", Description("Dot"));
    files.AddSet("Real", Description("Real"));
    Rebuild();
    EXPECT_EQ(CheckedNames(), std::vector<std::string>{"Real"});
    EXPECT_EQ(files.CountCalls("open"), 1u);
}

TEST_F(InstrumentSetsTest, ASkippedFolderLeavesNothingInTheNextRecord) {
    files.AddSet("NoName", "1 \"a.dls\"\n2 \"b.dls\"\n31 \"c.dls\"\n");
    files.listing.push_back({"NoDescription", true});
    files.AddSet("Unreadable", Description("Broken", "3 \"d.dls\"")).failRead = true;
    files.AddSet("Good", Description("Good"));
    Rebuild();
    ASSERT_EQ(CheckedNames(), std::vector<std::string>{"Good"});
    const InstrumentSet* good = GetInstrumentSet(2);
    for (const char* slot : good->slots)
        EXPECT_EQ(slot, nullptr);
    EXPECT_STREQ(good->directory, "Good");
    EXPECT_EQ(good->stringsSize, 5u + 5u);
}

TEST_F(InstrumentSetsTest, TheStringBlockHoldsExactlyTheAcceptedValuesAndTheDirectory) {
    files.AddSet("Bank", "1 \"one\"\ninstrument \"Old\"\n0 \"dropped\"\n1 \"uno\"\r\n"
                         "instrument \"Organ\"\n31 \"last\" // end\n");
    Rebuild();
    const InstrumentSet* set = GetInstrumentSet(2);
    ASSERT_NE(set, nullptr);
    // Earlier copies of a field still take their room, in line order.
    static const char expected[] = "one\0Old\0uno\0Organ\0last\0Bank";
    ASSERT_EQ(set->stringsSize, sizeof expected);
    EXPECT_EQ(std::memcmp(set->strings.get(), expected, sizeof expected), 0);
    EXPECT_EQ(set->name, set->strings.get() + 12);
    EXPECT_EQ(set->slots[1], set->strings.get() + 8);
    EXPECT_EQ(set->slots[31], set->strings.get() + 18);
    EXPECT_EQ(set->directory, set->strings.get() + 23);
}

TEST_F(InstrumentSetsTest, SizesThatCannotSizeABufferSkipTheSetUnread) {
    const std::uint64_t hostile[] = {0xFFFFFFFFu, 0xFFFFFFFEu,  0x80000000u,
                                     0x7FFFFFFFu, 0x10000000Au, MaxDescriptionSize + 1u};
    int i = 0;
    for (const std::uint64_t size : hostile)
        files.AddSet("big" + std::to_string(i++), Description("Big")).size = size;
    files.AddSet("unsized", Description("Unsized")).failSize = true;
    files.AddSet("fine", Description("Fine"));
    Rebuild();
    EXPECT_EQ(CheckedNames(), std::vector<std::string>{"Fine"});
    EXPECT_EQ(files.CountCalls("read"), 1u);
}

TEST_F(InstrumentSetsTest, TheLargestDescriptionAllowedIsRead) {
    std::string text(MaxDescriptionSize, ' ');
    const std::string line = "\ninstrument \"Huge\"\n";
    text.replace(text.size() - line.size(), line.size(), line);
    files.AddSet("huge", text);
    Rebuild();
    EXPECT_EQ(CheckedNames(), std::vector<std::string>{"Huge"});
}

TEST_F(InstrumentSetsTest, OnlyTheBytesDeliveredAreParsed) {
    // The file shrank after its size was asked: the rest of the buffer is not text.
    const std::string head = Description("Shrunk");
    files.AddSet("shrunk", head + "1 \"ghost.dls\"\n").claimRead =
        static_cast<std::uint32_t>(head.size());
    files.AddSet("empty", "");
    Rebuild();
    ASSERT_EQ(CheckedNames(), std::vector<std::string>{"Shrunk"});
    EXPECT_EQ(GetInstrumentSet(2)->slots[1], nullptr);
}

TEST_F(InstrumentSetsTest, FolderNamesWhosePathWouldNotFitAreSkipped) {
    // "MIDI", the separator, the name, the separator and "program.txt": 259 with 242.
    const std::string fits(242, 'f');
    const std::string tooLong(243, 'l');
    files.AddSet(tooLong, Description("Long"));
    files.AddSet(fits, Description("Fits"));
    Rebuild();
    EXPECT_EQ(CheckedNames(), std::vector<std::string>{"Fits"});
    EXPECT_EQ(GetInstrumentSet(2)->directory, fits);
    EXPECT_EQ(files.CountCalls("open"), 1u);
}

TEST_F(InstrumentSetsTest, RebuildingReplacesTheListAndFreeingLeavesNone) {
    files.AddSet("a", Description("A"));
    Rebuild();
    files.AddSet("b", Description("B"));
    Rebuild();
    EXPECT_EQ(CheckedNames(), (std::vector<std::string>{"A", "B"}));
    FreeInstrumentSets();
    EXPECT_EQ(GetInstrumentSetCount(), 0);
    EXPECT_EQ(GetInstrumentSet(2), nullptr);
    FreeInstrumentSets();
}

void* FreeOnThisThread(void*) {
    FreeInstrumentSets();
    return nullptr;
}

TEST_F(InstrumentSetsTest, FreeingALongListDoesNotRecursePerRecord) {
    constexpr int sets = 30000;
    for (int i = 0; i < sets; ++i)
        files.AddSet(std::to_string(i), "instrument \"x\"");
    Rebuild();
    ASSERT_EQ(WholeList().size(), static_cast<std::size_t>(sets) + 1);
    // A stack far smaller than one frame per record needs.
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, FreeOnThisThread, nullptr), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(GetInstrumentSet(2), nullptr);
}

// Real folders, searched and read through the platform's own implementation.
class InstrumentSetFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        StartupSettings = {};
        char pattern[] = "/tmp/kest-sets-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(root_);
    }
    void TearDown() override {
        FreeInstrumentSets();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(root_);
    }
    static void Write(const std::filesystem::path& path, const std::string& contents) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }
    static void AddSet(const std::string& directory, const std::string& description) {
        Write(std::filesystem::path("MIDI") / directory / "program.txt", description);
    }

    std::filesystem::path root_;
    std::filesystem::path previous_;
};

TEST_F(InstrumentSetFoldersTest, FindsTheSetsOfTheMidiFolder) {
    for (int i = 1; i <= 6; ++i)
        AddSet("set" + std::to_string(i),
               Description("Set " + std::to_string(i), "1 \"bank" + std::to_string(i) + "\"\r\n"));
    Write("MIDI/notes.txt", Description("Plain file"));
    AddSet(".hidden", Description("Hidden"));
    AddSet("nameless", "1 \"bank\"\n");
    std::filesystem::create_directories("MIDI/empty");
    std::filesystem::create_directories("MIDI/folder/program.txt"); // a folder, not a file
    ASSERT_EQ(mkfifo("MIDI/fifo-program", 0600), 0);
    std::filesystem::create_directories("MIDI/fifo");
    ASSERT_EQ(mkfifo("MIDI/fifo/program.txt", 0600), 0); // opening must not wait for a writer

    StartupSettings.musicInstrument = 7;
    RebuildInstrumentSets();
    EXPECT_EQ(GetInstrumentSetCount(), 4);
    EXPECT_EQ(StartupSettings.musicInstrument, 5u);
    const std::vector<std::string> names = CheckedNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"Set 1", "Set 2", "Set 3", "Set 4", "Set 5", "Set 6"}));
    for (const InstrumentSet* set : WholeList()) {
        if (!set->name)
            continue;
        const std::string number = std::string(set->name).substr(4);
        EXPECT_EQ(std::string(set->directory), "set" + number);
        EXPECT_EQ(NameOf(set), "Set " + number);
        ASSERT_NE(set->slots[1], nullptr);
        EXPECT_EQ(std::string(set->slots[1]), "bank" + number);
    }
}

TEST_F(InstrumentSetFoldersTest, WithoutAMidiFolderTheChoiceFallsBackToWave) {
    StartupSettings.musicInstrument = 2;
    RebuildInstrumentSets();
    EXPECT_EQ(GetInstrumentSetCount(), 0);
    EXPECT_EQ(StartupSettings.musicInstrument, 1u);
    EXPECT_TRUE(CheckedNames().empty());

    std::filesystem::create_directories("MIDI");
    StartupSettings.musicInstrument = 3;
    RebuildInstrumentSets();
    EXPECT_EQ(GetInstrumentSetCount(), 0);
    EXPECT_EQ(StartupSettings.musicInstrument, 1u);
}

TEST_F(InstrumentSetFoldersTest, ALongFolderNameIsSkippedOnlyWhenItsPathCannotFit) {
    AddSet(std::string(242, 'f'), Description("Fits"));
    AddSet(std::string(243, 'l'), Description("Too long"));
    AddSet(std::string(255, 'm'), Description("Longest name"));
    RebuildInstrumentSets();
    EXPECT_EQ(CheckedNames(), std::vector<std::string>{"Fits"});
}

} // namespace
