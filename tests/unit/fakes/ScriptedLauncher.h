// The launcher's system answering from a script, recording every call in order
// ("windows dir", "exists C:\...", "open C:\...", "message <text> 0"). The default script is
// Windows 98 in C:\WINDOWS with nothing installed and a shell that opens anything.
#pragma once

#include "probes/DiagnosticTool.h"

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

class ScriptedLauncher : public LauncherApi {
  public:
    // The script.
    bool versionKnown = true;
    OsVersion os = {1, 4};
    std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
    std::string windowsDirectory = "C:\\WINDOWS";
    std::set<std::string> existingFiles;
    std::intptr_t shellResult = 42;
    std::function<void()> onShellOpen;

    // The record.
    std::vector<std::string> calls;
    std::vector<std::string> opened;
    std::vector<std::string> boxes; // "message <text> <flags>" or "system error <text> <flags>"

    bool QueryOsVersion(OsVersion* version) override {
        calls.push_back("version");
        if (!versionKnown)
            return false;
        *version = os;
        return true;
    }
    void SystemDirectory(char* buffer, std::uint32_t size) override {
        calls.push_back("system dir " + std::to_string(size));
        Copy(systemDirectory, buffer, size);
    }
    void WindowsDirectory(char* buffer, std::uint32_t size) override {
        calls.push_back("windows dir " + std::to_string(size));
        Copy(windowsDirectory, buffer, size);
    }
    bool FileExists(const char* path) override {
        calls.push_back(std::string("exists ") + path);
        return existingFiles.count(path) != 0;
    }
    std::intptr_t ShellOpen(const char* path) override {
        calls.push_back(std::string("open ") + path);
        opened.push_back(path);
        if (onShellOpen)
            onShellOpen();
        return shellResult;
    }
    void ShowMessage(const char* text, std::uint32_t flags) override {
        boxes.push_back(std::string("message ") + text + " " + std::to_string(flags));
        calls.push_back(boxes.back());
    }
    void ShowSystemError(const char* text, std::uint32_t flags) override {
        boxes.push_back(std::string("system error ") + text + " " + std::to_string(flags));
        calls.push_back(boxes.back());
    }

  private:
    // Like GetWindowsDirectoryA: nothing is written when the name does not fit.
    static void Copy(const std::string& text, char* buffer, std::uint32_t size) {
        if (text.size() < size)
            std::memcpy(buffer, text.c_str(), text.size() + 1);
    }
};
