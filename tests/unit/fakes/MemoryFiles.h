// Files and one folder listing held in memory, with scripted sizes and failures, recording
// every call so tests can check what was asked and in which order.
#pragma once

#include "midi/DirectorySearchApi.h"
#include "midi/FileApi.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

class MemoryFiles : public FileApi, public DirectorySearchApi {
  public:
    struct Stored {
        std::string contents;
        std::optional<std::uint64_t> size; // what GetSize reports instead of the real size
        bool failSize = false;
        bool failRead = false;
        // Reads write the contents but claim only this many bytes, as a file that shrank.
        std::optional<std::uint32_t> claimRead;
    };
    struct Listed {
        std::string name;
        bool isDirectory;
    };

    std::map<std::string, Stored> files; // by the full name passed to OpenExisting
    std::vector<Listed> listing;         // what a search of the folder finds, in order
    bool folderExists = true;
    std::vector<std::string> calls; // "open NAME", "read NAME COUNT", "size NAME", ...

    static std::string SetPath(const std::string& directory) {
        return std::string("MIDI") + PathSeparator + directory + PathSeparator + "program.txt";
    }
    // A folder of "MIDI" with its description.
    Stored& AddSet(const std::string& directory, const std::string& description) {
        listing.push_back({directory, true});
        Stored& stored = files[SetPath(directory)];
        stored.contents = description;
        return stored;
    }
    std::size_t OpenFiles() const { return open_.size(); }
    std::size_t OpenSearches() const { return searches_.size(); }
    std::size_t CountCalls(const std::string& prefix) const {
        return std::count_if(calls.begin(), calls.end(), [&](const std::string& call) {
            return call.compare(0, prefix.size(), prefix) == 0;
        });
    }

    FileHandle OpenExisting(const char* name, std::uint32_t access) override {
        calls.push_back(std::string("open ") + name);
        lastAccess = access;
        if (!files.count(name))
            return InvalidFileHandle;
        const FileHandle handle = nextHandle_++;
        open_[handle] = name;
        return handle;
    }
    bool Read(FileHandle file, void* buffer, std::uint32_t count,
              std::uint32_t* bytesRead) override {
        *bytesRead = 0;
        if (!open_.count(file)) {
            calls.push_back("read ?");
            return false;
        }
        const Stored& stored = files[open_[file]];
        calls.push_back("read " + open_[file] + " " + std::to_string(count));
        if (stored.failRead)
            return false;
        const std::size_t n = std::min<std::size_t>(count, stored.contents.size());
        std::memcpy(buffer, stored.contents.data(), n);
        *bytesRead = stored.claimRead ? std::min<std::uint32_t>(*stored.claimRead, n)
                                      : static_cast<std::uint32_t>(n);
        return true;
    }
    bool GetSize(FileHandle file, std::uint64_t* size) override {
        if (!open_.count(file))
            return false;
        const Stored& stored = files[open_[file]];
        calls.push_back("size " + open_[file]);
        if (stored.failSize)
            return false;
        *size = stored.size ? *stored.size : stored.contents.size();
        return true;
    }
    void Close(FileHandle file) override {
        calls.push_back("close " + (open_.count(file) ? open_[file] : std::string("?")));
        open_.erase(file);
    }

    SearchHandle FindFirst(const char* pattern, DirectoryEntry* entry) override {
        calls.push_back(std::string("find ") + pattern);
        if (!folderExists || listing.empty())
            return InvalidSearchHandle;
        const SearchHandle handle = nextHandle_++;
        searches_[handle] = 0;
        Fill(listing[0], entry);
        return handle;
    }
    bool FindNext(SearchHandle search, DirectoryEntry* entry) override {
        std::size_t& position = searches_.at(search);
        if (++position >= listing.size())
            return false;
        Fill(listing[position], entry);
        return true;
    }
    void FindClose(SearchHandle search) override {
        calls.push_back("find close");
        searches_.erase(search);
    }

    std::uint32_t lastAccess = 0;

  private:
    static void Fill(const Listed& listed, DirectoryEntry* entry) {
        std::memset(entry->name, 0, sizeof entry->name);
        std::strncpy(entry->name, listed.name.c_str(), sizeof entry->name - 1);
        entry->isDirectory = listed.isDirectory;
    }
    std::map<FileHandle, std::string> open_;
    std::map<SearchHandle, std::size_t> searches_;
    std::uintptr_t nextHandle_ = 1;
};
