// The palettized bitmaps against the real GDI: the program's own resources 109 and 110, depths
// that are refused, the one shared palette and what drawing does once it is gone.
#include "app/ErrorReport.h"
#include "bitmap_test_ids.h"
#include "ui/Bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Sentinel = 0x00FF00FF;

std::vector<std::string> debugLines;

void CollectLine(const char* line) {
    debugLines.push_back(line);
}

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

// A 32-bit top-down drawing surface in a memory context, filled with a colour no picture uses.
class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        section_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint32_t*>(bits);
        previous_ = SelectObject(dc_, section_);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = Sentinel;
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(section_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    // 0x00RRGGBB
    std::uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0x00FFFFFF;
    }
    bool Untouched() const {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            if ((bits_[i] & 0x00FFFFFF) != Sentinel)
                return false;
        return true;
    }

  private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP section_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

const std::uint8_t* ColorTable(const Bitmap& bitmap) {
    return bitmap.dib.get() + sizeof(BITMAPINFOHEADER);
}

int IndexAt(const Bitmap& bitmap, int x, int y) {
    const int stride = (bitmap.width + 3) / 4 * 4;
    const std::uint8_t* rows = bitmap.dib.get() + sizeof(BITMAPINFOHEADER) + 1024;
    return rows[(bitmap.height - 1 - y) * stride + x];
}

// 0x00RRGGBB of an entry of a colour table.
std::uint32_t TableColor(const std::uint8_t* table, int index) {
    const std::uint8_t* quad = table + 4 * index;
    return quad[2] << 16 | quad[1] << 8 | quad[0];
}

std::uint32_t PaletteColor(int index) {
    PALETTEENTRY entry = {};
    GetPaletteEntries(SharedPalette, index, 1, &entry);
    return entry.peRed << 16 | entry.peGreen << 8 | entry.peBlue;
}

// The resource as the module holds it.
const BITMAPINFOHEADER* ResourceHeader(int id) {
    HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    return found ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), found)))
                 : nullptr;
}

class BitmapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        debugLines.clear();
        previousSink_ = SetDebugSink(CollectLine);
    }
    void TearDown() override {
        SetDebugSink(previousSink_);
        ASSERT_EQ(SharedPalette, nullptr) << "a test left the shared palette behind";
    }

    Canvas canvas{600, 420};

  private:
    DebugSink previousSink_ = nullptr;
};

TEST_F(BitmapTest, TheProgramsResourcesAreEightBitWithAFullColourTable) {
    for (int id : {109, 110}) {
        const BITMAPINFOHEADER* header = ResourceHeader(id);
        ASSERT_NE(header, nullptr) << id;
        EXPECT_EQ(header->biSize, 40u) << id;
        EXPECT_EQ(header->biBitCount, 8) << id;
        EXPECT_GT(header->biHeight, 0) << id;
        EXPECT_TRUE(header->biClrUsed == 0 || header->biClrUsed == 256) << id;
    }
    EXPECT_EQ(ResourceHeader(109)->biWidth, 132);
    EXPECT_EQ(ResourceHeader(109)->biHeight, 82);
    EXPECT_EQ(ResourceHeader(110)->biWidth, 96);
    EXPECT_EQ(ResourceHeader(110)->biHeight, 96);
}

TEST_F(BitmapTest, TheTileUsesOnlyTheRampAndTheHeaderNoneOfIt) {
    Bitmap tile;
    Bitmap header;
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    ASSERT_TRUE(header.LoadFromResource(109, canvas.Dc(), Module()));
    std::vector<bool> tileUses(256), headerUses(256);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            tileUses[IndexAt(tile, x, y)] = true;
    for (int y = 0; y < 82; ++y)
        for (int x = 0; x < 132; ++x)
            headerUses[IndexAt(header, x, y)] = true;
    int tileShades = 0;
    for (int i = 0; i < 256; ++i) {
        const bool ramp = i >= 10 && i <= 31;
        EXPECT_TRUE(ramp || !tileUses[i]) << "tile uses entry " << i;
        EXPECT_FALSE(ramp && headerUses[i]) << "header uses ramp entry " << i;
        tileShades += tileUses[i];
    }
    // A texture, not a flat fill.
    EXPECT_GE(tileShades, 6);
    tile.Release();
    header.Release();
}

TEST_F(BitmapTest, LoadingTheBackdropMakesTheSharedPaletteFromItsTable) {
    Bitmap tile;
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    EXPECT_NE(tile.bitmap, nullptr);
    EXPECT_EQ(tile.width, 96);
    EXPECT_EQ(tile.height, 96);
    ASSERT_NE(SharedPalette, nullptr);
    EXPECT_EQ(GetPaletteEntries(SharedPalette, 0, 0, nullptr), 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(PaletteColor(i), TableColor(ColorTable(tile), i)) << i;
    // Without ramp colours the table is the resource's own.
    const auto* resource = reinterpret_cast<const std::uint8_t*>(ResourceHeader(110)) + 40;
    EXPECT_EQ(std::memcmp(ColorTable(tile), resource, 1024), 0);
    tile.Release();
    EXPECT_EQ(SharedPalette, nullptr);
    EXPECT_EQ(tile.bitmap, nullptr);
    EXPECT_EQ(tile.dib, nullptr);
    EXPECT_EQ(tile.width, 0);
}

TEST_F(BitmapTest, OtherDepthsAreRefusedWithTheLoadersLine) {
    for (int id : {IDB_TEST_FOUR_BIT, IDB_TEST_TWENTY_FOUR_BIT}) {
        debugLines.clear();
        Bitmap bitmap;
        bitmap.rampHighColor = 0x00FFFFFF;
        bitmap.rampLowColor = 0x00808080;
        EXPECT_FALSE(bitmap.LoadFromResource(id, canvas.Dc(), Module())) << id;
        EXPECT_EQ(debugLines, std::vector<std::string>{"Bitmap::LoadFromResource error1"}) << id;
        EXPECT_EQ(bitmap.bitmap, nullptr);
        EXPECT_EQ(bitmap.dib, nullptr);
        EXPECT_EQ(bitmap.width, 0);
        EXPECT_EQ(SharedPalette, nullptr);
    }
}

TEST_F(BitmapTest, AMissingResourceIsRefusedWithoutACrash) {
    Bitmap bitmap;
    EXPECT_FALSE(bitmap.LoadFromResource(4242, canvas.Dc(), Module()));
    EXPECT_EQ(bitmap.dib, nullptr);
    EXPECT_EQ(SharedPalette, nullptr);
}

TEST_F(BitmapTest, TheRampRecoloursTheFirstLoadAndALaterLoadSharesItsPalette) {
    Bitmap tile;
    tile.rampHighColor = 0x00FFFFFF;
    tile.rampLowColor = 0x00808080;
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    const HPALETTE palette = SharedPalette;
    const int entries[] = {10, 20, 30, 31};
    const int levels[] = {122, 179, 237, 243};
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t grey = levels[i] * 0x010101u;
        EXPECT_EQ(PaletteColor(entries[i]), grey) << entries[i];
        EXPECT_EQ(TableColor(ColorTable(tile), entries[i]), grey) << entries[i];
    }

    Bitmap header;
    header.rampHighColor = 0x000000FF;
    header.rampLowColor = 0x00000000;
    ASSERT_TRUE(header.LoadFromResource(109, canvas.Dc(), Module()));
    EXPECT_EQ(SharedPalette, palette);
    // Its own ramp colours had no effect, on the palette or on its copy.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PaletteColor(entries[i]), levels[i] * 0x010101u) << entries[i];
    const auto* resource = reinterpret_cast<const std::uint8_t*>(ResourceHeader(109)) + 40;
    EXPECT_EQ(std::memcmp(ColorTable(header), resource, 1024), 0);

    header.Draw(canvas.Dc(), 20, 9);
    for (auto [x, y] : {std::pair{0, 0}, {131, 0}, {66, 30}, {30, 33}, {131, 81}})
        EXPECT_EQ(canvas.Pixel(20 + x, 9 + y),
                  TableColor(ColorTable(header), IndexAt(header, x, y)))
            << x << "," << y;
    EXPECT_EQ(canvas.Pixel(19, 9), Sentinel);
    EXPECT_EQ(canvas.Pixel(20, 8), Sentinel);
    EXPECT_EQ(canvas.Pixel(152, 9), Sentinel);
    EXPECT_EQ(canvas.Pixel(20, 91), Sentinel);

    tile.Release();
    header.Release();
}

TEST_F(BitmapTest, AfterAnotherBitmapsReleaseNothingIsDrawnUntilAPaletteExistsAgain) {
    Bitmap tile;
    Bitmap header;
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    ASSERT_TRUE(header.LoadFromResource(109, canvas.Dc(), Module()));
    EXPECT_TRUE(header.Realize(canvas.Dc()));

    tile.Release();
    EXPECT_EQ(SharedPalette, nullptr);
    EXPECT_NE(header.bitmap, nullptr) << "the device bitmap is kept";
    header.Draw(canvas.Dc(), 0, 0);
    header.DrawTiled(canvas.Dc(), 384, 288);
    EXPECT_FALSE(header.Realize(canvas.Dc()));
    EXPECT_TRUE(canvas.Untouched());

    // A new load makes the palette again, and the kept bitmap draws once more.
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    header.Draw(canvas.Dc(), 0, 0);
    EXPECT_EQ(canvas.Pixel(0, 0), TableColor(ColorTable(header), IndexAt(header, 0, 0)));
    tile.Release();
    header.Release();
}

TEST_F(BitmapTest, TilingCoversOneMoreColumnAndRowThanFit) {
    Bitmap tile;
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    auto tilePixel = [&](int x, int y) {
        return TableColor(ColorTable(tile), IndexAt(tile, x % 96, y % 96));
    };

    tile.DrawTiled(canvas.Dc(), 50, 20);
    EXPECT_EQ(canvas.Pixel(0, 0), tilePixel(0, 0));
    EXPECT_EQ(canvas.Pixel(95, 95), tilePixel(95, 95));
    EXPECT_EQ(canvas.Pixel(96, 0), Sentinel);
    EXPECT_EQ(canvas.Pixel(0, 96), Sentinel);

    tile.DrawTiled(canvas.Dc(), 384, 288);
    for (auto [x, y] : {std::pair{0, 0}, {100, 200}, {479, 383}, {383, 287}, {250, 300}})
        EXPECT_EQ(canvas.Pixel(x, y), tilePixel(x, y)) << x << "," << y;
    EXPECT_EQ(canvas.Pixel(480, 0), Sentinel);
    EXPECT_EQ(canvas.Pixel(0, 384), Sentinel);
    tile.Release();
}

TEST_F(BitmapTest, AnEmptyBitmapRealizesNothingAndDrawsNothing) {
    Bitmap empty;
    EXPECT_FALSE(empty.Realize(canvas.Dc()));
    empty.Draw(canvas.Dc(), 0, 0);
    empty.DrawTiled(canvas.Dc(), 100, 100);
    EXPECT_TRUE(canvas.Untouched());
    empty.Release(); // harmless on an empty bitmap
    EXPECT_EQ(empty.rampHighColor, NoRampColor);
}

TEST_F(BitmapTest, DrawingLeavesTheContextsPaletteAndMappingMode) {
    Bitmap tile;
    ASSERT_TRUE(tile.LoadFromResource(110, canvas.Dc(), Module()));
    SetMapMode(canvas.Dc(), MM_LOMETRIC);
    const HGDIOBJ paletteBefore = GetCurrentObject(canvas.Dc(), OBJ_PAL);
    tile.Draw(canvas.Dc(), 0, 0);
    tile.DrawTiled(canvas.Dc(), 10, 10);
    tile.Realize(canvas.Dc());
    EXPECT_EQ(GetMapMode(canvas.Dc()), MM_LOMETRIC);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PAL), paletteBefore);
    SetMapMode(canvas.Dc(), MM_TEXT);
    // Drawn in pixels whatever the context's mode was.
    EXPECT_EQ(canvas.Pixel(95, 0), TableColor(ColorTable(tile), IndexAt(tile, 95, 0)));
    tile.Release();
}

} // namespace
