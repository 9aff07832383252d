// The program as the player meets it, under Wine (DirectX 7, no EAX): the page as the screen
// shows it, what the clicks do, what lands in the registry for the games, and a running game.
// Expected colours come from the bitmaps stored in the program file itself.
#include "harness/KestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// An 8-bit bitmap resource of the program: its colour table and an index per pixel.
struct Indexed {
    int width = 0, height = 0;
    std::vector<COLORREF> colors;
    std::vector<BYTE> rows; // bottom-up, each padded to four bytes
    COLORREF At(int x, int y) const {
        return colors[rows[(height - 1 - y) * ((width + 3) & ~3) + x]];
    }
};

Indexed Resource(int id) {
    Indexed bitmap;
    HMODULE file = LoadLibraryExA(ProgramUnderTest().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        found ? LockResource(LoadResource(file, found)) : nullptr);
    if (header && header->biBitCount == 8) {
        bitmap.width = header->biWidth;
        bitmap.height = header->biHeight;
        const auto* table = reinterpret_cast<const RGBQUAD*>(header + 1);
        for (int i = 0; i < 256; ++i)
            bitmap.colors.push_back(RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
        const auto* pixels = reinterpret_cast<const BYTE*>(table + 256);
        bitmap.rows.assign(pixels, pixels + ((bitmap.width + 3) & ~3) * bitmap.height);
    }
    FreeLibrary(file);
    return bitmap;
}

// The page's client area as the screen shows it, one colour per pixel.
struct Shot {
    explicit Shot(HWND page) {
        RECT client;
        GetClientRect(page, &client);
        POINT origin = {0, 0};
        ClientToScreen(page, &origin);
        width = client.right, height = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        const auto* rgb = static_cast<const DWORD*>(bits); // 0x00RRGGBB, unlike a COLORREF
        for (int i = 0; i < width * height; ++i)
            pixels.push_back(RGB(rgb[i] >> 16, rgb[i] >> 8, rgb[i]));
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    int width, height;
    std::vector<COLORREF> pixels;
};

// A control's place in page pixels.
RECT Place(HWND page, HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

TEST(Player, AFreshAccountSeesThePagePaintedAndCancelSavesNothing) {
    Indexed tile = Resource(110);
    const Indexed header = Resource(109);
    ASSERT_EQ(std::make_pair(tile.width, tile.height), std::make_pair(96, 96));
    ASSERT_EQ(std::make_pair(header.width, header.height), std::make_pair(132, 82));
    // Entries 10 to 31 rise from the shadow colour to the mean of the two light colours.
    const COLORREF hilight = GetSysColor(COLOR_3DHILIGHT), light = GetSysColor(COLOR_3DLIGHT),
                   shadow = GetSysColor(COLOR_3DSHADOW);
    for (int k = 0; k <= 21; ++k) {
        tile.colors[10 + k] = 0;
        for (int shift : {0, 8, 16}) {
            const int high = ((hilight >> shift & 0xFF) + (light >> shift & 0xFF)) / 2;
            tile.colors[10 + k] |= (k * high + (21 - k) * (shadow >> shift & 0xFF)) / 22 << shift;
        }
    }
    Folder folder;
    Kest kest(folder.program);
    Sheet sheet(kest);
    ASSERT_TRUE(sheet.page);
    std::vector<COLORREF> before;
    Shot shot(sheet.page);
    for (int i = 0; i < 50 && (shot.pixels != before || shot.pixels[0] != tile.At(0, 0)); ++i) {
        Sleep(100); // until painted and settled
        before = std::exchange(shot, Shot(sheet.page)).pixels;
    }

    // Every pixel the page paints itself, where no control stands: first the outlines, each
    // line dark outside on the top and left and inside on the bottom and right, light the
    // other way, open under the label; then the header; the backdrop everywhere else.
    std::map<std::pair<LONG, LONG>, COLORREF> expected;
    for (const auto& [frameId, labelId] : {std::pair{1002, 1003}, {1012, 1013}}) {
        const RECT f = Place(sheet.page, sheet.Control(frameId));
        const RECT label = Place(sheet.page, sheet.Control(labelId));
        const LONG t = f.top + 5, a = label.left, b = label.right;
        const struct {
            bool dark, row;
            LONG at, from, to;
        } lines[] = {{false, false, f.right, t, f.bottom},
                     {false, true, f.bottom, f.left, f.right - 1},
                     {true, false, f.right - 1, t + 1, f.bottom - 1},
                     {true, true, f.bottom - 1, f.left, f.right - 2},
                     {false, false, f.left + 1, t + 1, f.bottom - 2},
                     {true, false, f.left, t, f.bottom - 2},
                     {false, true, t + 1, f.left + 2, a},
                     {false, true, t + 1, b, f.right - 2},
                     {true, true, t, f.left, a},
                     {true, true, t, b, f.right - 1}};
        for (const auto& line : lines)
            for (LONG i = line.from; i <= line.to; ++i)
                expected[line.row ? std::pair{i, line.at} : std::pair{line.at, i}] =
                    GetSysColor(line.dark ? COLOR_3DSHADOW : COLOR_3DHILIGHT);
        for (LONG x = a + 1; x < b; ++x)
            for (LONG y : {t, t + 1})
                expected[{x, y}] = CLR_INVALID; // the label's, but no outline colour all along
    }
    for (LONG y = 0; y < header.height; ++y)
        for (LONG x = 0; x < header.width; ++x)
            expected.insert({{20 + x, 9 + y}, header.At(x, y)});
    for (LONG y = 0; y < shot.height; ++y)
        for (LONG x = 0; x < shot.width; ++x)
            expected.insert({{x, y}, tile.At(x % 96, y % 96)});
    for (HWND child = GetWindow(sheet.page, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT place = Place(sheet.page, child);
        for (LONG y = place.top; IsWindowVisible(child) && y < place.bottom; ++y)
            for (LONG x = place.left; x < place.right; ++x)
                if (expected[{x, y}] != CLR_INVALID)
                    expected.erase({x, y});
    }
    int wrong = 0, underLabels = 0;
    for (const auto& [point, color] : expected) {
        const COLORREF shown = shot.pixels.at(point.second * shot.width + point.first);
        wrong += color != CLR_INVALID && shown != color;
        underLabels += color == CLR_INVALID && (shown == GetSysColor(COLOR_3DSHADOW));
    }
    EXPECT_EQ(wrong, 0) << "of " << expected.size();
    EXPECT_GT(expected.size(), shot.pixels.size() / 2);
    EXPECT_LT(underLabels, 20);
    sheet.Press(PSBTN_CANCEL);
    EXPECT_EQ(kest.Exit(), 0u);
    EXPECT_EQ(Stored(), "");
}

TEST(Player, StoredValuesSetsAndClicksThenApplyAndOkWriteWhatThePageShows) {
    Folder folder;
    auto store = [](const char* name, DWORD type, const std::string& data) {
        RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, name, type, data.data(), data.size());
    };
    auto dword = [](char value) { return std::string{value, 0, 0, 0}; };
    store("Joystick", REG_DWORD, dword(2)); // a flag is its lowest bit
    store("Mirel's clock", REG_DWORD, dword(3));
    store("Frame design", REG_DWORD, dword(2));     // past the list, kept
    store("Music instrument", REG_DWORD, dword(7)); // fitted to the two sets
    store("DirectSoundBuffer software", REG_DWORD, dword(1));
    store("AVI movie", REG_BINARY, std::string(1, '\0'));         // short data is a number,
    store("Connect Kest2 direct", REG_SZ, dword(1).substr(0, 2)); // whatever its type,
    store("DirectSound none", REG_QWORD, dword(1) + dword(0));    // longer data is not
    folder.Write("MIDI\\Alpha\\program.txt", "instrument \"Alpha\"\r\n1 \"alpha.dls\"\r\n");
    folder.Write("MIDI\\Blank\\program.txt", "Instrument \"\"\r\n");
    folder.Write("MIDI\\.hidden\\program.txt", "instrument \"Hidden\"\r\n");
    folder.Write("MIDI\\Nameless\\program.txt", "1 \"one\"\r\n");
    folder.Write("MIDI\\loose.txt", "instrument \"Loose\"\r\n");
    Kest kest(folder.program, "C:\\"); // started elsewhere, as a shortcut's "Start in" may do
    Sheet sheet(kest);
    ASSERT_TRUE(sheet.page);
    EXPECT_EQ(TextOf(sheet.window), Title);
    EXPECT_EQ(TextOf(sheet.page), "Starting Options");
    std::string controls; // in the template's order, which is the tab order
    for (HWND c = GetWindow(sheet.page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        controls += std::to_string(GetDlgCtrlID(c)) + (IsWindowVisible(c) ? " " : " hidden ") +
                    TextOf(c) + "|";
    EXPECT_EQ(controls,
              "1000 Standard Setup (&D)|1001 DirectX Diagnostic Tool (&X)|1004 Enable all AVI "
              "movies (&M)|1013 Frame Style|1012 hidden Frame Style|1014 |1008 Enable joystick "
              "(&J)|1016 Blood FX (&B)|1015 Time Display (&T)|1017 Start Kest II after clearing "
              "Kest I without seeing end credits (&C)|1003 Sound|1002 hidden Sound|65535 BGM|1010 "
              "|1005 Use Dynamic Voice Management (via DirectX7) (&V)|1007 Sound effects are "
              "buffered through software (&S)|1006 DirectSound is not used (&N)|1009 hidden EAX "
              "1.0/2.0 (&E)|");
    EXPECT_EQ(sheet.Marks(), "001111101");
    EXPECT_TRUE(sheet.Enabled(1005) && sheet.Enabled(1007) && !sheet.Enabled(1009));
    std::vector<std::string> music = sheet.Items(1010);
    ASSERT_EQ(music.size(), 4u);
    std::sort(music.begin() + 2, music.end()); // the sets in the order the search finds them
    EXPECT_EQ(music, (std::vector<std::string>{"NONE", "WAVE", "", "Alpha"}));
    EXPECT_EQ(sheet.Items(1014), (std::vector<std::string>{"New Design", "Old Design"}));
    EXPECT_EQ(sheet.Selection(1010) * 10 + sheet.Selection(1014), 31);

    Kest second(folder.program); // refused without a word, leaving this one alone
    EXPECT_EQ(second.Exit(), 0u);

    sheet.Click(1004);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet.window, 0x3021))) << "Apply";
    sheet.Click(1007); // software buffers off, and neither dynamic voice management nor EAX
    EXPECT_EQ(sheet.Marks(), "101110000");
    sheet.Select(1014, 0); // the music stays as it was fitted

    sheet.Press(PSBTN_APPLYNOW);
    const std::string applied = "AVI movie=1|Bloody effect=1|Connect Kest2 direct=1|DirectSound "
                                "none=0|DirectSoundBuffer locdefer=0|DirectSoundBuffer "
                                "software=0|Frame design=0|Joystick=0|Mirel's clock=1|Music "
                                "instrument=3|Reverb sound effect=0|";
    for (int i = 0; i < 100 && Stored() != applied; ++i)
        Sleep(50);
    EXPECT_EQ(Stored(), applied);

    sheet.Click(1000); // the defaults, but the music stays
    EXPECT_EQ(sheet.Marks(), "110101001");
    PostMessageA(sheet.Control(1001), BM_CLICK, 0, 0); // Wine's own tool starts and ends quietly
    EXPECT_EQ(kest.Wait(false, 3000), nullptr) << "the diagnostic tool could not be started";
    sheet.Press(PSBTN_OK);
    EXPECT_EQ(kest.Exit(), 0u);
    EXPECT_EQ(Stored(), "AVI movie=1|Bloody effect=1|Connect Kest2 direct=0|DirectSound none=0|"
                        "DirectSoundBuffer locdefer=1|DirectSoundBuffer software=0|Frame design=0|"
                        "Joystick=1|Mirel's clock=0|Music instrument=3|Reverb sound effect=1|");
}

TEST(Player, OnWindows98AMissingDiagnosticToolIsReported) {
    WindowsVersion win98("win98");
    Folder folder;
    Kest kest(folder.program);
    Sheet sheet(kest);
    ASSERT_TRUE(sheet.page);
    PostMessageA(sheet.Control(1001), BM_CLICK, 0, 0);
    EXPECT_EQ(kest.WaitForBox(), Title + std::string("|DXDIAG.EXE not present.|-"));
    kest.Dismiss();
    sheet.Press(PSBTN_CANCEL);
    EXPECT_EQ(kest.Exit(), 0u);
}

TEST(Player, TheFilePropertiesNameTheProductAndTheBuildsVersion) {
    std::vector<char> data(GetFileVersionInfoSizeA(ProgramUnderTest().c_str(), nullptr) + 1);
    ASSERT_TRUE(GetFileVersionInfoA(ProgramUnderTest().c_str(), 0, data.size(), data.data()));
    std::string strings;
    for (std::string name : {"FileDescription", "ProductName", "FileVersion", "ProductVersion"}) {
        char* value = nullptr;
        UINT size = 0;
        VerQueryValueA(data.data(), ("\\StringFileInfo\\040904B0\\" + name).c_str(),
                       reinterpret_cast<void**>(&value), &size);
        strings += name + "=" + (value ? value : "?") + "|";
    }
    EXPECT_EQ(strings,
              "FileDescription=Starting options of Kest I and Kest II|ProductName=Kest "
              "I&II OMNIVA Setup|FileVersion=" KEST_VERSION "|ProductVersion=" KEST_VERSION "|");
}

TEST(Refusal, ARunningGameIsNamedAndNothingIsBuilt) {
    // With both games running the second one is named.
    HANDLE games[] = {CreateMutexA(nullptr, TRUE, "KestI SEMPERA"),
                      CreateMutexA(nullptr, TRUE, "KestII SEMPERA")};
    Folder folder;
    Kest kest(folder.program);
    EXPECT_EQ(kest.WaitForBox(),
              Title + std::string("|You must exit Kest II OMNIVA\nbefore running this program.|I"));
    EXPECT_EQ(FindWindowA("KestCnf", nullptr), nullptr);
    kest.Dismiss();
    EXPECT_EQ(kest.Exit(), 0u);
    EXPECT_EQ(Stored(), "(no key)");
    for (HANDLE game : games)
        CloseHandle(game);
}

} // namespace
