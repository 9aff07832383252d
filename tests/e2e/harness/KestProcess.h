// Drives the real KestSetup.exe as a player would, from another process under Wine: a copy of
// the program in a folder of its own, its windows, message boxes and exit code, and the
// registry values the games will read.
#pragma once

#include "resource.h"

#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

constexpr const char* Title = "Kest I&II OMNIVA Setup";
constexpr const char* SettingsKey = "SOFTWARE\\Halvic\\KestII SEMPERA";

// The KestSetup.exe under test, as the first argument of the driver names it.
inline std::string ProgramUnderTest;

inline void SetProgramUnderTest(const char* path) {
    // Wine gives a Unix path from the build drive Z:.
    ProgramUnderTest = path[0] == '/' ? std::string("Z:") + path : path;
    for (char& c : ProgramUnderTest)
        c = c == '/' ? '\\' : c;
}

inline std::string TextOf(HWND window) {
    char text[1024] = {};
    return GetWindowTextA(window, text, sizeof text), text;
}

// The games' key as "name=number|" in the order of the names; data that is not a REG_DWORD
// of four bytes shows as "?".
inline std::string Stored() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key))
        return "(no key)";
    std::map<std::string, std::string> values;
    char name[256], data[64];
    for (DWORD i = 0, length = sizeof name, type = 0, size = sizeof data; !RegEnumValueA(
             key, i++, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
         length = sizeof name, size = sizeof data)
        values[name] =
            type == REG_DWORD && size == 4 ? std::to_string(*reinterpret_cast<DWORD*>(data)) : "?";
    RegCloseKey(key);
    std::string text;
    for (const auto& [valueName, value] : values)
        text += valueName + "=" + value + "|";
    return text;
}

// A fresh start: a copy of the program in a folder of its own, removed with all it holds, and
// no settings stored yet.
struct Folder {
    Folder() : path((std::filesystem::temp_directory_path() / "kest-test").string()) {
        RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        std::filesystem::copy_file(ProgramUnderTest, program);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    // Creates the file, and its folders, beside the program.
    void Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path file = std::filesystem::path(path) / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    std::string path, program = path + "\\KestSetup.exe";
};

// The screen's pixels in `area`, row by row, as COLORREFs.
inline std::vector<COLORREF> ScreenPixels(const RECT& area) {
    const LONG width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<COLORREF> pixels(width * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (COLORREF& c : pixels) // 0x00RRGGBB, unlike a COLORREF
        c = RGB(GetBValue(c), GetGValue(c), GetRValue(c));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Icon handles mean nothing across processes under Wine; on the screen the error icon is red,
// the information icon blue and the warning icon yellow.
inline char IconOf(HWND box) {
    RECT area = {};
    GetWindowRect(GetDlgItem(box, 0x440) ? GetDlgItem(box, 0x440) : GetDlgItem(box, 0x14), &area);
    int red = 0, blue = 0, yellow = 0;
    for (const COLORREF c : ScreenPixels({area.left, area.top, area.left + 32, area.top + 32})) {
        red += GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90;
        blue += GetBValue(c) > 150 && GetRValue(c) < 90;
        yellow += GetRValue(c) > 150 && GetGValue(c) > 150 && GetBValue(c) < 90;
    }
    const char icon = red > 100 && red > 4 * blue ? 'E' : blue > 100 && blue > 4 * red ? 'I' : '-';
    return icon == '-' && yellow > 100 ? 'W' : icon;
}

// The running program; ended if it is still running when the test is done with it.
class Kest {
  public:
    explicit Kest(const std::string& program, const std::string& currentFolder = "",
                  std::string arguments = "") {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        arguments = "\"" + program + "\" " + arguments;
        CreateProcessA(nullptr, &arguments[0], nullptr, nullptr, FALSE, 0, nullptr,
                       currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup,
                       &process_);
    }
    ~Kest() {
        if (Exit(0) == STILL_ACTIVE)
            TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Kest(const Kest&) = delete;
    Kest& operator=(const Kest&) = delete;

    // The program's sheet, or else its message box, once it shows within `ms`. Both are
    // captioned with the title; only the sheet holds a tab control.
    HWND Wait(bool sheet, DWORD ms = 20000) const {
        for (DWORD i = 0; i < ms / 50 && Exit(0) == STILL_ACTIVE; ++i, Sleep(50))
            for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", Title));)
                if (IsWindowVisible(w) &&
                    sheet == !!FindWindowExA(w, nullptr, WC_TABCONTROLA, nullptr))
                    return w;
        return nullptr;
    }
    // The program's message box once it shows, as "caption|text|icon", the icon E for error,
    // I for information, W for a warning, - for none; left open for Dismiss.
    std::string WaitForBox() {
        if (!(box_ = Wait(false)))
            return "(no box)";
        Sleep(300); // laid out and painted
        return TextOf(box_) + "|" + TextOf(GetDlgItem(box_, 0xFFFF)) + "|" + IconOf(box_);
    }
    void Dismiss() const { PostMessageA(box_, WM_COMMAND, IDOK, 0); }
    // The exit code, or STILL_ACTIVE when the program has not ended within `ms`.
    DWORD Exit(DWORD ms = 20000) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION process_ = {};
    HWND box_ = nullptr;
};

// The sheet and its page as the player reaches them.
struct Sheet {
    explicit Sheet(const Kest& program) : window(program.Wait(true)) {
        // The page exists before it is initialised; the sheet shows once it is.
        for (int i = 0; window && !page && i < 400; ++i, Sleep(50)) {
            page = FindWindowExA(window, nullptr, "#32770", nullptr);
            if (!GetDlgItem(page, IDC_STANDARD_SETUP) || !IsWindowVisible(window))
                page = nullptr;
        }
        SendMessageA(page, WM_NULL, 0, 0); // the program is back in its loop, done with start-up
    }
    HWND Control(int id) const { return GetDlgItem(page, id); }
    std::vector<std::string> Items(int combo) const {
        // Wine carries this message across processes in its wide form only.
        std::vector<std::string> items;
        wchar_t text[256];
        for (int i = 0; SendMessageW(Control(combo), CB_GETLBTEXT, i, LPARAM(text)) >= 0; ++i)
            items.emplace_back(text, text + wcslen(text));
        return items;
    }
    // Posted: a sent press would be handled inside the sheet's own wait.
    void Press(int button) const { PostMessageA(window, PSM_PRESSBUTTON, button, 0); }

    HWND window = nullptr, page = nullptr;
};

// A value of the current user's registry for the programs started meanwhile (a stored setting,
// Wine's Windows version for the program, the display scale), removed afterwards.
struct Override {
    Override(const char* key, const char* name, DWORD type, const std::string& data)
        : key(key), name(name) {
        RegSetKeyValueA(HKEY_CURRENT_USER, key, name, type, data.data(), data.size());
    }
    ~Override() { RegDeleteKeyValueA(HKEY_CURRENT_USER, key, name); }
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;
    const char *key, *name;
};

// Real key presses, as the keyboard sends them to the window in the foreground: the keys of a
// chord go down in order and up in reverse.
inline void Type(const std::vector<WORD>& chord) {
    std::vector<INPUT> input(2 * chord.size(), INPUT{INPUT_KEYBOARD, {}});
    for (std::size_t i = 0; i < chord.size(); ++i) {
        input[i].ki.wVk = chord[i];
        input[input.size() - 1 - i].ki = {chord[i], 0, KEYEVENTF_KEYUP, 0, 0};
    }
    SendInput(input.size(), input.data(), sizeof(INPUT));
}

// The control with the keyboard focus in the program that owns `window`: a list's, when the
// focus is in the list's edit field.
inline int FocusedControl(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    char parentClass[16] = {};
    GetClassNameA(GetParent(info.hwndFocus), parentClass, sizeof parentClass);
    return GetDlgCtrlID(lstrcmpiA(parentClass, "ComboBox") ? info.hwndFocus
                                                           : GetParent(info.hwndFocus));
}

// Waits up to `ms` for `done` to hold; tells whether it does.
template <typename Done> bool Until(Done done, DWORD ms = 5000) {
    for (DWORD waited = 0; !done() && waited < ms; waited += 25)
        Sleep(25);
    return done();
}
