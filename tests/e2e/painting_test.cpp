// The page as a person sees it on the screen: the backdrop tile recoloured from the system's 3-D
// colours and repeated every 96 pixels, the header picture at (20, 9), the etched outlines of
// the two groups with their gaps under the labels, and the backdrop following a change of the
// system colours. Expected pixels come from the bitmaps stored in the program file itself.
#include "harness/KestProcess.h"
#include "harness/Pixels.h"
#include "harness/Registry.h"
#include "harness/Sheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int BackdropId = 110;
constexpr int HeaderId = 109;
constexpr int HeaderX = 20;
constexpr int HeaderY = 9;

constexpr int SoundFrame = 1002;
constexpr int SoundLabel = 1003;
constexpr int FrameStyleFrame = 1012;
constexpr int FrameStyleLabel = 1013;

const char* const ScreenshotFile = "painting-sheet.bmp";

int Red(COLORREF c) {
    return GetRValue(c);
}
int Green(COLORREF c) {
    return GetGValue(c);
}
int Blue(COLORREF c) {
    return GetBValue(c);
}

// The tile's colour table with entries 10 to 31 rising from the shadow colour to the mean of
// the two light colours, as the current system colours ask; the divisor is 22.
std::vector<COLORREF> RecolouredTable(const IndexedBitmap& tile) {
    const COLORREF hilight = GetSysColor(COLOR_3DHILIGHT);
    const COLORREF light3d = GetSysColor(COLOR_3DLIGHT);
    const COLORREF high =
        RGB((Red(hilight) + Red(light3d)) / 2, (Green(hilight) + Green(light3d)) / 2,
            (Blue(hilight) + Blue(light3d)) / 2);
    const COLORREF low = GetSysColor(COLOR_3DSHADOW);
    std::vector<COLORREF> table = tile.colors;
    for (int k = 0; k <= 21; ++k)
        table[10 + k] = RGB((k * Red(high) + (21 - k) * Red(low)) / 22,
                            (k * Green(high) + (21 - k) * Green(low)) / 22,
                            (k * Blue(high) + (21 - k) * Blue(low)) / 22);
    return table;
}

// A control's place in page pixels, taken the way the outline painter takes it: the top left
// corner of its window, the size of its client area.
RECT PlaceOf(HWND page, HWND control) {
    RECT window = {}, client = {};
    GetWindowRect(control, &window);
    GetClientRect(control, &client);
    POINT corner = {window.left, window.top};
    ScreenToClient(page, &corner);
    return {corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

std::vector<RECT> VisibleControls(HWND page) {
    std::vector<RECT> places;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            places.push_back(PlaceOf(page, child));
    return places;
}

// One expected outline pixel.
struct OutlinePixel {
    int x;
    int y;
    bool dark;
};

// Every pixel the two pens paint for a frame and its label (LineTo leaves its end point).
std::vector<OutlinePixel> OutlinePixels(const RECT& frame, const RECT& label) {
    const int l = frame.left, r = frame.right, b = frame.bottom, t = frame.top + 5;
    const int a = label.left, e = label.right;
    std::vector<OutlinePixel> pixels;
    auto row = [&](int y, int from, int to, bool dark) {
        for (int x = from; x <= to; ++x)
            pixels.push_back({x, y, dark});
    };
    auto column = [&](int x, int from, int to, bool dark) {
        for (int y = from; y <= to; ++y)
            pixels.push_back({x, y, dark});
    };
    row(t, l, a, true);                // top, left of the label
    column(l, t, b - 2, true);         // left
    row(b - 1, l, r - 2, true);        // bottom
    column(r - 1, t + 1, b - 1, true); // right
    row(t, e, r - 1, true);            // top, right of the label
    row(t + 1, l + 2, a, false);
    column(l + 1, t + 1, b - 2, false);
    row(b, l, r - 1, false);
    column(r, t, b, false);
    row(t + 1, e, r - 2, false);
    return pixels;
}

// Pixels whose colour is the page's business alone: not a control, not the header picture,
// not on or next to an outline.
class BackdropArea {
  public:
    BackdropArea(HWND page, int width, int height)
        : width_(width), covered_(static_cast<std::size_t>(width) * height, false) {
        Cover({HeaderX, HeaderY, HeaderX + 132, HeaderY + 82});
        for (const RECT& control : VisibleControls(page))
            Cover(control);
        for (int frameId : {SoundFrame, FrameStyleFrame}) {
            const RECT frame = PlaceOf(page, GetDlgItem(page, frameId));
            const int t = frame.top + 5;
            Cover({frame.left - 1, t - 1, frame.right + 2, t + 3});
            Cover({frame.left - 1, frame.bottom - 2, frame.right + 2, frame.bottom + 2});
            Cover({frame.left - 1, t - 1, frame.left + 3, frame.bottom + 2});
            Cover({frame.right - 2, t - 1, frame.right + 2, frame.bottom + 2});
        }
    }
    bool Covered(int x, int y) const { return covered_[static_cast<std::size_t>(y) * width_ + x]; }

  private:
    void Cover(const RECT& r) {
        const int height = static_cast<int>(covered_.size()) / width_;
        for (int y = std::max(0L, r.top); y < std::min<long>(height, r.bottom); ++y)
            for (int x = std::max(0L, r.left); x < std::min<long>(width_, r.right); ++x)
                covered_[static_cast<std::size_t>(y) * width_ + x] = true;
    }

    int width_;
    std::vector<bool> covered_;
};

// Collects mismatches and names the first few.
class Mismatches {
  public:
    void Check(int x, int y, COLORREF seen, COLORREF expected, const char* what) {
        ++checked_;
        if (seen == expected)
            return;
        if (count_++ < 8)
            text_ << "\n  " << what << " at (" << x << ", " << y << "): " << ColorText(seen)
                  << ", expected " << ColorText(expected);
    }
    int Count() const { return count_; }
    int Checked() const { return checked_; }
    std::string Text() const { return text_.str(); }

  private:
    int checked_ = 0;
    int count_ = 0;
    std::ostringstream text_;
};

class Painting : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteSettingsKey();
        backdrop = ReadBitmapResource(folder.ProgramPath(), BackdropId);
        header = ReadBitmapResource(folder.ProgramPath(), HeaderId);
        ASSERT_TRUE(backdrop.has_value());
        ASSERT_TRUE(header.has_value());
        ASSERT_EQ(backdrop->width, 96);
        ASSERT_EQ(backdrop->height, 96);
        ASSERT_EQ(header->width, 132);
        ASSERT_EQ(header->height, 82);
    }
    void TearDown() override { DeleteSettingsKey(); }

    void Start() {
        program = std::make_unique<KestProcess>(folder.ProgramPath());
        sheet = std::make_unique<Sheet>(*program);
        ASSERT_TRUE(sheet->Ready()) << program->DebugText();
        page = sheet->Page();
        SetForegroundWindow(sheet->Window());
    }

    COLORREF ExpectedBackdrop(const std::vector<COLORREF>& table, int x, int y) const {
        return table[backdrop->IndexAt(x % 96, y % 96)];
    }

    // The page once it shows what `ready` waits for and two copies in a row agree, so that a
    // repaint still on its way is not taken for the result.
    template <typename Ready> ScreenCopy SettledPage(Ready ready) {
        SendMessageA(page, WM_NULL, 0, 0);
        ScreenCopy last = ScreenCopy::OfClient(page);
        for (int i = 0; i < 50; ++i) {
            Sleep(100);
            ScreenCopy next = ScreenCopy::OfClient(page);
            const bool done = next == last && ready(next);
            last = std::move(next);
            if (done)
                break;
        }
        return last;
    }
    ScreenCopy SettledPage() {
        return SettledPage([](const ScreenCopy&) { return true; });
    }
    // Waits for the backdrop's top left pixel to take the colour `table` gives it.
    ScreenCopy SettledPage(const std::vector<COLORREF>& table) {
        const COLORREF corner = ExpectedBackdrop(table, 0, 0);
        return SettledPage([corner](const ScreenCopy& copy) { return copy.At(0, 0) == corner; });
    }

    // Every backdrop pixel against the tile, repeated from the page's top left corner.
    void ExpectBackdrop(const ScreenCopy& shown, const std::vector<COLORREF>& table) {
        ASSERT_GT(shown.Width(), 2 * 96);
        ASSERT_GT(shown.Height(), 2 * 96);
        const BackdropArea area(page, shown.Width(), shown.Height());
        Mismatches mismatches;
        // Each tile the page shows has pixels of its own checked, so the period is seen.
        const int columns = (shown.Width() + 95) / 96, rows = (shown.Height() + 95) / 96;
        std::vector<int> perTile(static_cast<std::size_t>(columns) * rows, 0);
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x)
                if (!area.Covered(x, y)) {
                    mismatches.Check(x, y, shown.At(x, y), ExpectedBackdrop(table, x, y),
                                     "backdrop");
                    ++perTile[static_cast<std::size_t>(y / 96) * columns + x / 96];
                }
        EXPECT_EQ(mismatches.Count(), 0) << mismatches.Count() << " of " << mismatches.Checked()
                                         << " backdrop pixels differ:" << mismatches.Text();
        EXPECT_GT(mismatches.Checked(), shown.Width() * shown.Height() / 3);
        for (int tile = 0; tile < columns * rows; ++tile)
            EXPECT_GT(perTile[tile], 100) << "tile " << tile % columns << ", " << tile / columns;
    }

    // The dark and light lines of one group; the label's gap holds no outline colour.
    void ExpectOutline(const ScreenCopy& shown, int frameId, int labelId,
                       const std::vector<COLORREF>& table) {
        const RECT frame = PlaceOf(page, GetDlgItem(page, frameId));
        const RECT label = PlaceOf(page, GetDlgItem(page, labelId));
        ASSERT_LT(frame.left, label.left);
        ASSERT_LT(label.right, frame.right);
        ASSERT_LE(frame.bottom, shown.Height());
        ASSERT_LE(frame.right + 1, shown.Width());
        const COLORREF dark = GetSysColor(COLOR_3DSHADOW);
        const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
        // The label is drawn after the outline, so its text may cover the line's end at its
        // left edge; the ends are checked with the label hidden.
        Mismatches lines;
        for (const OutlinePixel& p : OutlinePixels(frame, label))
            if (!Inside(label, p.x, p.y))
                lines.Check(p.x, p.y, shown.At(p.x, p.y), p.dark ? dark : light,
                            p.dark ? "dark line" : "light line");
        EXPECT_EQ(lines.Count(), 0) << lines.Count() << " of " << lines.Checked()
                                    << " outline pixels differ:" << lines.Text();

        // Strictly between the label's edges the label's text or the backdrop shows. Smoothed
        // text may hit an outline colour here and there; a line drawn on through the gap would
        // hit it all along.
        const int t = frame.top + 5;
        const int width = label.right - label.left - 1;
        int backdropSeen = 0;
        for (int y : {t, t + 1}) {
            const COLORREF line = y == t ? dark : light;
            int lineSeen = 0;
            for (int x = label.left + 1; x < label.right; ++x) {
                backdropSeen += shown.At(x, y) == ExpectedBackdrop(table, x, y);
                lineSeen += shown.At(x, y) == line;
            }
            EXPECT_LE(lineSeen, width / 4) << "the outline runs on under the label in row " << y;
        }
        EXPECT_GT(backdropSeen, 0) << "no backdrop in the gap under the label";
    }

    // Unpainted exactly strictly between the label's edges, once the label is out of the way.
    void ExpectGapWithoutLabel(int frameId, int labelId, const std::vector<COLORREF>& table) {
        HWND labelWindow = GetDlgItem(page, labelId);
        const RECT frame = PlaceOf(page, GetDlgItem(page, frameId));
        const RECT label = PlaceOf(page, labelWindow);
        const int t = frame.top + 5;
        const COLORREF dark = GetSysColor(COLOR_3DSHADOW);
        const COLORREF light = GetSysColor(COLOR_3DHILIGHT);

        ShowWindow(labelWindow, SW_HIDE);
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const ScreenCopy shown = SettledPage();
        ShowWindow(labelWindow, SW_SHOW);

        Mismatches gap;
        gap.Check(label.left, t, shown.At(label.left, t), dark, "label's left edge");
        gap.Check(label.left, t + 1, shown.At(label.left, t + 1), light, "label's left edge");
        gap.Check(label.right, t, shown.At(label.right, t), dark, "label's right edge");
        gap.Check(label.right, t + 1, shown.At(label.right, t + 1), light, "label's right edge");
        for (int y : {t, t + 1})
            for (int x = label.left + 1; x < label.right; ++x)
                gap.Check(x, y, shown.At(x, y), ExpectedBackdrop(table, x, y), "gap");
        EXPECT_EQ(gap.Count(), 0) << gap.Count() << " of " << gap.Checked()
                                  << " pixels of the gap and its ends differ:" << gap.Text();
    }

    ScratchFolder folder;
    std::optional<IndexedBitmap> backdrop;
    std::optional<IndexedBitmap> header;
    std::unique_ptr<KestProcess> program;
    std::unique_ptr<Sheet> sheet;
    HWND page = nullptr;
};

TEST_F(Painting, PageShowsTheTiledBackdropTheHeaderAndTheEtchedGroups) {
    DeleteFileA(ScreenshotFile);
    const WineDrawnWindowFrames withCaption;
    Start();
    const std::vector<COLORREF> table = RecolouredTable(*backdrop);
    // The program recolours only entries 10 to 31, so those must have moved for the check to
    // tell a recoloured tile from the stored one.
    int moved = 0;
    for (int i = 10; i <= 31; ++i)
        moved += table[i] != backdrop->colors[i];
    ASSERT_GT(moved, 11);

    const ScreenCopy shown = SettledPage(table);

    // For a person to look at; the test run turns it into a PNG.
    char screenshot[MAX_PATH] = {};
    GetFullPathNameA(ScreenshotFile, MAX_PATH, screenshot, nullptr);
    EXPECT_TRUE(ScreenCopy::OfWindow(sheet->Window()).SaveBmp(screenshot));
    std::printf("Sheet screenshot: %s\n", screenshot);

    ExpectBackdrop(shown, table);

    // The picture at (20, 9) in its own colours, where no control stands over it.
    Mismatches picture;
    const std::vector<RECT> controls = VisibleControls(page);
    for (int y = 0; y < header->height; ++y)
        for (int x = 0; x < header->width; ++x) {
            const bool underControl =
                std::any_of(controls.begin(), controls.end(), [&](const RECT& control) {
                    return Inside(control, HeaderX + x, HeaderY + y);
                });
            if (!underControl)
                picture.Check(HeaderX + x, HeaderY + y, shown.At(HeaderX + x, HeaderY + y),
                              header->ColorAt(x, y), "header");
        }
    EXPECT_EQ(picture.Count(), 0) << picture.Count() << " of " << picture.Checked()
                                  << " header pixels differ:" << picture.Text();
    EXPECT_GT(picture.Checked(), header->width * header->height * 9 / 10);

    ExpectOutline(shown, SoundFrame, SoundLabel, table);
    ExpectOutline(shown, FrameStyleFrame, FrameStyleLabel, table);
    ExpectGapWithoutLabel(SoundFrame, SoundLabel, table);
}

TEST_F(Painting, BackdropAndOutlinesFollowTheSystemColours) {
    Start();
    const std::vector<COLORREF> before = RecolouredTable(*backdrop);
    SettledPage(before);
    {
        SystemColorChange shadow(program->ProcessId(), {{COLOR_3DSHADOW, RGB(40, 80, 160)}});
        ASSERT_TRUE(shadow.Ok());
        const std::vector<COLORREF> table = RecolouredTable(*backdrop);
        ASSERT_NE(ExpectedBackdrop(table, 0, 0), ExpectedBackdrop(before, 0, 0));
        const ScreenCopy shown = SettledPage(table);
        ExpectBackdrop(shown, table);
        ExpectOutline(shown, SoundFrame, SoundLabel, table);
        {
            // Only the mean of the two light colours counts: this one moves it.
            SystemColorChange light(program->ProcessId(), {{COLOR_3DLIGHT, RGB(120, 200, 90)}});
            ASSERT_TRUE(light.Ok());
            const std::vector<COLORREF> lighter = RecolouredTable(*backdrop);
            ASSERT_NE(ExpectedBackdrop(lighter, 0, 0), ExpectedBackdrop(table, 0, 0));
            ExpectBackdrop(SettledPage(lighter), lighter);
        }
    }
    // Set back, the page shows the colours it started with.
    ExpectBackdrop(SettledPage(before), before);
}

} // namespace
