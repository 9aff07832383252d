#include "harness/KestProcess.h"

#include <cstdio>

namespace {

std::string programUnderTest;

// Wine runs Windows programs, so a Unix path from the build becomes one on drive Z:.
std::string ToWindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || ClassOf(window) != search->className)
        return TRUE;
    if (search->title && TextOf(window) != search->title)
        return TRUE;
    search->found = window;
    return FALSE;
}

// Icon handles are private to each process under Wine, so the box's icon is told apart by its
// pixels: the control's area on screen against the system icons drawn here on the same ground.
std::vector<COLORREF> ReadPixels(HDC dc, int width, int height) {
    std::vector<COLORREF> pixels;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels.push_back(GetPixel(dc, column, row));
    return pixels;
}

// Copies a screen area, or draws `icon` on a `ground`-coloured square when one is given.
std::vector<COLORREF> Picture(int x, int y, int width, int height, HICON icon = nullptr,
                              COLORREF ground = 0) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (icon) {
        HBRUSH brush = CreateSolidBrush(ground);
        RECT all = {0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    } else {
        BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    }
    std::vector<COLORREF> pixels = ReadPixels(memory, width, height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::size_t Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        count += a[i] != b[i];
    return count;
}

MessageBoxSeen::Icon IdentifyIcon(HWND box) {
    // Windows names the box's icon control 0x14, Wine 0x440.
    HWND control = GetDlgItem(box, 0x14);
    if (!control)
        control = GetDlgItem(box, 0x440);
    if (!control || !IsWindowVisible(control))
        return MessageBoxSeen::None;
    // Wine keeps the control of a box without an icon visible; the handle itself, though
    // meaningless in this process, is null exactly when no icon was set.
    if (!SendMessageA(control, STM_GETICON, 0, 0))
        return MessageBoxSeen::None;
    SetForegroundWindow(box);
    Sleep(100);
    RECT area;
    GetWindowRect(control, &area);
    const int width = GetSystemMetrics(SM_CXICON);
    const int height = GetSystemMetrics(SM_CYICON);
    const std::vector<COLORREF> shown = Picture(area.left, area.top, width, height);
    const COLORREF ground = shown.front();
    const std::size_t error =
        Differences(shown, Picture(0, 0, width, height, LoadIconA(nullptr, IDI_ERROR), ground));
    const std::size_t information = Differences(
        shown, Picture(0, 0, width, height, LoadIconA(nullptr, IDI_INFORMATION), ground));
    const std::size_t tolerance = shown.size() / 20;
    if (error <= tolerance && error < information)
        return MessageBoxSeen::Error;
    if (information <= tolerance && information < error)
        return MessageBoxSeen::Information;
    return MessageBoxSeen::Other;
}

} // namespace

const std::string& ProgramUnderTest() {
    return programUnderTest;
}

void SetProgramUnderTest(const char* path) {
    programUnderTest = ToWindowsPath(path);
}

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%skest-e2e-%lu-%d", temp, GetCurrentProcessId(), ++counter);
    path_ = name;
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
    CopyFileA(ProgramUnderTest().c_str(), ProgramPath().c_str(), FALSE);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(path_);
}

std::string ScratchFolder::MakeFolder(const std::string& relative) const {
    std::string full = path_;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('\\', start);
        if (end == std::string::npos)
            end = relative.size();
        full += "\\" + relative.substr(start, end - start);
        CreateDirectoryA(full.c_str(), nullptr);
        start = end + 1;
    }
    return full;
}

void ScratchFolder::WriteFile(const std::string& relative, const std::string& contents) const {
    const std::string full = path_ + "\\" + relative;
    HANDLE file = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
}

KestProcess::KestProcess(const std::string& programPath, const std::string& arguments)
    : programPath_(programPath), arguments_(arguments) {
    InitializeCriticalSection(&lock_);
    started_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    exited_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // The debug loop must run on the thread that created the process.
    thread_ = CreateThread(nullptr, 0, DebugLoopThread, this, 0, nullptr);
    WaitForSingleObject(started_, 30000);
}

KestProcess::~KestProcess() {
    if (!Exited() && process_)
        TerminateProcess(process_, 0xDEAD);
    WaitForSingleObject(thread_, 30000);
    CloseHandle(thread_);
    CloseHandle(started_);
    CloseHandle(exited_);
    if (process_)
        CloseHandle(process_);
    DeleteCriticalSection(&lock_);
}

DWORD WINAPI KestProcess::DebugLoopThread(void* self) {
    static_cast<KestProcess*>(self)->DebugLoop();
    return 0;
}

void KestProcess::DebugLoop() {
    std::string folder = programPath_.substr(0, programPath_.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + programPath_ + "\" " + arguments_;
    if (!CreateProcessA(programPath_.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        DEBUG_ONLY_THIS_PROCESS, nullptr, folder.c_str(), &startup, &info)) {
        startFailed_ = true;
        SetEvent(started_);
        SetEvent(exited_);
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
    SetEvent(started_);

    for (;;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, INFINITE))
            break;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case OUTPUT_DEBUG_STRING_EVENT: {
            const OUTPUT_DEBUG_STRING_INFO& text = event.u.DebugString;
            std::string line(text.nDebugStringLength, '\0');
            SIZE_T read = 0;
            ReadProcessMemory(process_, text.lpDebugStringData, &line[0], line.size(), &read);
            line.resize(read);
            if (!line.empty() && line.back() == '\0')
                line.pop_back();
            EnterCriticalSection(&lock_);
            lines_.push_back(line);
            LeaveCriticalSection(&lock_);
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            // The program's own C++ exceptions are its business; only the loader's breakpoint
            // is ours.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile)
                CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile)
                CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            exitCode_ = event.u.ExitProcess.dwExitCode;
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT)
            break;
    }
    SetEvent(exited_);
}

HWND KestProcess::FindWindowOfProcess(const char* className, const char* title) const {
    WindowSearch search = {processId_, className, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND KestProcess::WaitForWindow(const char* className, const char* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (HWND window = FindWindowOfProcess(className, title))
            return window;
        if (Exited())
            return nullptr;
        Sleep(50);
    }
    return nullptr;
}

bool KestProcess::WaitForMessageBox(MessageBoxSeen* seen, DWORD timeoutMs) {
    HWND box = WaitForWindow("#32770", nullptr, timeoutMs);
    if (!box)
        return false;
    ReadMessageBox(box, seen);
    return true;
}

void ReadMessageBox(HWND box, MessageBoxSeen* seen) {
    Sleep(200); // let the box finish laying out its controls
    seen->window = box;
    seen->caption = TextOf(box);
    seen->text.clear();
    char text[2048] = {};
    if (GetDlgItemTextA(box, 0xFFFF, text, sizeof text))
        seen->text = text;
    seen->icon = IdentifyIcon(box);
}

void KestProcess::Dismiss(const MessageBoxSeen& box) {
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, IDOK)));
}

bool KestProcess::WaitForExit(DWORD timeoutMs) {
    return WaitForSingleObject(exited_, timeoutMs) == WAIT_OBJECT_0 && !startFailed_;
}

bool KestProcess::Exited() const {
    return WaitForSingleObject(exited_, 0) == WAIT_OBJECT_0;
}

DWORD KestProcess::ExitCode() const {
    return exitCode_;
}

std::vector<std::string> KestProcess::DebugLines() const {
    EnterCriticalSection(&lock_);
    std::vector<std::string> copy = lines_;
    LeaveCriticalSection(&lock_);
    return copy;
}

std::string KestProcess::DebugText() const {
    std::string text;
    for (const std::string& line : DebugLines())
        text += line;
    return text;
}

namespace {
const char* const AppDefaultsKey = "Software\\Wine\\AppDefaults\\KestSetup.exe";
}

WineVersionOverride::WineVersionOverride(const char* version) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, AppDefaultsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
}

WineVersionOverride::~WineVersionOverride() {
    RegDeleteTreeA(HKEY_CURRENT_USER, AppDefaultsKey);
}
