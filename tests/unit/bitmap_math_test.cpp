// The bitmap arithmetic: the recolour ramp, the size of a resource copy and the tile grid.
#include "ui/BitmapMath.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<std::uint8_t, ColorTableBytes> Table(std::uint8_t fill) {
    std::array<std::uint8_t, ColorTableBytes> table;
    table.fill(fill);
    return table;
}

TEST(RampTest, GreyToWhiteGivesTheLevelsOfTheDivisorTwentyTwo) {
    auto table = Table(0x5A);
    ApplyRamp(table.data(), 0x00FFFFFF, 0x00808080);
    const int entries[] = {10, 20, 30, 31};
    const int levels[] = {122, 179, 237, 243};
    for (int i = 0; i < 4; ++i)
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_EQ(table[4 * entries[i] + channel], levels[i]) << entries[i];
}

TEST(RampTest, TouchesOnlyTheColoursOfEntriesTenToThirtyOne) {
    auto table = Table(0x5A);
    ApplyRamp(table.data(), 0x00FFFFFF, 0x00000000);
    for (int entry = 0; entry < ColorTableEntries; ++entry) {
        const bool ramp = entry >= 10 && entry <= 31;
        for (int channel = 0; channel < 3 && !ramp; ++channel)
            EXPECT_EQ(table[4 * entry + channel], 0x5A) << entry;
        EXPECT_EQ(table[4 * entry + 3], 0x5A) << "reserved byte of " << entry;
    }
}

TEST(RampTest, ChannelsComeFromTheirOwnBytesOfTheColours) {
    auto table = Table(0);
    // 0x00BBGGRR: red 0x10 to 0xF0, green 0x20 to 0x40, blue 0xFF to 0x00.
    ApplyRamp(table.data(), 0x0040F0, 0xFF2010);
    const std::uint8_t* first = &table[4 * 10];
    const std::uint8_t* last = &table[4 * 31];
    EXPECT_EQ(first[2], 0x10 * 21 / 22); // red
    EXPECT_EQ(first[1], 0x20 * 21 / 22); // green
    EXPECT_EQ(first[0], 0xFF * 21 / 22); // blue
    EXPECT_EQ(last[2], 0xF0 * 21 / 22);
    EXPECT_EQ(last[1], 0x40 * 21 / 22);
    EXPECT_EQ(last[0], 0x00);
}

TEST(RampTest, RisesMonotonicallyFromLowToHigh) {
    for (int k = 1; k <= 21; ++k)
        EXPECT_GE(RampChannel(k, 255, 128), RampChannel(k - 1, 255, 128)) << k;
    EXPECT_EQ(RampChannel(0, 255, 0), 0);
    EXPECT_EQ(RampChannel(21, 255, 255), 243);
}

TEST(CopySizeTest, RowsArePaddedToFourBytesAndTheTableIsAlwaysFull) {
    EXPECT_EQ(BitmapCopySize(40, 130, 82), 40 + 1024 + 132 * 82);
    EXPECT_EQ(BitmapCopySize(40, 132, 82), 40 + 1024 + 132 * 82);
    EXPECT_EQ(BitmapCopySize(40, 96, 96), 40 + 1024 + 96 * 96);
    EXPECT_EQ(BitmapCopySize(40, 1, 1), 40 + 1024 + 4);
    EXPECT_EQ(BitmapCopySize(124, 5, 2), 124 + 1024 + 8 * 2);
}

TEST(CopySizeTest, NoImageGivesNoSize) {
    EXPECT_LT(BitmapCopySize(40, 0, 82), 0);
    EXPECT_LT(BitmapCopySize(40, 130, 0), 0);
    EXPECT_LT(BitmapCopySize(40, 130, -82), 0);
    // Large headers do not overflow.
    EXPECT_EQ(BitmapCopySize(40, 0x7FFFFFFF, 2), 40 + 1024 + 2 * 0x80000000LL);
}

TEST(TileGridTest, AlwaysOneMoreColumnAndRowThanTheQuotient) {
    const TileGrid exact = TileGridFor(384, 288, 96, 96);
    EXPECT_EQ(exact.columns, 5);
    EXPECT_EQ(exact.rows, 4);
    EXPECT_EQ(exact.columns * exact.rows, 20);

    const TileGrid small = TileGridFor(50, 20, 96, 96);
    EXPECT_EQ(small.columns * small.rows, 1);

    const TileGrid partial = TileGridFor(100, 95, 96, 96);
    EXPECT_EQ(partial.columns, 2);
    EXPECT_EQ(partial.rows, 1);
}

TEST(TileGridTest, AnEmptyTileGivesNoTiles) {
    const TileGrid none = TileGridFor(384, 288, 0, 96);
    EXPECT_EQ(none.columns * none.rows, 0);
}

} // namespace
