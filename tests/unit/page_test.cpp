// The "Starting Options" page over a stand-in dialog that keeps each control's state: what the
// player sees after each click and what the settings then hold; how its backdrop and outlines
// are drawn; where the sheet goes on a small screen. What the screen shows is the end-to-end
// test's.
#include "Contract.h"
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
    int changes = 0, repaints = 0, launches = 0;
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
    void LaunchDiagnosticTool() override { ++launches; }

    // A click as the dialog delivers it: an auto check box has already turned its own mark.
    void Click(int id, int notification = 0) {
        marks[id] = !marks[id];
        page.OnCommand(notification, id);
    }
};

// A page opened on these options ticked, and no others, with "WAVE" and "Old Design" chosen;
// DirectX 7, EAX, no instrument sets.
void Open(Dialog& dialog, const std::set<int>& ticked) {
    FreeInstrumentSets();
    DirectXVersion = 0x700;
    EaxLevel = 2;
    StartupSettings = {};
    StartupSettings.musicInstrument = 1;
    StartupSettings.frameDesign = 1;
    for (const ContractRow& row : Contract)
        if (row.flag)
            StartupSettings.*row.flag = ticked.count(row.controlId);
    dialog.page.OnInitDialog();
    dialog.changes = 0;
}

// The check boxes ticked on the page, and those whose options are set.
std::set<int> Ticked(const std::map<int, int>& marks) {
    std::set<int> ticked;
    for (const ContractRow& row : Contract)
        if (row.flag && marks.count(row.controlId) && marks.at(row.controlId))
            ticked.insert(row.controlId);
    return ticked;
}

std::set<int> Set() {
    std::set<int> set;
    for (const ContractRow& row : Contract)
        if (row.flag && StartupSettings.*row.flag)
            set.insert(row.controlId);
    return set;
}

// With DirectX 7 and EAX, what each click leaves ticked; the lists keep the music choice.
TEST(Page, EachClickLeavesTheMarksEqualToTheOptionsUnderTheDirectSoundInterlocks) {
    std::set<int> defaults;
    for (const ContractRow& row : Contract)
        if (row.flag && row.defaultFromDirectX7)
            defaults.insert(row.controlId);
    const struct {
        int clicked;
        std::set<int> before;
        std::set<int> after;
    } clicks[] = {
        // A simple option turns alone.
        {IDC_AVI_MOVIE, {IDC_JOYSTICK}, {IDC_AVI_MOVIE, IDC_JOYSTICK}},
        {IDC_JOYSTICK, {IDC_JOYSTICK}, {}},
        {IDC_CONNECT_DIRECT, {IDC_BUFFER_SOFTWARE}, {IDC_CONNECT_DIRECT, IDC_BUFFER_SOFTWARE}},
        {IDC_BLOOD_EFFECT, {IDC_BLOOD_EFFECT, IDC_TIME_DISPLAY}, {IDC_TIME_DISPLAY}},
        {IDC_TIME_DISPLAY, {}, {IDC_TIME_DISPLAY}},
        // Software buffers exclude dynamic voice management and EAX, whichever way they turn.
        {IDC_BUFFER_LOCDEFER, {IDC_BUFFER_SOFTWARE}, {IDC_BUFFER_LOCDEFER}},
        {IDC_BUFFER_LOCDEFER,
         {IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE, IDC_REVERB_EFFECT},
         {IDC_REVERB_EFFECT}},
        {IDC_BUFFER_SOFTWARE, {IDC_BUFFER_LOCDEFER, IDC_REVERB_EFFECT}, {IDC_BUFFER_SOFTWARE}},
        {IDC_BUFFER_SOFTWARE, {IDC_BUFFER_SOFTWARE}, {}},
        {IDC_REVERB_EFFECT, {IDC_BUFFER_SOFTWARE}, {IDC_REVERB_EFFECT}},
        {IDC_REVERB_EFFECT, {IDC_BUFFER_LOCDEFER, IDC_REVERB_EFFECT}, {IDC_BUFFER_LOCDEFER}},
        // Without DirectSound the dependent options keep their values.
        {IDC_DIRECTSOUND_NONE,
         {IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE, IDC_REVERB_EFFECT},
         {IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE, IDC_DIRECTSOUND_NONE, IDC_REVERB_EFFECT}},
        {IDC_DIRECTSOUND_NONE, {IDC_BUFFER_LOCDEFER, IDC_DIRECTSOUND_NONE}, {IDC_BUFFER_LOCDEFER}},
        // Standard Setup: every mark and list shows the defaults at once.
        {IDC_STANDARD_SETUP, {IDC_TIME_DISPLAY, IDC_BUFFER_SOFTWARE}, defaults},
        // The diagnostic tool is started, and the options stay.
        {IDC_DIAGNOSTIC_TOOL, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
        // Labels, group boxes and ids of no control change nothing.
        {IDC_SOUND_LABEL, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
        {IDC_SOUND_FRAME, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
        {IDC_FRAME_STYLE_LABEL, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
        {IDC_FRAME_STYLE_FRAME, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
        {IDC_MUSIC_LABEL, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
        {1011, {IDC_AVI_MOVIE}, {IDC_AVI_MOVIE}},
    };
    for (const auto& click : clicks) {
        Dialog dialog;
        Open(dialog, click.before);
        dialog.Click(click.clicked);
        EXPECT_EQ(Set(), click.after) << click.clicked;
        EXPECT_EQ(Ticked(dialog.marks), click.after) << click.clicked;
        EXPECT_EQ(dialog.changes > 0, click.before != click.after) << click.clicked;
        EXPECT_EQ(dialog.launches, click.clicked == IDC_DIAGNOSTIC_TOOL) << click.clicked;
        EXPECT_EQ(dialog.selection[IDC_MUSIC], 1) << click.clicked;
        const int frameShown = click.clicked == IDC_STANDARD_SETUP ? 0 : 1;
        EXPECT_EQ(dialog.selection[IDC_FRAME_DESIGN], frameShown) << click.clicked;
    }
}

TEST(Page, AListTakesANewSelectionAndNoOtherNotification) {
    const struct {
        int list;
        int notification;
        std::uint32_t R::*choice;
        std::uint32_t chosen;
    } notices[] = {
        {IDC_MUSIC, CbnSelChange, &R::musicInstrument, 0},
        {IDC_MUSIC, 9 /* CBN_SELENDOK */, &R::musicInstrument, 1},
        {IDC_FRAME_DESIGN, CbnSelChange, &R::frameDesign, 0},
        {IDC_FRAME_DESIGN, 9, &R::frameDesign, 1},
    };
    for (const auto& notice : notices) {
        Dialog dialog;
        Open(dialog, {});
        dialog.selection[notice.list] = 0;
        dialog.page.OnCommand(notice.notification, notice.list);
        EXPECT_EQ(StartupSettings.*notice.choice, notice.chosen) << notice.list;
        EXPECT_EQ(dialog.changes, notice.notification == CbnSelChange) << notice.list;
    }
}

TEST(Page, TheSoundOptionsAreEnabledByDirectSoundDirectX7AndEax) {
    const struct {
        std::int32_t directX;
        std::int32_t eax;
        bool directSound;
        std::set<int> enabled;
    } machines[] = {
        {0x700, 1, false, {}},
        {0x700, 1, true, {IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE, IDC_REVERB_EFFECT}},
        {0x6FF, 2, true, {IDC_BUFFER_SOFTWARE, IDC_REVERB_EFFECT}},
        {0x700, 0, true, {IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE}},
        {0, 0, true, {IDC_BUFFER_SOFTWARE}},
    };
    for (const auto& machine : machines) {
        for (bool clicked : {false, true}) { // on opening, and after DirectSound is turned
            Dialog dialog;
            StartupSettings = {};
            StartupSettings.directSoundNone = machine.directSound == clicked;
            DirectXVersion = machine.directX;
            EaxLevel = machine.eax;
            dialog.page.OnInitDialog();
            if (clicked)
                dialog.Click(IDC_DIRECTSOUND_NONE);
            std::set<int> enabled;
            for (const auto& [id, on] : dialog.enabled)
                if (on)
                    enabled.insert(id);
            EXPECT_EQ(enabled, machine.enabled) << machine.directX << " " << machine.eax;
            EXPECT_EQ(dialog.shown.at(IDC_REVERB_EFFECT), machine.eax != 0);
            EXPECT_GT(dialog.repaints, 0);
        }
    }
}

// System colours, and a backdrop tile that remembers the colours it was last built with.
struct Backdrop : PaintingApi, BackdropTile {
    std::map<int, ColorRef> colors = {
        {SysColor3dShadow, 0x808080},
        {SysColor3dHilight, 0xFFFFFF},
        {SysColor3dLight, 0xDFDFDF},
    };
    ColorRef high = NoColor, low = NoColor;
    std::pair<ColorRef, ColorRef> built;
    bool loaded = false;
    int builds = 0;
    // Pixels drawn, by where, with the colour of the pen they were drawn with.
    std::map<std::pair<int, int>, ColorRef> pixels;
    PenHandle pen = 0;
    int x = 0, y = 0, pens = 0;

    ColorRef GetSysColor(int index) override { return colors.at(index); }
    PenHandle CreateSolidPen(ColorRef color) override {
        ++pens;
        return color + 1;
    }
    PenHandle SelectPen(PenHandle selected) override { return std::exchange(pen, selected); }
    void DeletePen(PenHandle) override { --pens; }
    void MoveTo(int toX, int toY) override { x = toX, y = toY; }
    void LineTo(int toX, int toY) override { // straight lines only, without their end point
        for (; x != toX || y != toY; x += (toX > x) - (toX < x), y += (toY > y) - (toY < y))
            pixels[{x, y}] = static_cast<ColorRef>(pen - 1);
    }
    bool IsLoaded() const override { return loaded; }
    void Load() override {
        loaded = true;
        ++builds;
        built = {high, low};
    }
    void Release() override { loaded = false; }
    void SetRamp(ColorRef h, ColorRef l) override { high = h, low = l; }
    void DrawTiled(int, int) override {}
};

TEST(Page, TheBackdropIsRebuiltOnlyWhenTheShadowOrTheMeanOfTheLightColoursMoves) {
    Backdrop backdrop;
    BackdropColorCache cache;
    const struct {
        int color;
        ColorRef value;
        bool rebuilt;
        ColorRef light; // the ramp's high colour
        ColorRef shadow;
    } paints[] = {
        {SysColor3dShadow, 0x808080, true, 0xEFEFEF, 0x808080}, // the first paint
        {SysColor3dShadow, 0x808080, false, 0xEFEFEF, 0x808080},
        {5 /* COLOR_WINDOW */, 0x123456, false, 0xEFEFEF, 0x808080},
        {SysColor3dLight, 0xE0E0E0, false, 0xEFEFEF, 0x808080}, // (255 + 224) / 2 is 239 too
        {SysColor3dShadow, 0x404040, true, 0xEFEFEF, 0x404040},
        {SysColor3dLight, 0xC0C0C0, true, 0xDFDFDF, 0x404040}, // (255 + 192) / 2 drops its half
        {SysColor3dHilight, 0x0000FF, true, 0x6060DF, 0x404040},
    };
    for (const auto& paint : paints) {
        backdrop.colors[paint.color] = paint.value;
        const int builds = backdrop.builds;
        PaintBackdrop(backdrop, backdrop, cache, 538, 525);
        EXPECT_EQ(backdrop.builds > builds, paint.rebuilt) << paint.color << " " << paint.value;
        EXPECT_EQ(backdrop.built, std::make_pair(paint.light, paint.shadow)) << paint.value;
    }
}

TEST(Page, TheRampRisesFromTheShadowToTheLightColourInEntriesTenToThirtyOne) {
    std::uint8_t table[ColorTableBytes] = {};
    ApplyRamp(table, 0x002C6EDC, 0x00160842); // high (220, 110, 44), low (66, 8, 22): RGB
    const struct {
        int entry;
        int red, green, blue;
    } entries[] = {
        {9, 0, 0, 0},       // before the ramp: untouched
        {10, 63, 7, 21},    // its first entry: 21/22 of the low colour
        {20, 133, 54, 31},  // between: 10/22 of the high colour and 11/22 of the low one
        {31, 210, 105, 42}, // its last entry: 21/22 of the high colour
        {32, 0, 0, 0},      // after the ramp: untouched
    };
    for (const auto& entry : entries) {
        const std::uint8_t* quad = table + 4 * entry.entry; // blue, green, red, reserved
        EXPECT_EQ(quad[2], entry.red) << entry.entry;
        EXPECT_EQ(quad[1], entry.green) << entry.entry;
        EXPECT_EQ(quad[0], entry.blue) << entry.entry;
        EXPECT_EQ(quad[3], 0) << entry.entry;
    }
}

// The "Sound" group: its hidden frame from (10, 200) to (310, 330), its label from 20 to 60.
TEST(Page, AGroupOutlineIsEtchedAroundItsFrameAndOpenUnderItsLabel) {
    Backdrop painting;
    DrawGroupOutline(painting, {10, 200, 310, 330}, {20, 200, 60, 213});
    constexpr ColorRef dark = 0x808080, light = 0xFFFFFF, none = NoColor;
    const struct {
        int x, y;
        ColorRef color;
    } pixels[] = {
        {10, 205, dark},   // the top left corner: dark outside,
        {11, 206, light},  // light inside
        {20, 205, dark},   // the label's left edge is drawn on the dark top line,
        {20, 206, light},  // and on the light one
        {21, 205, none},   // between the label's edges nothing is drawn, on the dark line
        {59, 206, none},   // nor on the light one
        {60, 205, dark},   // the label's right edge, on the dark line,
        {60, 206, light},  // and on the light one
        {309, 205, dark},  // the right edge: dark inside,
        {310, 205, light}, // light outside
        {10, 329, dark},   // the bottom left corner: dark inside,
        {10, 330, light},  // light outside
        {160, 329, dark},  // the bottom edge: dark inside,
        {160, 330, light}, // light outside
        {160, 204, none},  // nothing above the top
        {311, 260, none},  // nor beyond the right
    };
    for (const auto& pixel : pixels) {
        const auto drawn = painting.pixels.find({pixel.x, pixel.y});
        const ColorRef color = drawn == painting.pixels.end() ? none : drawn->second;
        EXPECT_EQ(color, pixel.color) << pixel.x << ", " << pixel.y;
    }
    EXPECT_EQ(painting.pen, 0u) << "the previous pen selected back";
    EXPECT_EQ(painting.pens, 0) << "both pens deleted";
}

// A bitmap resource is copied whole, rows padded to 4 bytes, or refused; never read past its end.
TEST(Page, OnlyAWholeEightBitBitmapResourceIsCopied) {
    const std::int64_t tile = 40 + 1024 + 96 * 96; // the backdrop as shipped
    const struct {
        std::uint32_t resourceSize, headerSize;
        int bitsPerPixel, width, height;
        std::int64_t copied;
    } resources[] = {
        {tile, 40, 8, 96, 96, tile},                   // the tile as shipped
        {tile + 9, 40, 8, 93, 96, tile},               // rows of 93 padded to 96
        {tile - 1, 40, 8, 96, 96, -1},                 // cut a byte short
        {tile, 40, 4, 96, 96, -1},                     // 4 bits per pixel
        {tile, 40, 24, 96, 96, -1},                    // 24 bits per pixel
        {tile, 12, 8, 96, 96, -1},                     // a header shorter than the one read
        {tile, 40, 8, 0, 96, -1},                      // no width
        {tile, 40, 8, 96, -96, -1},                    // top-down rows
        {tile, 40, 8, 96, 0, -1},                      // no height
        {UINT32_MAX, 40, 8, INT32_MAX, INT32_MAX, -1}, // a size past any count
    };
    for (const auto& r : resources)
        EXPECT_EQ(BitmapCopySize(r.resourceSize, r.headerSize, r.bitsPerPixel, r.width, r.height),
                  r.copied)
            << r.resourceSize << " " << r.bitsPerPixel;
}

// Once it has its size the sheet lies in the work area of its screen, moved no further than it
// must: 566 x 620 at 150%, on a Steam Deck's 1280 x 800 or beside a task bar on the left and top.
TEST(Page, TheSheetMovesOnlyAsFarAsItMustToLieInTheWorkArea) {
    const PixelRect deck = {0, 0, 1280, 800};
    const PixelRect bars = {60, 40, 1024, 768};
    const struct {
        PixelRect sheet, workArea, fitted;
    } placements[] = {
        {{357, 228, 923, 848}, deck, {357, 180, 923, 800}}, // below the bottom: up
        {{357, 100, 923, 720}, deck, {357, 100, 923, 720}}, // fits: stays
        {{900, -30, 1466, 590}, deck, {714, 0, 1280, 620}}, // past the right and top
        {{20, 20, 586, 640}, bars, {60, 40, 626, 660}},
        {{-100, 300, 1100, 1200}, bars, {60, 40, 1260, 940}}, // larger: its top left
    };
    auto corners = [](PixelRect r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); };
    for (const auto& placement : placements)
        EXPECT_EQ(corners(FitInside(placement.sheet, placement.workArea)),
                  corners(placement.fitted))
            << placement.sheet.left;
}

} // namespace
