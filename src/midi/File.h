// One open file, owned for the life of the object: composes the full name, opens an existing
// file for shared reading, reads, reports the size and closes on every way out of its scope.
#pragma once

#include "midi/FileApi.h"

#include <cstdint>

class File {
  public:
    static constexpr std::uint32_t NameCapacity = 260; // 259 characters and the NUL

    // With `throwOnError` a failed open or read writes a debug line and raises
    // exception_file located at `sourceFile`/`sourceLine`; without it they return false.
    File(const char* sourceFile, int sourceLine, bool throwOnError,
         FileApi& files = PlatformFiles());
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // `name` is `directory` (which carries its own trailing separator) followed by `name`,
    // plus `extension` when `name` itself holds no '.'. Extension and directory may be null.
    // A composed name that does not fit in NameCapacity fails the open.
    bool Open(std::uint32_t access, const char* name, const char* extension, const char* directory);
    bool Read(void* buffer, std::uint32_t count);
    // UnknownFileSize with no file open, when the platform cannot tell, and for files of
    // 4 GiB or more, whose low 32 bits would understate them.
    std::uint32_t GetSize();
    void Close();

    bool IsOpen() const { return handle != InvalidFileHandle; }
    std::uint32_t BytesRead() const { return bytesRead; }

  private:
    FileApi& files_;
    FileHandle handle = InvalidFileHandle;
    std::uint32_t bytesRead = 0;
    const char* sourceFile;
    std::int32_t sourceLine;
    std::int32_t throwOnError;
    char name[NameCapacity] = {};
};
