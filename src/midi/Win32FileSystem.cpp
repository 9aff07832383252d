#include "midi/DirectorySearchApi.h"
#include "midi/FileApi.h"

#include <windows.h>

#include <cstring>

namespace {

class Win32Files final : public FileApi {
  public:
    FileHandle OpenExisting(const char* name, std::uint32_t access) override {
        const HANDLE file = CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return ToPlatformHandle(file);
    }
    bool Read(FileHandle file, void* buffer, std::uint32_t count,
              std::uint32_t* bytesRead) override {
        DWORD read = 0;
        const BOOL ok = ReadFile(ToNative<HANDLE>(file), buffer, count, &read, nullptr);
        *bytesRead = read;
        return ok != FALSE;
    }
    bool GetSize(FileHandle file, std::uint64_t* size) override {
        DWORD high = 0;
        const DWORD low = GetFileSize(ToNative<HANDLE>(file), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
            return false;
        *size = static_cast<std::uint64_t>(high) << 32 | low;
        return true;
    }
    void Close(FileHandle file) override { CloseHandle(ToNative<HANDLE>(file)); }
};

void Fill(const WIN32_FIND_DATAA& found, DirectoryEntry* entry) {
    static_assert(sizeof entry->name == sizeof found.cFileName, "names are MAX_PATH long");
    std::memcpy(entry->name, found.cFileName, sizeof entry->name);
    entry->name[sizeof entry->name - 1] = '\0';
    entry->isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32DirectorySearch final : public DirectorySearchApi {
  public:
    SearchHandle FindFirst(const char* pattern, DirectoryEntry* entry) override {
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA(pattern, &found);
        if (search == INVALID_HANDLE_VALUE)
            return InvalidSearchHandle;
        Fill(found, entry);
        return ToPlatformHandle(search);
    }
    bool FindNext(SearchHandle search, DirectoryEntry* entry) override {
        WIN32_FIND_DATAA found;
        if (!FindNextFileA(ToNative<HANDLE>(search), &found))
            return false;
        Fill(found, entry);
        return true;
    }
    void FindClose(SearchHandle search) override { ::FindClose(ToNative<HANDLE>(search)); }
};

} // namespace

FileApi& PlatformFiles() {
    static Win32Files files;
    return files;
}

DirectorySearchApi& PlatformDirectorySearch() {
    static Win32DirectorySearch search;
    return search;
}
