// Drives the real KestSetup.exe from a test: starts it as a debuggee in a folder of its own,
// collects its debug lines, finds its windows and message boxes, and waits for its exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The KestSetup.exe under test, as given on the command line.
const std::string& ProgramUnderTest();

// A fresh folder holding a copy of the program; removed with everything in it on destruction.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string ProgramPath() const { return path_ + "\\KestSetup.exe"; }
    // Creates the sub-folder (and its parents) and returns its full path.
    std::string MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::string& contents) const;

  private:
    std::string path_;
};

struct MessageBoxSeen {
    std::string caption;
    std::string text;
    enum Icon { None, Information, Error, Other } icon = None;
    HWND window = nullptr;
};

// Reads an open message box of any process: caption, text and icon.
void ReadMessageBox(HWND box, MessageBoxSeen* seen);

class KestProcess {
  public:
    explicit KestProcess(const std::string& programPath, const std::string& arguments = "");
    ~KestProcess(); // ends the process if it still runs
    KestProcess(const KestProcess&) = delete;
    KestProcess& operator=(const KestProcess&) = delete;

    // A top-level window of this process with the class (and title, when given).
    HWND WaitForWindow(const char* className, const char* title = nullptr, DWORD timeoutMs = 20000);
    HWND FindWindowOfProcess(const char* className, const char* title = nullptr) const;
    // The first message box of this process, read and left open.
    bool WaitForMessageBox(MessageBoxSeen* seen, DWORD timeoutMs = 20000);
    // Presses the box's OK button.
    static void Dismiss(const MessageBoxSeen& box);

    bool WaitForExit(DWORD timeoutMs = 20000);
    bool Exited() const;
    DWORD ExitCode() const;
    DWORD ProcessId() const { return processId_; }
    std::vector<std::string> DebugLines() const;
    std::string DebugText() const; // every line, concatenated

  private:
    static DWORD WINAPI DebugLoopThread(void* self);
    void DebugLoop();

    std::string programPath_;
    std::string arguments_;
    HANDLE thread_ = nullptr;
    HANDLE started_ = nullptr;
    HANDLE exited_ = nullptr;
    mutable CRITICAL_SECTION lock_;
    std::vector<std::string> lines_;
    DWORD processId_ = 0;
    HANDLE process_ = nullptr;
    DWORD exitCode_ = STILL_ACTIVE;
    bool startFailed_ = false;
};

// Wine's per-program Windows version ("nt351", "nt40", "win98", "win2k"...), undone on
// destruction.
class WineVersionOverride {
  public:
    explicit WineVersionOverride(const char* version);
    ~WineVersionOverride();
    WineVersionOverride(const WineVersionOverride&) = delete;
    WineVersionOverride& operator=(const WineVersionOverride&) = delete;
};
