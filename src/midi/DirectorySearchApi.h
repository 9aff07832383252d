// The three search operations the instrument-set discovery needs (FindFirstFileA and friends).
#pragma once

#include "app/base/PlatformHandle.h"

using SearchHandle = PlatformHandle;

constexpr SearchHandle InvalidSearchHandle = ~SearchHandle{0};

struct DirectoryEntry {
    char name[260]; // the entry's own name, as cFileName holds it
    bool isDirectory;
};

class DirectorySearchApi {
  public:
    virtual ~DirectorySearchApi() = default;
    // Starts a search for `pattern` (a folder, the separator and "*.*") and fills the first
    // entry; InvalidSearchHandle when nothing is found, the folder missing included.
    virtual SearchHandle FindFirst(const char* pattern, DirectoryEntry* entry) = 0;
    // The next entry; false at the end.
    virtual bool FindNext(SearchHandle search, DirectoryEntry* entry) = 0;
    virtual void FindClose(SearchHandle search) = 0;
};

// The platform's search: Win32 on Windows, POSIX elsewhere.
DirectorySearchApi& PlatformDirectorySearch();

// The separator of the platform's paths.
#if defined(_WIN32)
constexpr char PathSeparator = '\\';
#else
constexpr char PathSeparator = '/';
#endif
