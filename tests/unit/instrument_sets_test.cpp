// The MIDI instrument sets: the grammar of "program.txt", the first four sets offered, and how
// the stored music choice is fitted to the sets found.
#include "Doubles.h"
#include "midi/Description.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(InstrumentSets, DescriptionGrammar) {
    const std::pair<std::string, std::string> cases[] = {
        {"instrument \"AC/DC\"", "name=AC/DC"},
        {"INSTRUMENT \"A\"\nInstrument \"B\"", "name=B"},
        {"instrument\"X\"", "no name"},
        {"instrument = \"Y\" then \"Z\"", "name=Y"},
        {"\t instrument\t\"T\"", "name=T"},
        {"instrument \"C\"\r\n1 \"x\"\r\n31 \"y\"\r\n", "name=C 1=x 31=y"},
        {"instrument \"\"", "name="},
        {"0 \"a\"\n32 \"b\"\n-1 \"c\"\nabc \"d\"\n7th \"e\"\n+4 \"f\"", "no name 4=f 7=e"},
        {"1 \"a\tb\"", "no name 1=a b"},
        {"1 \"a//b\"\n2 \"ab\" // after\n// 3 \"c\"\n4// \"d\"", "no name 2=ab"},
        {"1 \"open\n2 \"a\"\n2 \"b\"", "no name 2=b"},
        {std::string("instrument \"N\"\0\n1 \"x\"", 21), "name=N"},
        {"instrument \"" + std::string(300, 'v') + "\"", "name=" + std::string(259, 'v')},
        {std::string(22, '0') + "5 \"k\"\n" + std::string(23, '0') + "6 \"m\"", "no name 5=k"},
        {"instrumentinstrumentinstrument \"Q\"", "no name"},
        {"4294967297 \"wraps to 1\"\n-4294967295 \"also\"", "no name"}};
    for (const auto& [text, parsed] : cases) {
        InstrumentSet record;
        std::vector<char> area(text.size() + 1);
        ParseDescription(text.data(), text.size(), area.data(), record);
        std::string found = record.name ? std::string("name=") + record.name : "no name";
        for (int n = 0; n < InstrumentSlotCount; ++n)
            if (record.slots[n])
                found += " " + std::to_string(n) + "=" + record.slots[n];
        EXPECT_EQ(found, parsed) << text;
    }
}

// Which folders are no sets, and a missing folder, are the fuzz target's part: its seeds hold them.
TEST(InstrumentSets, TheFirstFourSetsFoundAreOfferedAndTheMusicChoiceFitsThem) {
    MemoryDisk disk;
    for (int i = 0; i < 6; ++i)
        disk.AddSet("set" + std::to_string(i), "instrument \"Set " + std::to_string(i) + "\"");
    const struct {
        std::uint32_t stored, fitted;
    } choices[] = {
        {5, 5}, // the fourth set
        {6, 5},
        {0xFFFFFFFF, 5},
    };
    for (const auto& choice : choices) {
        StartupSettings.musicInstrument = choice.stored;
        RebuildInstrumentSets(disk, disk);
        EXPECT_EQ(StartupSettings.musicInstrument, choice.fitted) << choice.stored;
    }
    std::vector<std::string> offered;
    for (int index = 0; index < 8; ++index)
        if (const InstrumentSet* set = GetInstrumentSet(index))
            offered.push_back(set->name);
    EXPECT_EQ(offered, (std::vector<std::string>{"Set 0", "Set 1", "Set 2", "Set 3"}));
    EXPECT_EQ(GetInstrumentSetCount(), 4);
    EXPECT_EQ(disk.openFiles + disk.openSearches, 0);
}

} // namespace
