// A "MIDI" folder that has grown wild, searched and read through the platform's own folders and
// files: ten thousand subfolders with every kind of entry that is not a proper set among them.
// Start-up must keep going, find exactly the sets that name themselves, offer at most four of
// them on the page, and free them all again.
#include "fakes/RecordingControls.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"
#include "ui/StartingOptions.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary).write(contents.data(), contents.size());
}

class OddMidiFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::copy(std::begin(MusicChoices), std::end(MusicChoices), savedChoices_);
        // Memory-backed when there is such a place: the test makes ten thousand folders.
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/kest-odd-midi-XXXXXX";
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        root_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(root_);
        fs::create_directory("MIDI");
    }
    void TearDown() override {
        FreeInstrumentSets();
        std::copy(std::begin(savedChoices_), std::end(savedChoices_), MusicChoices);
        StartupSettings = {};
        fs::current_path(previous_);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // A folder of "MIDI" with the given description.
    void AddSet(const std::string& folder, const std::string& description) {
        fs::create_directory(fs::path("MIDI") / folder);
        Write(fs::path("MIDI") / folder / "program.txt", description);
    }

    fs::path root_;
    fs::path previous_;

  private:
    ComboChoice savedChoices_[6];
};

TEST_F(OddMidiFolder, TenThousandFoldersAndEveryOddEntryStillGiveTheNamedSets) {
    std::set<std::string> named;

    // Ten thousand subfolders; three of them are sets, the rest hold no description.
    for (int i = 0; i < 10000; ++i) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "bank%05d", i);
        fs::create_directory(fs::path("MIDI") / folder);
    }
    for (const char* folder : {"bank00000", "bank04711", "bank09999"}) {
        Write(fs::path("MIDI") / folder / "program.txt",
              std::string("instrument \"Set ") + folder + "\"\r\n1 \"bank.dls\"\r\n");
        named.insert(std::string("Set ") + folder);
    }

    // Names of 255 characters: the description's path cannot be built, so the set is skipped;
    // the longest name whose path fits still counts.
    AddSet(std::string(255, 'x'), "instrument \"Too Long\"\n");
    AddSet(std::string(242, 'y'), "instrument \"Longest Fitting\"\n");
    named.insert("Longest Fitting");

    // Names starting with a dot.
    AddSet(".hidden", "instrument \"Hidden\"\n");
    AddSet("..dots", "instrument \"Dots\"\n");
    AddSet(".", "instrument \"Here\"\n"); // the folder itself, through its "." entry

    // Files where folders are expected, and a folder where the description is expected.
    Write("MIDI/loose", "instrument \"Loose\"\n");
    Write("MIDI/loose.txt", "instrument \"Loose Text\"\n");
    fs::create_directories("MIDI/nested/program.txt");

    // Descriptions that cannot be read: a link to itself, and a link to nothing.
    fs::create_directory("MIDI/looped");
    fs::create_symlink("program.txt", "MIDI/looped/program.txt");
    fs::create_directory("MIDI/dangling");
    fs::create_symlink("nowhere.txt", "MIDI/dangling/program.txt");

    // Binary garbage, seeded so that every run meets the same bytes. Without a double quote no
    // line can be finished, so the first gives no set; behind the same garbage and a line
    // feed, a proper line still names one.
    std::mt19937 random(7);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) {
        do
            c = static_cast<char>(random());
        while (c == '"' || c == '\n' || c == '\0');
    }
    AddSet("garbage", garbage);
    AddSet("garbage-then-name", garbage + "\ninstrument \"After Garbage\"\n");
    named.insert("After Garbage");
    std::string withNuls = garbage;
    for (std::size_t i = 0; i < withNuls.size(); i += 97)
        withNuls[i] = '\0';
    AddSet("garbage-with-nuls", withNuls + "\ninstrument \"Behind A Nul\"\n");

    // A 64 MiB description: a proper first line, then nothing but spaces. Descriptions that
    // large are not instrument sets and are not read.
    AddSet("huge", "instrument \"Huge\"\n");
    const int huge = open("MIDI/huge/program.txt", O_WRONLY);
    ASSERT_GE(huge, 0);
    ASSERT_EQ(ftruncate(huge, 64 << 20), 0);
    close(huge);

    // A proper set that merely sits among all this.
    AddSet("plain", "// ordinary\ninstrument \"Plain\"\n2 \"drums.dls\"\n");
    named.insert("Plain");
    ASSERT_EQ(named.size(), 6u);

    StartupSettings.musicInstrument = 9;
    RebuildInstrumentSets();

    // Every named set is kept, in search order, each exactly once; only four are offered.
    std::multiset<std::string> found;
    const InstrumentSet* set = GetInstrumentSet(2);
    ASSERT_NE(set, nullptr);
    for (; set->name; set = set->next.get()) {
        found.insert(set->name);
        ASSERT_NE(set->next, nullptr);
    }
    EXPECT_EQ(set->next, nullptr);
    EXPECT_EQ(found, std::multiset<std::string>(named.begin(), named.end()));
    EXPECT_EQ(GetInstrumentSetCount(), 4);
    EXPECT_EQ(GetInstrumentSet(6), nullptr);
    EXPECT_EQ(StartupSettings.musicInstrument, 5u);

    // The page lists "NONE", "WAVE" and the four offered sets, and selects the last one.
    RecordingControls controls;
    StartingOptionsLogic logic(controls, controls);
    logic.OnInitDialog();
    const std::vector<std::string>& items = controls.combos[1010].texts;
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0], "NONE");
    EXPECT_EQ(items[1], "WAVE");
    for (int i = 2; i < 6; ++i) {
        EXPECT_EQ(items[i], GetInstrumentSet(i)->name);
        EXPECT_TRUE(named.count(items[i])) << items[i];
    }
    EXPECT_EQ(std::set<std::string>(items.begin() + 2, items.end()).size(), 4u);
    EXPECT_EQ(controls.combos[1010].selection, 5);

    FreeInstrumentSets();
    EXPECT_EQ(GetInstrumentSet(2), nullptr);
    EXPECT_EQ(GetInstrumentSetCount(), 0);
}

} // namespace
