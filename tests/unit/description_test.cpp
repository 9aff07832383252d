// The grammar of an instrument set's description, rule by rule, over plain byte buffers.
#include "midi/Description.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

// One description parsed into a fresh record, its values gathered in an area of exactly the
// documented size, so that AddressSanitizer sees any write past it.
class Parsed {
  public:
    explicit Parsed(const std::string& text) : Parsed(text, text.size()) {}
    Parsed(const std::string& text, std::size_t length) : area_(length + 1) {
        used = ParseDescription(text.data(), length, area_.data(), record);
    }

    std::optional<std::string> Name() const { return Text(record.name); }
    std::optional<std::string> Slot(int n) const { return Text(record.slots[n]); }
    int FilledSlots() const {
        int filled = 0;
        for (const char* slot : record.slots)
            filled += slot != nullptr;
        return filled;
    }
    bool Empty() const { return !record.name && FilledSlots() == 0; }

    InstrumentSet record;
    std::size_t used = 0;

  private:
    std::optional<std::string> Text(const char* field) const {
        if (!field)
            return std::nullopt;
        EXPECT_GE(field, area_.data());
        EXPECT_LT(field, area_.data() + used);
        return std::string(field);
    }
    std::vector<char> area_;
};

TEST(DescriptionTest, TextEndsAtTheFirstNulOrTheGivenLength) {
    const std::string withNul("instrument \"Piano\"\n1 \"a.dls\"\0\n2 \"b.dls\"\n", 40);
    Parsed early(withNul);
    EXPECT_EQ(early.Name(), "Piano");
    EXPECT_EQ(early.Slot(1), "a.dls");
    EXPECT_FALSE(early.Slot(2));
    EXPECT_EQ(early.used, 6u + 6u);

    // Cut inside the value: the line has no closing quote within the text.
    Parsed cut("instrument \"Piano\"", 15);
    EXPECT_TRUE(cut.Empty());
    EXPECT_EQ(cut.used, 0u);

    // The last line needs no line feed.
    EXPECT_EQ(Parsed("1 \"x\"\ninstrument \"Organ\"").Name(), "Organ");

    Parsed empty("");
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.used, 0u);
    EXPECT_TRUE(Parsed(std::string("\n\n  \n\0instrument \"X\"", 20)).Empty());
}

TEST(DescriptionTest, LineFeedsEndLinesAndCarriageReturnsAreOrdinary) {
    const std::string lf = "// bank\ninstrument \"Studio\"\n1 \"a.dls\"\n31 \"z.dls\"\n";
    const std::string crlf = "// bank\r\ninstrument \"Studio\"\r\n1 \"a.dls\"\r\n31 \"z.dls\"\r\n";
    Parsed unix(lf);
    Parsed dos(crlf);
    EXPECT_EQ(dos.Name(), unix.Name());
    EXPECT_EQ(dos.Slot(1), unix.Slot(1));
    EXPECT_EQ(dos.Slot(31), unix.Slot(31));
    EXPECT_EQ(dos.FilledSlots(), 2);
    EXPECT_EQ(dos.used, unix.used);

    // Carriage returns alone do not end a line: all after the first closing quote is ignored.
    Parsed mac("instrument \"Mac\"\r1 \"a.dls\"\r2 \"b.dls\"\r");
    EXPECT_EQ(mac.Name(), "Mac");
    EXPECT_EQ(mac.FilledSlots(), 0);
    // Inside the quotes one is kept; before the key it is a key character.
    EXPECT_EQ(Parsed("instrument \"A\r\"").Name(), "A\r");
    EXPECT_FALSE(Parsed("\rinstrument \"A\"").Name());
}

TEST(DescriptionTest, TabsCountAsSpaces) {
    Parsed tabbed("\t\tinstrument\t\"Grand\tPiano\"\t// note\n7\t=\t\"b\tc\"");
    EXPECT_EQ(tabbed.Name(), "Grand Piano");
    EXPECT_EQ(tabbed.Slot(7), "b c");
}

TEST(DescriptionTest, TwoSlashesEndTheLineAndDropItUnlessItWasFinished) {
    Parsed after("instrument \"Piano\" // the house bank\n1 \"a.dls\"//x");
    EXPECT_EQ(after.Name(), "Piano");
    EXPECT_EQ(after.Slot(1), "a.dls");

    EXPECT_TRUE(Parsed("instrument \"http://bank\"").Empty());
    EXPECT_TRUE(Parsed("// instrument \"Piano\"").Empty());
    EXPECT_TRUE(Parsed("instrument // \"Piano\"").Empty());
    EXPECT_TRUE(Parsed("instrument //\"Piano\"").Empty());
    EXPECT_TRUE(Parsed("1// \"a\"").Empty());
    EXPECT_EQ(Parsed("instrument \"a/\t/b\"").Name(), "a/ /b"); // a tab between is no pair

    // Single slashes are ordinary, also one right before the closing quote and one after it.
    EXPECT_EQ(Parsed("1 \"dls/a/b\"").Slot(1), "dls/a/b");
    EXPECT_EQ(Parsed("1 \"a/\"/x").Slot(1), "a/");
    // The first slash of a pair in the key state was a key character already.
    EXPECT_TRUE(Parsed("instrument/ \"A\"").Empty());
}

TEST(DescriptionTest, KeysKeepTwentyThreeCharactersAndValuesTwoHundredFiftyNine) {
    // Thirty characters: the 23rd is the last one read.
    Parsed seventh(std::string(22, '0') + "7" + std::string(7, 'x') + " \"seven\"");
    EXPECT_EQ(seventh.Slot(7), "seven");
    // The 24th character would make 19 of 1.
    Parsed first(std::string(22, '0') + "19" + " \"one\"");
    EXPECT_EQ(first.Slot(1), "one");
    EXPECT_FALSE(first.Slot(19));
    // A digit after the 23rd is cut: all zeros read as 0.
    EXPECT_TRUE(Parsed(std::string(24, '0') + "7" + std::string(5, 'x') + " \"x\"").Empty());

    const std::string value(300, 'v');
    Parsed longValue("instrument \"" + value + "\"\n1 \"" + value.substr(0, 259) + "\"");
    EXPECT_EQ(longValue.Name(), value.substr(0, 259));
    EXPECT_EQ(longValue.Slot(1), value.substr(0, 259));
    EXPECT_EQ(longValue.used, 2u * 260u);
    EXPECT_EQ(Parsed("2 \"" + value.substr(0, 260) + "\"").Slot(2)->size(), 259u);
}

TEST(DescriptionTest, InstrumentKeyIgnoresTheCaseOfLetters) {
    for (const char* key : {"instrument", "INSTRUMENT", "Instrument", "iNsTrUmEnT"})
        EXPECT_EQ(Parsed(std::string(key) + " \"Set\"").Name(), "Set") << key;
    for (const char* key : {"instruments", "instrumen", "instrument:", "\xC9NSTRUMENT"})
        EXPECT_TRUE(Parsed(std::string(key) + " \"Set\"").Empty()) << key;
}

TEST(DescriptionTest, TheQuoteOpensTheValueOnlyAfterTheKey) {
    // Glued to the key, the quote is part of it.
    EXPECT_TRUE(Parsed("instrument\"Piano\"").Empty());
    EXPECT_TRUE(Parsed("instrument\"Piano\" \"x\"").Empty());
    // Anything without a quote may stand between the key and the value, and after it.
    EXPECT_EQ(Parsed("instrument = \"Piano\"").Name(), "Piano");
    EXPECT_EQ(Parsed("  instrument is named \"Piano\" and more \"Organ\"").Name(), "Piano");
    // Without its closing quote a line is dropped.
    EXPECT_TRUE(Parsed("instrument \"Piano").Empty());
    EXPECT_TRUE(Parsed("instrument").Empty());
    EXPECT_TRUE(Parsed("instrument \"Piano\n\"").Empty());
}

TEST(DescriptionTest, NumberKeysFillSlotsOneToThirtyOne) {
    struct Case {
        const char* key;
        int slot; // 0: the line is dropped
    };
    const Case cases[] = {
        {"1", 1},
        {"7th", 7},
        {"31", 31},
        {"+5", 5},
        {"007", 7},
        {"\v12", 12},
        {"0", 0},
        {"32", 0},
        {"-1", 0},
        {"abc", 0},
        {"+-3", 0},
        {"-0", 0},
        {"4294967303", 0},
        {"-4294967289", 0},
        {"2147483648", 0},
        {"99999999999999999999", 0},
        {"2147483647", 0},
        {"-2147483648", 0},
        {"8589934593abc", 0},
    };
    for (const Case& c : cases) {
        Parsed parsed(std::string(c.key) + " \"value\"");
        if (c.slot) {
            EXPECT_EQ(parsed.Slot(c.slot), "value") << c.key;
            EXPECT_EQ(parsed.FilledSlots(), 1) << c.key;
        } else {
            EXPECT_TRUE(parsed.Empty()) << c.key;
            EXPECT_EQ(parsed.used, 0u) << c.key;
        }
        EXPECT_FALSE(parsed.Slot(0)) << c.key;
    }
}

TEST(DescriptionTest, TheLastLineForAFieldWinsAndEveryCopyCounts) {
    Parsed parsed("1 \"first\"\ninstrument \"Old\"\n1 \"second\"\ninstrument \"\"\n9 \"x\"");
    EXPECT_EQ(parsed.Slot(1), "second");
    EXPECT_EQ(parsed.Name(), ""); // an empty name is still a name
    EXPECT_EQ(parsed.Slot(9), "x");
    EXPECT_EQ(parsed.used, 6u + 4u + 7u + 1u + 2u);
    EXPECT_EQ(parsed.record.directory, nullptr);
    EXPECT_EQ(parsed.record.strings, nullptr);
}

} // namespace
