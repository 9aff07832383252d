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
#include <set>

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

// The page as the screen shows it, one colour per pixel, once it is painted (its corner no
// longer shows the plain dialog face) and has not changed for a fifth of a second.
struct Shot {
    explicit Shot(HWND page) {
        const COLORREF face = GetSysColor(COLOR_3DFACE);
        RECT area;
        GetWindowRect(page, &area); // the page has no frame
        width = area.right - area.left;
        height = area.bottom - area.top;
        for (int i = 0, unchanged = 0; i < 50 && (unchanged < 2 || pixels[0] == face); ++i) {
            Sleep(100);
            std::vector<COLORREF> look = ScreenPixels(area);
            unchanged = look == pixels ? unchanged + 1 : 0;
            pixels = std::move(look);
        }
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
    const Indexed tile(IDB_BACKDROP);
    const Indexed header(IDB_HEADER);
    ASSERT_EQ(std::make_tuple(tile.width, tile.height, header.width, header.height),
              std::make_tuple(96, 96, 132, 82));
    const COLORREF hilight = GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    // The scale, the keys that end the start, and a part of what is stored ("" for nothing).
    const std::tuple<DWORD, std::vector<std::vector<WORD>>, const char*> starts[] = {
        {96,
         {{VK_MENU, 'T'}, {VK_MENU, 'D'}, {VK_TAB}, {VK_TAB}, {VK_TAB}, {VK_DOWN}, {VK_RETURN}},
         "Frame design=1|Joystick=1|Mirel's clock=0|"},
        {144, {{VK_MENU, 'M'}, {VK_MENU, 'A'}, {VK_ESCAPE}}, "AVI movie=0|"}, // Apply stays
        {144, {{VK_MENU, VK_F4}}, ""},
    };
    for (const auto& [dotsPerInch, keys, saved] : starts) {
        SCOPED_TRACE(std::to_string(dotsPerInch) + " dpi, ending " + saved);
        const Override scale("Control Panel\\Desktop", "LogPixels", REG_DWORD,
                             std::string(reinterpret_cast<const char*>(&dotsPerInch), 4));
        Folder folder;
        Kest kest(folder.program);
        Sheet sheet(kest);
        ASSERT_TRUE(sheet.page);
        // The page and its controls as the program sees them, and whether each is shown.
        const RECT seen = Place(sheet.page, sheet.page);
        std::vector<std::pair<RECT, bool>> controls;
        for (HWND child = GetWindow(sheet.page, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            controls.emplace_back(Place(sheet.page, child), IsWindowVisible(child));

        // From here on the screen's own pixels. Disabled and enabled again, the sound options
        // are to leave no trace of either state.
        const DPI_AWARENESS_CONTEXT unaware = Awareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
        const Shot shot(sheet.page);
        std::vector<COLORREF> again;
        for (int click = 0; click < 2; ++click) {
            SendMessageA(sheet.page, WM_COMMAND, MAKEWPARAM(IDC_DIRECTSOUND_NONE, BN_CLICKED), 0);
            EXPECT_EQ(IsWindowEnabled(sheet.Control(IDC_BUFFER_SOFTWARE)), click == 1);
            again = Shot(sheet.page).pixels;
        }
        const double factor = double(shot.width) / seen.right;
        const bool stretched = factor != 1;
        std::printf("%lu dpi: the page is drawn %s (%ld x %ld -> %d x %d)\n", dotsPerInch,
                    stretched ? "at 96 dpi and stretched" : "at the display's scale", seen.right,
                    seen.bottom, shot.width, shot.height);

        // Where the backdrop shows alone: away from the controls, the header picture and the
        // outlines of the two hidden group boxes, by two pixels more where the page is stretched.
        std::vector<bool> backdrop(shot.pixels.size(), true);
        const auto cover = [&](const RECT& r) {
            const LONG margin = 2 * stretched;
            for (LONG y = std::max(0L, LONG(r.top * factor) - margin);
                 y < std::min<LONG>(shot.height, std::ceil(r.bottom * factor) + margin); ++y)
                for (LONG x = std::max(0L, LONG(r.left * factor) - margin);
                     x < std::min<LONG>(shot.width, std::ceil(r.right * factor) + margin); ++x)
                    backdrop[y * shot.width + x] = false;
        };
        cover({20, 9, 20 + header.width, 9 + header.height});
        if (stretched) { // where the last pixels blend with what lies beyond the page
            cover({seen.right - 1, 0, seen.right, seen.bottom});
            cover({0, seen.bottom - 1, seen.right, seen.bottom});
        }
        for (const auto& [r, visible] : controls) {
            if (visible)
                cover(r);
            else // an outline's two lines, 5 pixels below the box's top and along its edges
                for (const RECT& edge : {RECT{r.left, r.top + 4, r.right + 1, r.top + 7},
                                         RECT{r.left, r.bottom - 1, r.right + 1, r.bottom + 1},
                                         RECT{r.left, r.top + 4, r.left + 2, r.bottom + 1},
                                         RECT{r.right - 1, r.top + 4, r.right + 1, r.bottom + 1}})
                    cover(edge);
        }

        // The tile is recoloured in the system's 3-D colours, from a shade below the shadow up
        // to the highlight, and repeats over the whole page, beyond any fixed area.
        const auto alike = [&](COLORREF a, COLORREF b) {
            for (int k = 0; k < 24; k += 8)
                if (std::abs(int(a >> k & 0xFF) - int(b >> k & 0xFF)) > 2 * stretched)
                    return false;
            return true;
        };
        const LONG period = std::lround(tile.width * factor);
        const LONG w = shot.width;
        int outside = 0, unlike = 0, compared = 0;
        for (LONG i = 0; i < LONG(shot.pixels.size()); ++i) {
            if (!backdrop[i])
                continue;
            const COLORREF c = shot.pixels[i];
            for (int k = 0; k < 24; k += 8)
                outside += (c >> k & 0xFF) + 8 < (shadow >> k & 0xFF) ||
                           (c >> k & 0xFF) > (hilight >> k & 0xFF);
            for (LONG next : {i + period, i + period * w}) {
                if (next >= LONG(backdrop.size()) || !backdrop[next] || next % w < i % w)
                    continue;
                ++compared;
                unlike += !alike(c, shot.pixels[next]);
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(unlike, 0) << "of " << compared;
        EXPECT_GT(compared, LONG(shot.pixels.size()) / 4);

        // Drawn at the display's scale, no backdrop pixel keeps the artwork's own colour (its
        // ramp is shown only until the program recolours it), the header picture is the page's
        // own, unrecoloured, and each outline is etched: dark outside and light inside on its
        // left, the other way round at its bottom.
        if (!stretched) {
            int unrecoloured = 0, differ = 0;
            for (LONG i = 0; i < LONG(shot.pixels.size()); ++i)
                unrecoloured += backdrop[i] && shot.pixels[i] == tile.At(i % w % 96, i / w % 96);
            for (LONG y = 0; y < header.height; ++y)
                for (LONG x = 0; x < header.width; ++x)
                    differ += shot.pixels[(9 + y) * w + 20 + x] != header.At(x, y);
            EXPECT_EQ(unrecoloured, 0);
            EXPECT_EQ(differ, 0);
            for (int frame : {IDC_SOUND_FRAME, IDC_FRAME_STYLE_FRAME}) {
                const RECT f = Place(sheet.page, sheet.Control(frame));
                const LONG midX = (f.left + f.right) / 2, midY = (f.top + f.bottom) / 2;
                EXPECT_EQ(shot.pixels[midY * w + f.left], shadow) << frame;
                EXPECT_EQ(shot.pixels[midY * w + f.left + 1], hilight) << frame;
                EXPECT_EQ(shot.pixels[(f.bottom - 1) * w + midX], shadow) << frame;
                EXPECT_EQ(shot.pixels[f.bottom * w + midX], hilight) << frame;
            }
        }

        // A part repainted where the page is stretched is stretched again on its own, up to a
        // pixel and a half off: each channel lies within those the first look shows two pixels
        // around.
        const LONG n = 2 * stretched;
        int changed = 0;
        for (LONG Y = n; Y < shot.height - n; ++Y)
            for (LONG X = n; X < w - n; ++X)
                for (int k = 0; k < 24; k += 8) {
                    int low = 255, high = 0;
                    for (LONG y = Y - n; y <= Y + n; ++y)
                        for (LONG x = X - n; x <= X + n; ++x) {
                            low = std::min<int>(low, shot.pixels[y * w + x] >> k & 0xFF);
                            high = std::max<int>(high, shot.pixels[y * w + x] >> k & 0xFF);
                        }
                    const int value = again[Y * w + X] >> k & 0xFF;
                    changed += value + 2 * n < low || value > high + 2 * n;
                }
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
    EXPECT_EQ(TextOf(sheet.window), "Kest I&II OMNIVA Setup");
    EXPECT_EQ(TextOf(sheet.page), "Starting Options");
    // The stored values as the page shows them: the boxes ticked; and what is hidden, the two
    // group boxes, whose outlines the page draws, and EAX, which this Wine's sound lacks.
    std::set<int> ticked, hidden;
    for (HWND c = GetWindow(sheet.page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (SendMessageA(c, BM_GETCHECK, 0, 0))
            ticked.insert(GetDlgCtrlID(c));
        if (!IsWindowVisible(c))
            hidden.insert(GetDlgCtrlID(c));
    }
    EXPECT_EQ(ticked, (std::set<int>{IDC_JOYSTICK, IDC_BLOOD_EFFECT, IDC_CONNECT_DIRECT,
                                     IDC_BUFFER_LOCDEFER, IDC_BUFFER_SOFTWARE, IDC_REVERB_EFFECT}));
    EXPECT_EQ(hidden, (std::set<int>{IDC_FRAME_STYLE_FRAME, IDC_SOUND_FRAME, IDC_REVERB_EFFECT}));
    std::vector<std::string> music = sheet.Items(IDC_MUSIC);
    ASSERT_EQ(music.size(), 4u);
    std::sort(music.begin() + 2, music.end()); // the sets in the order the search finds them
    EXPECT_EQ(music, (std::vector<std::string>{"NONE", "WAVE", "", "Alpha"}));
    EXPECT_EQ(sheet.Items(IDC_FRAME_DESIGN),
              (std::vector<std::string>{"New Design", "Old Design"}));
    EXPECT_EQ(SendMessageA(sheet.Control(IDC_MUSIC), CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendMessageA(sheet.Control(IDC_FRAME_DESIGN), CB_GETCURSEL, 0, 0), 1);

    // A second copy, refused without a word, brings the first one's sheet (which has a taskbar
    // button of its own) back in front of another window.
    EXPECT_TRUE(GetWindowLongA(sheet.window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    HWND cover = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                               nullptr, nullptr, nullptr);
    EXPECT_TRUE(SetForegroundWindow(cover) && GetForegroundWindow() == cover);
    EXPECT_EQ(Kest(folder.program).Exit(), 0u);
    EXPECT_TRUE(Until([&] { return GetForegroundWindow() == sheet.window; }));
    DestroyWindow(cover);

    // Tab from Standard Setup: the page's visible, enabled controls in the template's order (a
    // list by its edit field), then OK, Cancel and the tab, and round to Standard Setup; Apply is
    // not lit yet. Shift+Tab walks the same way back.
    const int tabs = 0x3020; // the sheet's tab control
    const std::vector<int> round = {IDC_DIAGNOSTIC_TOOL,
                                    IDC_AVI_MOVIE,
                                    IDC_FRAME_DESIGN,
                                    IDC_JOYSTICK,
                                    IDC_BLOOD_EFFECT,
                                    IDC_TIME_DISPLAY,
                                    IDC_CONNECT_DIRECT,
                                    IDC_MUSIC,
                                    IDC_BUFFER_LOCDEFER,
                                    IDC_BUFFER_SOFTWARE,
                                    IDC_DIRECTSOUND_NONE,
                                    IDOK,
                                    IDCANCEL,
                                    tabs,
                                    IDC_STANDARD_SETUP};
    std::vector<int> thereAndBack = round;
    thereAndBack.insert(thereAndBack.end(), round.rbegin() + 1, round.rend());
    thereAndBack.push_back(IDC_STANDARD_SETUP);
    std::vector<int> visited;
    for (std::size_t i = 0; i < thereAndBack.size(); ++i) {
        const int before = FocusedControl(sheet.window);
        Type(i < round.size() ? std::vector<WORD>{VK_TAB} : std::vector<WORD>{VK_SHIFT, VK_TAB});
        Until([&] { return FocusedControl(sheet.window) != before; });
        visited.push_back(FocusedControl(sheet.window));
    }
    EXPECT_EQ(visited, thereAndBack);

    // Each underlined letter with Alt turns its check box; what that does to the others is the
    // page's rule, and what is saved shows below.
    const struct {
        WORD letter;
        int box;
        const char* caption;
    } letters[] = {
        {'M', IDC_AVI_MOVIE, "Enable all AVI movies (&M)"},
        {'J', IDC_JOYSTICK, "Enable joystick (&J)"},
        {'C', IDC_CONNECT_DIRECT,
         "Start Kest II after clearing Kest I without seeing end credits (&C)"},
        {'B', IDC_BLOOD_EFFECT, "Blood FX (&B)"},
        {'T', IDC_TIME_DISPLAY, "Time Display (&T)"},
        {'V', IDC_BUFFER_LOCDEFER, "Use Dynamic Voice Management (via DirectX7) (&V)"},
        {'S', IDC_BUFFER_SOFTWARE, "Sound effects are buffered through software (&S)"},
        {'N', IDC_DIRECTSOUND_NONE, "DirectSound is not used (&N)"},
        {'N', IDC_DIRECTSOUND_NONE, "DirectSound is not used (&N)"}, // and back
    };
    for (const auto& [letter, box, caption] : letters) {
        const auto mark = [&] { return SendMessageA(sheet.Control(box), BM_GETCHECK, 0, 0); };
        const LRESULT before = mark();
        EXPECT_EQ(TextOf(sheet.Control(box)), caption);
        Type({VK_MENU, letter});
        EXPECT_TRUE(Until([&] { return mark() != before && FocusedControl(sheet.window) == box; }))
            << caption;
    }
    Type({VK_MENU, 'X'});
    EXPECT_EQ(kest.WaitForBox(), Title + std::string("|DXDIAG.EXE not present.|-"));
    Type({VK_RETURN});
    EXPECT_TRUE(Until([&] { return FocusedControl(sheet.window) == IDC_DIAGNOSTIC_TOOL; }));

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
