// Files and folder search over POSIX, so that discovery runs natively on real folders.
#include "midi/DirectorySearchApi.h"
#include "midi/FileApi.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace {

class PosixFiles final : public FileApi {
  public:
    FileHandle OpenExisting(const char* name, std::uint32_t access) override {
        int flags = O_RDONLY;
        if ((access & GenericRead) && (access & GenericWrite))
            flags = O_RDWR;
        else if (access & GenericWrite)
            flags = O_WRONLY;
        // Non-blocking so that a FIFO in place of a file cannot stall the open; for the
        // regular files that pass below the flag changes nothing.
        const int descriptor = open(name, flags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0)
            return InvalidFileHandle;
        // Windows opens only files here: a folder or a device is not one.
        struct stat status;
        if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            close(descriptor);
            return InvalidFileHandle;
        }
        return static_cast<FileHandle>(descriptor);
    }

    bool Read(FileHandle file, void* buffer, std::uint32_t count,
              std::uint32_t* bytesRead) override {
        // Like ReadFile on a disk file: everything asked for, unless the file ends first.
        *bytesRead = 0;
        auto* target = static_cast<char*>(buffer);
        while (*bytesRead < count) {
            std::size_t chunk = count - *bytesRead;
            if (chunk > SSIZE_MAX)
                chunk = SSIZE_MAX;
            const ssize_t got = read(static_cast<int>(file), target + *bytesRead, chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                break;
            *bytesRead += static_cast<std::uint32_t>(got);
        }
        return true;
    }

    bool GetSize(FileHandle file, std::uint64_t* size) override {
        struct stat status;
        if (fstat(static_cast<int>(file), &status) != 0 || status.st_size < 0)
            return false;
        *size = static_cast<std::uint64_t>(status.st_size);
        return true;
    }

    void Close(FileHandle file) override { close(static_cast<int>(file)); }
};

struct Search {
    DIR* folder;
    std::string wildcard;
};

class PosixDirectorySearch final : public DirectorySearchApi {
  public:
    SearchHandle FindFirst(const char* pattern, DirectoryEntry* entry) override {
        const char* separator = std::strrchr(pattern, PathSeparator);
        const std::string folderName =
            separator ? std::string(pattern, separator == pattern ? 1 : separator - pattern)
                      : std::string(".");
        DIR* folder = opendir(folderName.c_str());
        if (!folder)
            return InvalidSearchHandle;
        auto* search = new Search{folder, separator ? separator + 1 : pattern};
        const auto handle = ToPlatformHandle(search);
        if (!FindNext(handle, entry)) {
            FindClose(handle);
            return InvalidSearchHandle;
        }
        return handle;
    }

    bool FindNext(SearchHandle handle, DirectoryEntry* entry) override {
        auto* search = ToNative<Search*>(handle);
        while (const dirent* found = readdir(search->folder)) {
            if (!Matches(search->wildcard, found->d_name))
                continue;
            std::strncpy(entry->name, found->d_name, sizeof entry->name - 1);
            entry->name[sizeof entry->name - 1] = '\0';
            entry->isDirectory = IsDirectory(search->folder, found);
            return true;
        }
        return false;
    }

    void FindClose(SearchHandle handle) override {
        auto* search = ToNative<Search*>(handle);
        closedir(search->folder);
        delete search;
    }

  private:
    // "*.*" matches every name on Windows, those without a dot too.
    static bool Matches(const std::string& wildcard, const char* name) {
        if (wildcard == "*" || wildcard == "*.*")
            return true;
        return fnmatch(wildcard.c_str(), name, 0) == 0;
    }

    static bool IsDirectory(DIR* folder, const dirent* found) {
        if (found->d_type != DT_UNKNOWN && found->d_type != DT_LNK)
            return found->d_type == DT_DIR;
        struct stat status;
        return fstatat(dirfd(folder), found->d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
    }
};

} // namespace

FileApi& PlatformFiles() {
    static PosixFiles files;
    return files;
}

DirectorySearchApi& PlatformDirectorySearch() {
    static PosixDirectorySearch search;
    return search;
}
