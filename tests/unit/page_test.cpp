// The "Starting Options" page over a stand-in dialog that keeps each control's state: what the
// player sees after each click, and what the settings then hold; and when its backdrop is
// rebuilt. What the screen shows is the end-to-end test's.
#include "Doubles.h"
#include "midi/InstrumentSets.h"
#include "settings/StartupSettings.h"
#include "ui/BitmapMath.h"
#include "ui/PagePainting.h"
#include "ui/SheetPlacement.h"
#include "ui/StartingOptions.h"

#include <gtest/gtest.h>

namespace {

struct Dialog : PageControls, PageServices {
    std::map<int, int> marks, enabled, shown, selection, items;
    int changes = 0, repaints = 0;
    StartingOptionsLogic page{*this, *this};

    void SetCheck(int id, int flag) override { marks[id] = flag; }
    void ReportChange() override { ++changes; }
    void Enable(int id, bool on) override { enabled[id] = on; }
    void Show(int id, bool on) override { shown[id] = on; }
    void InvalidateSoundArea() override { ++repaints; }
    bool HasControl(int) override { return true; }
    int ComboAddString(int id, const char*) override { return items[id]++; }
    void ComboSetItemData(int, int, std::uint32_t) override {}
    int ComboGetCount(int id) override { return items[id]; }
    int ComboGetCurSel(int id) override { return selection[id]; }
    void ComboSetCurSel(int id, int index) override { selection[id] = index; }
    void LaunchDiagnosticTool() override {}
};

// The nine check boxes in the page's order, and their options.
const std::vector<int> Boxes = {1004, 1008, 1017, 1016, 1015, 1005, 1007, 1006, 1009};
StartupSettingsRecord& S = StartupSettings;
std::uint8_t* const Flags[] = {&S.aviMovie,       &S.joystick,        &S.connectDirect,
                               &S.bloodEffect,    &S.timeDisplay,     &S.bufferLocDefer,
                               &S.bufferSoftware, &S.directSoundNone, &S.reverbEffect};

// Controls' states as a string of 0 and 1.
std::string Bits(std::map<int, int>& states, const std::vector<int>& ids = Boxes) {
    std::string text;
    for (int id : ids)
        text += static_cast<char>('0' + states[id]);
    return text;
}

// Clicks one control on a page showing `before`, as the dialog delivers it.
Dialog& Click(Dialog& dialog, int id, const char* before, int notification = 0) {
    for (int i = 0; i < 9; ++i) { // an auto check box has turned its own mark already
        *Flags[i] = before[i] == '1';
        dialog.marks[Boxes[i]] = *Flags[i] ^ (Boxes[i] == id);
    }
    dialog.page.OnCommand(notification, id);
    return dialog;
}

TEST(Page, EachClickLeavesTheMarksEqualToTheOptionsUnderTheInterlocks) {
    // clang-format off
    const struct Case { int id; const char *before, *after; } cases[] = {
        // Software buffers exclude dynamic voice management and EAX, whichever way they turn.
        {1005, "110100100", "110101000"}, {1005, "110101101", "110100001"},
        {1007, "110101001", "110100100"}, {1007, "110100100", "110100000"},
        {1009, "110100100", "110100001"}, {1009, "110101001", "110101000"},
        // Without DirectSound the dependent options keep their values.
        {1006, "110101101", "110101111"}, {1006, "110101111", "110101101"},
        // Labels, group boxes and other ids do nothing.
        {1002, "110101001", "110101001"}, {1003, "110101001", "110101001"},
        {1011, "110101001", "110101001"}, {1012, "110101001", "110101001"},
        {1013, "110101001", "110101001"}, {999, "110101001", "110101001"},
        {1018, "110101001", "110101001"},
        // Standard Setup: every mark shows the defaults (DirectX 7) at once.
        {1000, "001010110", "110101001"}};
    // clang-format on
    for (const Case& c : cases) {
        DirectXVersion = 0x700, S.musicInstrument = S.frameDesign = 0;
        Dialog dialog;
        Click(dialog, c.id, c.before);
        std::string options; // as a string of 0 and 1
        for (std::uint8_t* flag : Flags)
            options += static_cast<char>('0' + *flag);
        EXPECT_EQ(options, c.after) << c.id << " from " << c.before;
        EXPECT_EQ(Bits(dialog.marks), c.after) << c.id << " from " << c.before;
        EXPECT_EQ(dialog.changes > 0, c.id == 1000 || std::count(Boxes.begin(), Boxes.end(), c.id));
        EXPECT_EQ(S.musicInstrument + S.frameDesign, 0u) << c.id;
    }
    // A list's choice changes with its selection, not with its other notifications.
    Dialog lists;
    lists.selection[1010] = 3, lists.selection[1014] = 1;
    for (int notification : {9 /* CBN_SELENDOK */, CbnSelChange})
        for (int id : {1010, 1014})
            Click(lists, id, "110101001", notification);
    EXPECT_EQ(S.musicInstrument * 10 + S.frameDesign, 31u);
    EXPECT_EQ(lists.changes, 2);
    Click(lists, 1000, "110101001"); // Standard Setup: the lists too, keeping the music
    EXPECT_EQ(Bits(lists.selection, {1010, 1014}), "30");
}

TEST(Page, TheSoundOptionsAreEnabledByDirectSoundDirectX7AndEax) {
    struct Case {
        int directX, eax;
        const char *before, *enabled; // enabled: 1005, 1007, 1009
    };
    for (const Case& c : {Case{0x700, 1, "110101101", "000"}, Case{0x700, 1, "110101111", "111"},
                          Case{0x6FF, 2, "110101111", "011"}, Case{0x700, 0, "110101111", "110"},
                          Case{0, 0, "110101111", "010"}}) {
        DirectXVersion = c.directX, EaxLevel = c.eax;
        Dialog clicked, opened;
        EXPECT_EQ(Bits(Click(clicked, 1006, c.before).enabled, {1005, 1007, 1009}), c.enabled)
            << c.directX << " " << c.eax;
        EXPECT_GT(clicked.repaints, 0);
        opened.page.OnInitDialog();
        EXPECT_EQ(Bits(opened.enabled, {1005, 1007, 1009}), c.enabled)
            << c.directX << " " << c.eax << " on opening";
        EXPECT_EQ(opened.shown.at(1009), c.eax != 0);
    }
}

// System colours, and a backdrop tile that remembers the colours it was last built with.
struct Backdrop : PaintingApi, BackdropTile {
    std::map<int, ColorRef> colors = {{16, 0x808080}, {20, 0xFFFFFF}, {22, 0xDFDFDF}};
    ColorRef high = NoColor, low = NoColor;
    std::pair<ColorRef, ColorRef> built;
    bool loaded = false;
    int builds = 0;

    ColorRef GetSysColor(int index) override { return colors.at(index); }
    PenHandle CreateSolidPen(ColorRef) override { return 0; }
    PenHandle SelectPen(PenHandle) override { return 0; }
    void DeletePen(PenHandle) override {}
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    bool IsLoaded() const override { return loaded; }
    void Load() override { loaded = true, ++builds, built = {high, low}; }
    void Release() override { loaded = false; }
    void SetRamp(ColorRef h, ColorRef l) override { high = h, low = l; }
    void DrawTiled(int, int) override {}
};

TEST(Page, TheBackdropIsRebuiltOnlyWhenTheShadowOrTheMeanOfTheLightColoursMoves) {
    Backdrop backdrop;
    BackdropColorCache cache;
    const std::pair<std::pair<int, ColorRef>, bool> steps[] = {
        {{16, 0x808080}, true}, // the first paint builds the recoloured tile
        {{16, 0x808080}, false}, {{5, 0x123456}, false},
        {{22, 0xE0E0E0}, false}, // the same mean: (255 + 224) / 2 is 239 as well
        {{16, 0x404040}, true},  {{22, 0x102030}, true},
        {{20, 0x0000FF}, true}};
    for (const auto& [color, rebuilt] : steps) {
        backdrop.colors[color.first] = color.second;
        const int builds = backdrop.builds;
        PaintBackdrop(backdrop, backdrop, cache, 538, 525);
        EXPECT_EQ(backdrop.builds > builds, rebuilt) << color.first << " " << color.second;
        EXPECT_EQ(backdrop.built,
                  std::make_pair(MeanColor(backdrop.colors[20], backdrop.colors[22]),
                                 backdrop.colors[16]));
    }
}

// A bitmap resource is copied whole, rows padded to 4 bytes, or refused; never read past its end.
TEST(Page, OnlyAWholeEightBitBitmapResourceIsCopied) {
    const std::int64_t tile = 40 + 1024 + 96 * 96; // the backdrop as shipped
    // resource size, header size, bits per pixel, width, height: bytes copied
    const std::tuple<std::uint32_t, std::uint32_t, int, int, int, std::int64_t> cases[] = {
        {tile, 40, 8, 96, 96, tile},   {tile + 9, 40, 8, 93, 96, tile},
        {tile - 1, 40, 8, 96, 96, -1}, {tile, 40, 4, 96, 96, -1},
        {tile, 40, 24, 96, 96, -1},    {tile, 12, 8, 96, 96, -1},
        {tile, 40, 8, 0, 96, -1},      {tile, 40, 8, 96, -96, -1}, // top-down rows
        {tile, 40, 8, 96, 0, -1},      {UINT32_MAX, 40, 8, INT32_MAX, INT32_MAX, -1}};
    for (const auto& [size, header, bits, width, height, copied] : cases)
        EXPECT_EQ(BitmapCopySize(size, header, bits, width, height), copied) << size << " " << bits;
}

// Once it has its size the sheet lies in the work area of its screen, moved no further than it
// must: 566 x 620 at 150%, on a Steam Deck's 1280 x 800 or beside a task bar on the left and top.
TEST(Page, TheSheetMovesOnlyAsFarAsItMustToLieInTheWorkArea) {
    const PixelRect deck = {0, 0, 1280, 800}, bars = {60, 40, 1024, 768};
    const struct {
        PixelRect sheet, workArea, fitted;
    } cases[] = {{{357, 228, 923, 848}, deck, {357, 180, 923, 800}}, // below the bottom: up
                 {{357, 100, 923, 720}, deck, {357, 100, 923, 720}}, // fits: stays
                 {{900, -30, 1466, 590}, deck, {714, 0, 1280, 620}}, // past the right and top
                 {{20, 20, 586, 640}, bars, {60, 40, 626, 660}},
                 {{-100, 300, 1100, 1200}, bars, {60, 40, 1260, 940}}}; // larger: its top left
    auto corners = [](PixelRect r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); };
    for (const auto& c : cases)
        EXPECT_EQ(corners(FitInside(c.sheet, c.workArea)), corners(c.fitted)) << c.sheet.left;
}

} // namespace
