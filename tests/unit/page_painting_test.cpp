#include "fakes/RecordingPainting.h"
#include "ui/PagePainting.h"

#include <gtest/gtest.h>

namespace {

TEST(PagePainting, LightColourIsThePerChannelMeanWithoutRemainder) {
    EXPECT_EQ(MeanColor(0xFFFFFF, 0xDFDFDF), 0xEFEFEFu);     // 255 and 223 give 239
    EXPECT_EQ(MeanColor(0xFFFFFF, 0xC0C0C0), 0xDFDFDFu);     // 255 and 192 give 223
    EXPECT_EQ(MeanColor(0x00FF0001, 0x00000003), 0x7F0002u); // channels never carry over
    EXPECT_EQ(MeanColor(0xFF000000, 0xFF000000), 0u);        // the top byte is dropped
}

class Backdrop : public ::testing::Test {
  protected:
    RecordingPainting painting;
    RecordingTile tile;
    BackdropColorCache cache;
};

TEST_F(Backdrop, FirstPaintLoadsTwiceTheSecondTimeRecolouredAndCachesThePair) {
    PaintBackdrop(painting, tile, cache);
    const std::vector<std::string> expected = {"load", "release", "load recoloured EFEFEF/808080",
                                               "tile 384x288"};
    EXPECT_EQ(tile.calls, expected);
    EXPECT_EQ(cache.light, 0xEFEFEFu);
    EXPECT_EQ(cache.shadow, 0x808080u);
    // The three system colours are read in a fixed order.
    const std::vector<std::string> reads = {"sys 20", "sys 22", "sys 16"};
    EXPECT_EQ(painting.calls, reads);
}

TEST_F(Backdrop, LaterPaintsOnlyBlitUntilARelevantColourChanges) {
    PaintBackdrop(painting, tile, cache);
    tile.calls.clear();
    PaintBackdrop(painting, tile, cache);
    EXPECT_EQ(tile.calls, std::vector<std::string>{"tile 384x288"});

    painting.sysColors[5] = 0x123456;               // not one of the three
    painting.sysColors[SysColor3dLight] = 0xE0E0E0; // mean stays 0xEFEFEF
    PaintBackdrop(painting, tile, cache);
    EXPECT_EQ(tile.calls.size(), 2u);

    painting.sysColors[SysColor3dLight] = 0xC0C0C0; // mean moves to 0xDFDFDF
    tile.calls.clear();
    PaintBackdrop(painting, tile, cache);
    const std::vector<std::string> rebuilt = {"release", "load recoloured DFDFDF/808080",
                                              "tile 384x288"};
    EXPECT_EQ(tile.calls, rebuilt);

    painting.sysColors[SysColor3dShadow] = 0x404040;
    tile.calls.clear();
    PaintBackdrop(painting, tile, cache);
    EXPECT_EQ(tile.calls[1], "load recoloured DFDFDF/404040");
}

TEST(GroupOutline, DrawsTheExactEtchedPathsAndFreesBothPens) {
    RecordingPainting painting;
    // The "Sound" group box and its label, in page pixels.
    DrawGroupOutline(painting, {9, 210, 307, 345}, {15, 210, 47, 223});
    const std::vector<std::string> expected = {
        "sys 16",      "pen 100",      "sys 20",       "pen 101",      "select 100",
        "move 15,215", "line 9,215",   "line 9,344",   "line 306,344", "line 306,215",
        "line 46,215", "select 101",   "move 15,216",  "line 10,216",  "line 10,344",
        "move 9,345",  "line 307,345", "line 307,214", "move 47,216",  "line 306,216",
        "select 1",    "delete 100",   "delete 101"};
    EXPECT_EQ(painting.calls, expected);
    EXPECT_TRUE(painting.livePens.empty());
    EXPECT_EQ(painting.Selected(), 1u);
}

TEST(GroupOutline, LeavesTheGapStrictlyBetweenTheLabelsEdges) {
    RecordingPainting painting;
    const PixelRect frame = {9, 210, 307, 345};
    const PixelRect label = {15, 210, 47, 223};
    DrawGroupOutline(painting, frame, label);
    const int t = frame.top + 5;
    for (int row : {t, t + 1}) {
        EXPECT_TRUE(painting.pixels.count({label.left, row})) << row;
        EXPECT_TRUE(painting.pixels.count({label.right, row})) << row;
        for (int x = label.left + 1; x < label.right; ++x)
            EXPECT_FALSE(painting.pixels.count({x, row})) << x << "," << row;
    }
    auto at = [&](int x, int y) { return painting.pixels[std::make_pair(x, y)]; };
    // Dark outside on top and left, light inside; the other way round at bottom and right.
    EXPECT_EQ(at(frame.left, t + 20), 0x808080u);
    EXPECT_EQ(at(frame.left + 1, t + 20), 0xFFFFFFu);
    EXPECT_EQ(at(100, frame.bottom - 1), 0x808080u);
    EXPECT_EQ(at(100, frame.bottom), 0xFFFFFFu);
    EXPECT_EQ(at(frame.right - 1, t + 20), 0x808080u);
    EXPECT_EQ(at(frame.right, t + 20), 0xFFFFFFu);
}

} // namespace
