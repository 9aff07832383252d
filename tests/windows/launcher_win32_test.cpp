// The diagnostic tool launcher against the real shell, registry and message boxes. The system's
// version is pretended, so that the routes of older Windows can be taken under Wine.
#include "app/MessageBoxes.h"
#include "harness/KestProcess.h"
#include "probes/DiagnosticTool.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char* const Title = "Kest I&II OMNIVA Setup";

// Reads and dismisses the message boxes this process shows while a blocking call runs.
class BoxWatcher {
  public:
    BoxWatcher() { thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    ~BoxWatcher() { Finish(); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<MessageBoxSeen> Finish() {
        if (thread_) {
            stop_ = true;
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return seen_;
    }

  private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (owner == GetCurrentProcessId() && std::string(name) == "#32770" &&
            IsWindowVisible(window))
            reinterpret_cast<HWND*>(self)[0] = window;
        return TRUE;
    }
    static DWORD WINAPI Run(void* self) {
        auto* watcher = static_cast<BoxWatcher*>(self);
        while (!watcher->stop_) {
            HWND box = nullptr;
            EnumWindows(Visit, reinterpret_cast<LPARAM>(&box));
            if (box && (watcher->seen_.empty() || watcher->seen_.back().window != box)) {
                MessageBoxSeen seen;
                ReadMessageBox(box, &seen);
                watcher->seen_.push_back(seen);
                KestProcess::Dismiss(seen);
            }
            Sleep(50);
        }
        return 0;
    }

    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::vector<MessageBoxSeen> seen_;
};

// The real launcher system with another version, and optionally another system directory.
class PretendedSystem : public LauncherApi {
  public:
    explicit PretendedSystem(OsVersion version) : version_(version) {}

    std::string systemDirectory;
    std::vector<std::intptr_t> shellResults;

    bool QueryOsVersion(OsVersion* version) override {
        *version = version_;
        return true;
    }
    void SystemDirectory(char* buffer, std::uint32_t size) override {
        if (systemDirectory.empty())
            return real_.SystemDirectory(buffer, size);
        lstrcpynA(buffer, systemDirectory.c_str(), static_cast<int>(size));
    }
    void WindowsDirectory(char* buffer, std::uint32_t size) override {
        real_.WindowsDirectory(buffer, size);
    }
    bool FileExists(const char* path) override { return real_.FileExists(path); }
    std::intptr_t ShellOpen(const char* path) override {
        shellResults.push_back(real_.ShellOpen(path));
        return shellResults.back();
    }
    void ShowMessage(const char* text, std::uint32_t flags) override {
        real_.ShowMessage(text, flags);
    }
    void ShowSystemError(const char* text, std::uint32_t flags) override {
        real_.ShowSystemError(text, flags);
    }

  private:
    OsVersion version_;
    LauncherApi& real_ = PlatformLauncher();
};

const OsVersion Windows98 = {1, 4};

std::string Notepad() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\notepad.exe";
}

std::string TempPath(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

void WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

struct Notepads {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectNotepad(HWND window, LPARAM parameter) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "Notepad")
        reinterpret_cast<Notepads*>(parameter)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> NotepadWindows() {
    Notepads found;
    EnumWindows(CollectNotepad, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

// A Notepad window that was not there `before`, with the title when one is given.
HWND WaitForNewNotepad(const std::vector<HWND>& before, const std::string& title = "",
                       DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        for (HWND window : NotepadWindows()) {
            char text[512] = {};
            GetWindowTextA(window, text, sizeof text);
            const bool known = std::find(before.begin(), before.end(), window) != before.end();
            if (!known && std::string(text).find(title) != std::string::npos)
                return window;
        }
        Sleep(100);
    }
    return nullptr;
}

// Closes what the shell opened, and waits until it is gone.
void CloseOpened(HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < 10000)
        Sleep(100);
    EXPECT_FALSE(IsWindow(window));
}

const char* const AppPathKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\DXDIAG.EXE";

void SetAppPath(const std::string& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, AppPathKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void RemoveAppPath() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, AppPathKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathKey);
}

// Where the launcher looks for the shortcut: the Windows drive's root.
std::string ShortcutFolder() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows, 3) + "Program Files\\DIRECTX\\SETUP";
}

class LauncherWin32 : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitialize(nullptr);
        RemoveAppPath();
        document = TempPath("kest-dxdiag-" + std::to_string(GetCurrentProcessId()) + ".txt");
        WriteText(document, "Opened by the diagnostic tool launcher test.\r\n");
    }
    void TearDown() override {
        RemoveAppPath();
        DeleteFileA(document.c_str());
        CoUninitialize();
    }

    std::string DocumentTitle() const { return document.substr(document.find_last_of('\\') + 1); }

    std::vector<MessageBoxSeen> Launch(LauncherApi& system) {
        BoxWatcher watcher;
        LaunchDiagnosticTool(system, PlatformRegistry());
        return watcher.Finish();
    }

    std::string document;
};

TEST_F(LauncherWin32, Windows98WithoutValueOrShortcutSaysNotPresent) {
    ASSERT_EQ(GetFileAttributesA((ShortcutFolder() + "\\DXDIAG.LNK").c_str()),
              INVALID_FILE_ATTRIBUTES);
    PretendedSystem system(Windows98);
    const std::vector<MessageBoxSeen> boxes = Launch(system);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, Title);
    EXPECT_EQ(boxes[0].text, "DXDIAG.EXE not present.");
    EXPECT_EQ(boxes[0].icon, MessageBoxSeen::None);
    EXPECT_TRUE(system.shellResults.empty());
}

TEST_F(LauncherWin32, TheAppPathsValueIsOpenedByTheShell) {
    SetAppPath(Notepad());
    const std::vector<HWND> before = NotepadWindows();
    PretendedSystem system(Windows98);
    EXPECT_TRUE(Launch(system).empty());
    ASSERT_EQ(system.shellResults.size(), 1u);
    EXPECT_GT(system.shellResults[0], 32);
    HWND opened = WaitForNewNotepad(before);
    ASSERT_NE(opened, nullptr) << "nothing opened";
    CloseOpened(opened);
}

TEST_F(LauncherWin32, AShortcutOnTheWindowsDriveStartsItsTarget) {
    // Made for the test and taken away again, folders included where they were missing.
    const std::string folder = ShortcutFolder();
    std::vector<std::string> made;
    std::string path;
    for (const char* part : {"", "\\DIRECTX", "\\SETUP"}) {
        path = path.empty() ? folder.substr(0, folder.find("\\DIRECTX")) : path + part;
        if (CreateDirectoryA(path.c_str(), nullptr))
            made.push_back(path);
    }
    const std::string shortcut = folder + "\\DXDIAG.LNK";
    IShellLinkA* link = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(&link)),
              S_OK);
    link->SetPath(Notepad().c_str());
    link->SetArguments(document.c_str());
    IPersistFile* file = nullptr;
    ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
    EXPECT_EQ(file->Save(wide, TRUE), S_OK);
    file->Release();
    link->Release();

    const std::vector<HWND> before = NotepadWindows();
    PretendedSystem system(Windows98);
    const std::vector<MessageBoxSeen> boxes = Launch(system);
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    ASSERT_EQ(system.shellResults.size(), 1u);
    EXPECT_GT(system.shellResults[0], 32);
    HWND opened = WaitForNewNotepad(before, DocumentTitle());
    EXPECT_NE(opened, nullptr) << "the shortcut's target was not opened";
    if (opened)
        CloseOpened(opened);

    DeleteFileA(shortcut.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
}

TEST_F(LauncherWin32, WindowsNt5WithoutTheToolSaysItCannotBeStarted) {
    char empty[MAX_PATH];
    GetTempPathA(MAX_PATH, empty);
    PretendedSystem system({2, 5});
    system.systemDirectory = std::string(empty) + "kest-no-dxdiag";
    CreateDirectoryA(system.systemDirectory.c_str(), nullptr);
    const std::vector<MessageBoxSeen> boxes = Launch(system);
    RemoveDirectoryA(system.systemDirectory.c_str());
    ASSERT_EQ(system.shellResults.size(), 1u);
    EXPECT_LE(system.shellResults[0], 32);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, Title);
    const std::string start = "DXDIAG.EXE can't be started.\n[";
    EXPECT_EQ(boxes[0].text.compare(0, start.size(), start), 0) << boxes[0].text;
    EXPECT_GT(boxes[0].text.size(), start.size() + 1) << "no description";
    EXPECT_EQ(boxes[0].text.back(), ']');
    RecordProperty("cannot_start_text", boxes[0].text);
    std::printf("Wine says: %s\n", boxes[0].text.c_str());
}

TEST(ShowSystemError, TheDescriptionOfTheLastErrorOrNothing) {
    char* description = nullptr;
    ASSERT_NE(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                             ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                             reinterpret_cast<char*>(&description), 0, nullptr),
              0u);
    const std::string expected = std::string("DXDIAG.EXE can't be started.\n[") + description + "]";
    LocalFree(description);

    BoxWatcher described;
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowSystemError("DXDIAG.EXE can't be started.\n[%s]", MB_OK);
    const std::vector<MessageBoxSeen> boxes = described.Finish();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, expected);
    EXPECT_EQ(boxes[0].caption, Title);

    // A code the system cannot describe: no box at all.
    BoxWatcher undescribed;
    SetLastError(0x2000BEEF);
    ShowSystemError("DXDIAG.EXE can't be started.\n[%s]", MB_OK);
    Sleep(500);
    EXPECT_TRUE(undescribed.Finish().empty());
}

} // namespace
