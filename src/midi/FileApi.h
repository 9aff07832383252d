// The four file operations File needs, so that the same logic runs against Windows, against
// POSIX folders in native tests, and against scripted files.
#pragma once

#include "app/base/PlatformHandle.h"

#include <cstdint>

using FileHandle = PlatformHandle; // a HANDLE on Windows, a descriptor elsewhere

// INVALID_HANDLE_VALUE: all bits set.
constexpr FileHandle InvalidFileHandle = ~FileHandle{0};

constexpr std::uint32_t GenericRead = 0x80000000;
constexpr std::uint32_t GenericWrite = 0x40000000;

// GetFileSize's answer when it cannot report a size.
constexpr std::uint32_t UnknownFileSize = 0xFFFFFFFF;

class FileApi {
  public:
    virtual ~FileApi() = default;
    // Opens an existing regular file for shared reading and writing (CreateFileA with
    // FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL); `access` is
    // the desired-access mask. InvalidFileHandle on failure.
    virtual FileHandle OpenExisting(const char* name, std::uint32_t access) = 0;
    // ReadFile: true when the call succeeded, also when fewer than `count` bytes arrived.
    virtual bool Read(FileHandle file, void* buffer, std::uint32_t count,
                      std::uint32_t* bytesRead) = 0;
    // The whole size; false when the platform cannot tell.
    virtual bool GetSize(FileHandle file, std::uint64_t* size) = 0;
    virtual void Close(FileHandle file) = 0;
};

// The platform's files: Win32 on Windows, POSIX elsewhere.
FileApi& PlatformFiles();
