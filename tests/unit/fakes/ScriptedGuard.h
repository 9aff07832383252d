// The guard's system answering from a script: which named mutexes exist, what GetLastError
// says after creating the tool's own, and the version. Records every call in order
// ("create KestCnf", "last error", "open KestII SEMPERA", "close 2", "message <text> 64").
#pragma once

#include "app/InstanceGuard.h"

#include <set>
#include <string>
#include <vector>

class ScriptedGuard : public GuardApi {
  public:
    // The script.
    MutexHandle ownMutex = 1;
    std::uint32_t lastError = 0;
    std::set<std::string> runningGames; // mutex names that open
    bool versionKnown = true;
    OsVersion os = {2, 10};

    // The record.
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    std::set<MutexHandle> openHandles;

    MutexHandle CreateOwnedMutex(const char* name) override {
        calls.push_back(std::string("create ") + name);
        return ownMutex;
    }
    std::uint32_t LastError() override {
        calls.push_back("last error");
        return lastError;
    }
    MutexHandle OpenExistingMutex(const char* name) override {
        calls.push_back(std::string("open ") + name);
        if (!runningGames.count(name))
            return 0;
        const MutexHandle handle = nextHandle_++;
        openHandles.insert(handle);
        return handle;
    }
    void CloseMutex(MutexHandle mutex) override {
        calls.push_back("close " + std::to_string(mutex));
        if (!openHandles.erase(mutex))
            calls.push_back("closed a handle not open");
    }
    void ShowMessage(const char* text, std::uint32_t flags) override {
        messages.push_back(text);
        calls.push_back(std::string("message ") + text + " " + std::to_string(flags));
    }
    bool QueryOsVersion(OsVersion* version) override {
        calls.push_back("version");
        if (!versionKnown)
            return false;
        *version = os;
        return true;
    }

  private:
    MutexHandle nextHandle_ = 100;
};
