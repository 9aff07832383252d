// The program as the player meets it, under Wine (DirectX 7, no EAX): the page as the screen
// shows it, what the clicks do, what lands in the registry for the games or why nothing could,
// a second copy, and a running game.
// Expected colours come from the bitmaps stored in the program file itself.
#include "harness/KestProcess.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A resource of the program file itself.
std::string ResourceBytes(int id, int type) {
    std::string bytes;
    HMODULE file = LoadLibraryExA(ProgramUnderTest.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type)))
        bytes.assign(static_cast<const char*>(LockResource(LoadResource(file, found))),
                     SizeofResource(file, found));
    FreeLibrary(file);
    return bytes;
}

// An 8-bit bitmap resource of the program: its colour table and an index per pixel.
struct Indexed {
    explicit Indexed(int id) : bytes(ResourceBytes(id, 2)) {
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data());
        if (bytes.size() < sizeof *header + 1024 || header->biBitCount != 8)
            return;
        width = header->biWidth, height = header->biHeight;
        const auto* table = reinterpret_cast<const RGBQUAD*>(header + 1);
        for (int i = 0; i < 256; ++i)
            colors.push_back(RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
    }
    COLORREF At(int x, int y) const { // the rows after the table: bottom-up, padded to 4 bytes
        return colors[BYTE(bytes[40 + 1024 + (height - 1 - y) * ((width + 3) & ~3) + x])];
    }
    std::string bytes;
    int width = 0, height = 0;
    std::vector<COLORREF> colors;
};

// Sets this thread's DPI awareness where the system lets a thread choose; gives the one before.
// Aware, it sees the screen's own pixels, also where the system stretches a program that sees
// 96 dpi; unaware, it sees places as such a program does.
DPI_AWARENESS_CONTEXT Awareness(DPI_AWARENESS_CONTEXT context) {
    using Set = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const FARPROC set = GetProcAddress(GetModuleHandleA("user32"), "SetThreadDpiAwarenessContext");
    return set ? reinterpret_cast<Set>(reinterpret_cast<void (*)()>(set))(context) : context;
}

// The page as the screen shows it, one colour per pixel, once it is painted (its corner shows
// `corner`) and two looks a tenth of a second apart agree.
struct Shot {
    Shot(HWND page, COLORREF corner) {
        RECT area;
        GetWindowRect(page, &area); // the page has no frame
        width = area.right - area.left, height = area.bottom - area.top;
        std::vector<COLORREF> before;
        for (int i = 0; i < 50 && (i < 2 || pixels != before || pixels[0] != corner);
             ++i, Sleep(100))
            before = std::exchange(pixels, ScreenPixels(area));
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

// At 96 dpi and at 150% (Lutris sets the scale from the monitor's), where the page outgrows the
// area a fixed backdrop would cover and the sheet the 1024 x 768 screen, or where the system
// draws the page at 96 dpi and stretches it, as Windows 8.1 and later and Wine 10 do with a
// program that does not declare itself DPI-aware. Each start ends another way, by real key
// presses: Enter in a list is OK (here after Standard Setup, which puts the clock back); Esc and
// the close box are Cancel, and keep what Apply saved.
TEST(Player, ThePageIsPaintedWholeOnTheScreenAtEachScaleAndEachWayOutEndsTheProgram) {
    Indexed tile(110);
    const Indexed header(109);
    ASSERT_EQ(std::make_tuple(tile.width, tile.height, header.width, header.height),
              std::make_tuple(96, 96, 132, 82));
    // Entries 10 to 31 rise from the shadow colour to the mean of the two light colours.
    const COLORREF hilight = GetSysColor(COLOR_3DHILIGHT), light = GetSysColor(COLOR_3DLIGHT),
                   shadow = GetSysColor(COLOR_3DSHADOW);
    const auto step = [&](int k, int shift) {
        const int high = ((hilight >> shift & 0xFF) + (light >> shift & 0xFF)) / 2;
        return (k * high + (21 - k) * (shadow >> shift & 0xFF)) / 22;
    };
    for (int k = 0; k <= 21; ++k)
        tile.colors[10 + k] = RGB(step(k, 0), step(k, 8), step(k, 16));
    // The scale, the keys that end the start, and a part of what is stored ("" for nothing).
    const std::tuple<DWORD, std::vector<std::vector<WORD>>, const char*> starts[] = {
        {96,
         {{VK_MENU, 'T'}, {VK_MENU, 'D'}, {VK_TAB}, {VK_TAB}, {VK_TAB}, {VK_DOWN}, {VK_RETURN}},
         "Frame design=1|Joystick=1|Mirel's clock=0|"},
        {144, {{VK_MENU, 'M'}, {VK_MENU, 'A'}, {VK_ESCAPE}}, "AVI movie=0|"}, // Apply stays
        {144, {{VK_MENU, VK_F4}}, ""}};
    for (const auto& [dotsPerInch, keys, saved] : starts) {
        SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi, ending " + saved);
        const Override scale("Control Panel\\Desktop", "LogPixels", REG_DWORD,
                             std::string(reinterpret_cast<const char*>(&dotsPerInch), 4));
        Folder folder;
        Kest kest(folder.program);
        Sheet sheet(kest);
        ASSERT_TRUE(sheet.page);

        // Every pixel the page paints itself, in its own pixels as the program sees them (its
        // client area's, as it has no frame): the backdrop, the header over it, then the
        // outlines, each line dark outside on the top and left and inside on the bottom and
        // right, light the other way, open under the label (CLR_INVALID: the label's, but no
        // outline colour all along); where a control stands, not a colour (CLR_DEFAULT added).
        const RECT seen = Place(sheet.page, sheet.page);
        const LONG w = seen.right;
        std::vector<COLORREF> expected(w * seen.bottom);
        for (LONG i = 0, x = 0, y = 0; i < LONG(expected.size()); x = ++i % w, y = i / w)
            expected[i] = unsigned(x - 20) < 132 && unsigned(y - 9) < 82 ? header.At(x - 20, y - 9)
                                                                         : tile.At(x % 96, y % 96);
        for (const auto& [frameId, labelId] : {std::pair{1002, 1003}, {1012, 1013}}) {
            const RECT f = Place(sheet.page, sheet.Control(frameId));
            const RECT label = Place(sheet.page, sheet.Control(labelId));
            const LONG L = f.left, R = f.right, B = f.bottom, t = f.top + 5, a = label.left,
                       b = label.right;
            // clang-format off
            const struct { bool dark, row; LONG at, from, to; } lines[] = {
                {false, false, R, t, B},               {false, true, B, L, R - 1},
                {true, false, R - 1, t + 1, B - 1},    {true, true, B - 1, L, R - 2},
                {false, false, L + 1, t + 1, B - 2},   {true, false, L, t, B - 2},
                {false, true, t + 1, L + 2, a},        {false, true, t + 1, b, R - 2},
                {true, true, t, L, a},                 {true, true, t, b, R - 1}};
            // clang-format on
            for (const auto& line : lines)
                for (LONG i = line.from; i <= line.to; ++i)
                    expected.at(line.row ? line.at * w + i : i * w + line.at) =
                        line.dark ? shadow : hilight;
            for (LONG x = a + 1; x < b; ++x)
                expected.at(t * w + x) = expected.at((t + 1) * w + x) = CLR_INVALID;
        }
        for (HWND child = GetWindow(sheet.page, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const RECT place = Place(sheet.page, child);
            for (LONG y = place.top; IsWindowVisible(child) && y < place.bottom; ++y)
                for (LONG x = place.left; x < place.right; ++x)
                    expected.at(y * w + x) |= CLR_DEFAULT;
        }

        // From here on the screen's own pixels.
        const DPI_AWARENESS_CONTEXT unaware = Awareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
        const Shot shot(sheet.page, tile.At(0, 0));
        // Disabled and enabled again, the sound options are to leave no trace of either state.
        std::vector<COLORREF> again;
        for (int click = 0; click < 2; ++click) {
            SendMessageA(sheet.page, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), 0);
            EXPECT_EQ(IsWindowEnabled(sheet.Control(1007)), click == 1);
            again = Shot(sheet.page, tile.At(0, 0)).pixels;
        }

        // Drawn at the display's scale, each pixel on the screen is the page's own, and the second
        // look the first. Drawn at 96 dpi and stretched, a screen pixel is sampled between page
        // pixels, from its corner or its centre as systems differ: each colour channel lies
        // within those of the page pixels around, +-2 for rounding; a part repainted is stretched
        // again on its own, up to a pixel and a half off, so the second look lies within the
        // colours the first shows two pixels around (n; not at the edge). Anything may come
        // from a control or a label's gap; a pixel that can come from beyond the page is the
        // system's.
        const double fx = double(shot.width) / w, fy = double(shot.height) / seen.bottom;
        const LONG stretched = fx != 1 || fy != 1, n = 2 * stretched;
        std::printf("%lu dpi: the page is drawn %s x%.3g (%ld x %ld -> %d x %d)\n", dotsPerInch,
                    stretched ? "at 96 dpi and stretched" : "at the display's scale,", fx,
                    seen.right, seen.bottom, shot.width, shot.height);
        const auto within = [&](COLORREF shown, const std::vector<COLORREF>& image, LONG width,
                                LONG x0, LONG x1, LONG y0, LONG y1) {
            for (int k = 0, low = 255, high = 0; k < 24; k += 8, low = 255, high = 0) {
                for (LONG y = y0; y <= y1; ++y)
                    for (LONG x = x0; x <= x1; ++x) {
                        const COLORREF c = image[y * width + x];
                        low = c >> 24 ? 0 : std::min<int>(low, c >> k & 0xFF);
                        high = c >> 24 ? 255 : std::max<int>(high, c >> k & 0xFF);
                    }
                if (std::abs(2 * int(shown >> k & 0xFF) - low - high) > high - low + 4 * stretched)
                    return false;
            }
            return true;
        };
        int own = 0, wrong = 0, underLabels = 0, changed = 0;
        for (LONG Y = 0; Y < shot.height; ++Y)
            for (LONG X = 0; X < shot.width; ++X) {
                const LONG x0 = std::floor((X + .5) / fx - .5), x1 = std::ceil(X / fx),
                           y0 = std::floor((Y + .5) / fy - .5), y1 = std::ceil(Y / fy);
                const COLORREF shown = shot.pixels[Y * shot.width + X],
                               nearest = expected[LONG(Y / fy) * w + LONG(X / fx)];
                own += nearest < CLR_DEFAULT;
                underLabels += nearest == CLR_INVALID && shown == shadow;
                const bool inside = x0 >= 0 && y0 >= 0 && x1 < w && y1 < seen.bottom;
                wrong += inside && !within(shown, expected, w, x0, x1, y0, y1);
                changed += inside && x0 > 0 && y0 > 0 && x1 + 1 < w && y1 + 1 < seen.bottom &&
                           !within(again.at(Y * shot.width + X), shot.pixels, shot.width, X - n,
                                   X + n, Y - n, Y + n);
            }
        EXPECT_EQ(wrong, 0) << "of " << shot.pixels.size();
        EXPECT_GT(own, shot.height * shot.width / 2);
        EXPECT_LT(underLabels, 20);
        EXPECT_EQ(changed, 0);

        // The sheet lies in the work area, moved in where it would not fit.
        RECT placed, workArea, inside;
        GetWindowRect(sheet.window, &placed);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
        IntersectRect(&inside, &placed, &workArea);
        EXPECT_TRUE(EqualRect(&inside, &placed)) << placed.top << " to " << placed.bottom;

        SetForegroundWindow(sheet.window);
        for (const auto& chord : keys)
            Type(chord), Sleep(150);
        EXPECT_EQ(kest.Exit(), 0u);
        EXPECT_TRUE(*saved ? Stored().find(saved) != std::string::npos : Stored().empty())
            << Stored();
        Awareness(unaware);
    }
}

// A returning player's start, driven by the keyboard alone as on a Steam Deck: real key presses
// to the window in the foreground. On the Windows 98 road a missing diagnostic tool is named in
// a box, which tells that its letter pressed its button. A save the registry refuses keeps the
// sheet for another try. Then a start while the games run.
TEST(Player, StoredValuesAndSetsShowTheKeyboardAloneReachesEveryControlAndSavesAGameRefuses) {
    const Override win98("Software\\Wine\\AppDefaults\\KestSetup.exe", "Version", REG_SZ,
                         std::string("win98", 6));
    Folder folder;
    const Override stored[] = {
        {SettingsKey, "Frame design", REG_DWORD, "\1\2\3\4"}, // past the list, all four bytes kept
        {SettingsKey, "Music instrument", REG_DWORD, "\7"},   // fitted to the two sets
        {SettingsKey, "DirectSoundBuffer software", REG_DWORD, "\1"}, // short data is a number,
        {SettingsKey, "AVI movie", REG_BINARY, std::string(1, '\0')}, // whatever its type,
        {SettingsKey, "Connect Kest2 direct", REG_SZ, std::string("\1\0", 2)},
        {SettingsKey, "DirectSound none", REG_QWORD, std::string(8, '\1')}}; // longer data is not
    folder.Write("MIDI\\Alpha\\program.txt", "instrument \"Alpha\"\r\n1 \"alpha.dls\"\r\n");
    folder.Write("MIDI\\Blank\\program.txt", "Instrument \"\"\r\n");
    Kest kest(folder.program, "C:\\"); // started elsewhere, as a shortcut's "Start in" may do
    Sheet sheet(kest);
    ASSERT_TRUE(sheet.page);
    // The captions, then every control in the template's order, [x] where it is ticked.
    std::string controls = TextOf(sheet.window) + "|" + TextOf(sheet.page) + "|";
    for (HWND c = GetWindow(sheet.page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        controls += std::to_string(GetDlgCtrlID(c)) + (IsWindowVisible(c) ? " " : " hidden ") +
                    TextOf(c) + (SendMessageA(c, BM_GETCHECK, 0, 0) ? " [x]|" : "|");
    EXPECT_EQ(controls,
              "Kest I&II OMNIVA Setup|Starting Options|1000 Standard Setup (&D)|1001 DirectX "
              "Diagnostic Tool (&X)|1004 Enable all AVI movies (&M)|1013 Frame Style|1012 hidden "
              "Frame Style|1014 |1008 Enable joystick (&J) [x]|1016 Blood FX (&B) [x]|1015 Time "
              "Display (&T)|1017 Start Kest II after clearing Kest I without seeing end credits "
              "(&C) [x]|1003 Sound|1002 hidden Sound|65535 BGM|1010 |1005 Use Dynamic Voice "
              "Management (via DirectX7) (&V) [x]|1007 Sound effects are buffered through software "
              "(&S) [x]|1006 DirectSound is not used (&N)|1009 hidden EAX 1.0/2.0 (&E) [x]|");
    std::vector<std::string> music = sheet.Items(1010);
    ASSERT_EQ(music.size(), 4u);
    std::sort(music.begin() + 2, music.end()); // the sets in the order the search finds them
    EXPECT_EQ(music, (std::vector<std::string>{"NONE", "WAVE", "", "Alpha"}));
    EXPECT_EQ(sheet.Items(1014), (std::vector<std::string>{"New Design", "Old Design"}));
    EXPECT_EQ(SendMessageA(sheet.Control(1010), CB_GETCURSEL, 0, 0) * 10 +
                  SendMessageA(sheet.Control(1014), CB_GETCURSEL, 0, 0),
              31);

    // A second copy, refused without a word, brings the first one's sheet (which has a taskbar
    // button of its own) back in front of another window.
    EXPECT_TRUE(GetWindowLongA(sheet.window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HWND cover = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                               nullptr, nullptr, nullptr);
    EXPECT_TRUE(SetForegroundWindow(cover) && GetForegroundWindow() == cover);
    EXPECT_EQ(Kest(folder.program).Exit(), 0u);
    EXPECT_TRUE(Until([&] { return GetForegroundWindow() == sheet.window; }));
    DestroyWindow(cover);

    // Tab and Shift+Tab: the page's visible, enabled controls in the template's order (a list by
    // its edit field), then OK, Cancel and the tab; Apply is not lit yet.
    std::vector<int> visited;
    for (int i = 0; i < 30; ++i) {
        const int before = FocusedControl(sheet.window);
        Type(i < 15 ? std::vector<WORD>{VK_TAB} : std::vector<WORD>{VK_SHIFT, VK_TAB});
        Until([&] { return FocusedControl(sheet.window) != before; });
        visited.push_back(FocusedControl(sheet.window));
    }
    // clang-format off
    EXPECT_EQ(visited, (std::vector<int>{1001, 1004, 1014, 1008, 1016, 1015, 1017, 1010, 1005, 1007,
        1006, IDOK, IDCANCEL, 0x3020, 1000, 0x3020, IDCANCEL, IDOK, 1006, 1007, 1005, 1010, 1017,
        1015, 1016, 1008, 1014, 1004, 1001, 1000}));
    // clang-format on

    // Each underlined letter with Alt turns its check box; what that does to the others is the
    // page's rule, and what is saved shows below.
    // clang-format off
    const std::pair<WORD, int> letters[] = {{'M', 1004}, {'J', 1008}, {'C', 1017}, {'B', 1016},
        {'T', 1015}, {'V', 1005}, {'S', 1007}, {'N', 1006}, {'N', 1006}};
    // clang-format on
    for (const auto& [letter, id] : letters) {
        const auto mark = [&] { return SendMessageA(sheet.Control(id), BM_GETCHECK, 0, 0); };
        const LRESULT before = mark();
        Type({VK_MENU, letter});
        EXPECT_TRUE(Until([&] { return mark() != before && FocusedControl(sheet.window) == id; }))
            << char(letter);
    }
    Type({VK_MENU, 'X'});
    EXPECT_EQ(kest.WaitForBox(), Title + std::string("|DXDIAG.EXE not present.|-"));
    Type({VK_RETURN});
    EXPECT_TRUE(Until([&] { return FocusedControl(sheet.window) == 1001; }));

    // Under a volatile parent the registry makes no lasting key (ERROR_CHILD_MUST_BE_VOLATILE):
    // Apply and OK each tell so in the system's words and keep the sheet; the choices are still
    // there when the parent is gone and OK is tried again.
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Halvic");
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Halvic", 0, nullptr, REG_OPTION_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
    char description[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_CHILD_MUST_BE_VOLATILE,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), description, 512, nullptr);
    description[strcspn(description, "\r\n")] = '\0'; // one line, without its line break
    for (int button : {PSBTN_APPLYNOW, PSBTN_OK}) {
        sheet.Press(button);
        EXPECT_EQ(kest.WaitForBox(),
                  Title + std::string("|The choices could not be saved.\n[") + description + "]|W");
        kest.Dismiss();
        EXPECT_TRUE(Until([&] { return !kest.Wait(false, 50); }) && IsWindowVisible(sheet.window));
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Halvic");

    Type({VK_MENU, 'M'});
    Type({VK_RETURN}); // on a check box: OK
    EXPECT_EQ(kest.Exit(), 0u);
    EXPECT_EQ(Stored(), "AVI movie=0|Bloody effect=0|Connect Kest2 direct=0|DirectSound none=0|"
                        "DirectSoundBuffer locdefer=0|DirectSoundBuffer software=1|Frame "
                        "design=67305985|Joystick=0|Mirel's clock=1|Music instrument=3|Reverb "
                        "sound effect=0|");

    // With both games running the second one is named; nothing is built or stored. Run as
    // administrator, they let a standard user no more than wait on their mutexes.
    SECURITY_ATTRIBUTES waitOnly = {sizeof waitOnly, nullptr, FALSE};
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;0x00100000;;;WD)", SDDL_REVISION_1,
                                                         &waitOnly.lpSecurityDescriptor, nullptr);
    HANDLE games[] = {CreateMutexA(&waitOnly, TRUE, "KestI SEMPERA"),
                      CreateMutexA(&waitOnly, TRUE, "KestII SEMPERA")};
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
    Kest refused(folder.program);
    EXPECT_EQ(refused.WaitForBox(),
              Title + std::string("|You must exit Kest II OMNIVA\nbefore running this program.|I"));
    EXPECT_EQ(FindWindowA("KestCnf", nullptr), nullptr);
    Type({VK_RETURN});
    EXPECT_EQ(refused.Exit(), 0u);
    EXPECT_EQ(Stored(), "(no key)");
    for (HANDLE game : games)
        CloseHandle(game);
    LocalFree(waitOnly.lpSecurityDescriptor);
}

TEST(Player, TheFilePropertiesNameTheProductAndItsManifestAsksForNoElevation) {
    std::vector<char> data(GetFileVersionInfoSizeA(ProgramUnderTest.c_str(), nullptr) + 1);
    ASSERT_TRUE(GetFileVersionInfoA(ProgramUnderTest.c_str(), 0, data.size(), data.data()));
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
    // Run as the player who starts it, scaled by Windows, in the classic look.
    const std::string manifest = ResourceBytes(1, 24);
    EXPECT_NE(manifest.find("level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

} // namespace
