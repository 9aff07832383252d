// Book-keeping shared by the scripted DirectX doubles: which interfaces and libraries were
// handed out, and every misuse of them (double release, use after release, an interface still
// alive when its library went, a handle the double never gave out).
#pragma once

#include "probes/ComTypes.h"

#include <map>
#include <string>
#include <vector>

class ComLedger {
  public:
    std::vector<std::string> problems;

    ComObject Obtain(const std::string& name) {
        const ComObject handle = next_++;
        objects_[handle] = {name, false};
        return handle;
    }
    // Whether the handle names a live interface; records a problem when it does not.
    bool Use(ComObject handle, const char* what) {
        auto found = objects_.find(handle);
        if (found == objects_.end()) {
            problems.push_back(std::string(what) + " on a handle never handed out");
            return false;
        }
        if (found->second.released) {
            problems.push_back(std::string(what) + " on released " + found->second.name);
            return false;
        }
        return true;
    }
    std::string Release(ComObject handle) {
        if (!Use(handle, "Release"))
            return "?";
        Entry& entry = objects_[handle];
        entry.released = true;
        return entry.name;
    }
    std::string NameOf(ComObject handle) const {
        auto found = objects_.find(handle);
        return found == objects_.end() ? "?" : found->second.name;
    }

    LibraryHandle Load(const std::string& name) {
        const LibraryHandle handle = next_++;
        libraries_[handle] = {name, false};
        return handle;
    }
    bool UseLibrary(LibraryHandle handle, const char* what) {
        auto found = libraries_.find(handle);
        if (found == libraries_.end() || found->second.released) {
            problems.push_back(std::string(what) + " on a library not loaded");
            return false;
        }
        return true;
    }
    std::string Free(LibraryHandle handle) {
        if (!UseLibrary(handle, "FreeLibrary"))
            return "?";
        Entry& entry = libraries_[handle];
        entry.released = true;
        // Every interface must be gone before its runtime is unmapped.
        if (entry.name == "DDRAW.DLL")
            for (const auto& object : objects_)
                if (!object.second.released)
                    problems.push_back(object.second.name +
                                       " still alive when DDRAW.DLL was freed");
        return entry.name;
    }
    std::string LibraryName(LibraryHandle handle) const {
        auto found = libraries_.find(handle);
        return found == libraries_.end() ? "?" : found->second.name;
    }

    // Everything wrong at the end of a run, or empty.
    std::vector<std::string> Audit() const {
        std::vector<std::string> all = problems;
        for (const auto& object : objects_)
            if (!object.second.released)
                all.push_back(object.second.name + " never released");
        for (const auto& library : libraries_)
            if (!library.second.released)
                all.push_back(library.second.name + " never freed");
        return all;
    }
    std::vector<std::string> Obtained() const {
        std::vector<std::string> names;
        for (const auto& object : objects_)
            names.push_back(object.second.name);
        return names;
    }

  private:
    struct Entry {
        std::string name;
        bool released;
    };
    std::map<std::uintptr_t, Entry> objects_;
    std::map<std::uintptr_t, Entry> libraries_;
    std::uintptr_t next_ = 0x100;
};

// What a failing call leaves in its out-parameter: a value no double ever hands out, so that
// using or releasing it shows up as a problem.
constexpr ComObject Poison = 0xBAD0;
