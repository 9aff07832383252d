#include "midi/File.h"

#include "app/base/BoundedText.h"
#include "app/base/ErrorReport.h"

#include <cstring>

File::File(const char* sourceFile, int sourceLine, bool throwOnError, FileApi& files)
    : files_(files), sourceFile(sourceFile), sourceLine(sourceLine),
      throwOnError(throwOnError ? 1 : 0) {}

bool File::Open(std::uint32_t access, const char* fileName, const char* extension,
                const char* directory) {
    Close();
    name[0] = '\0';
    BoundedText composed(name, sizeof name);
    if (directory)
        composed.Add(directory);
    composed.Add(fileName);
    // A dot anywhere in the name argument, a folder part included, means it has its own.
    if (extension && !std::strchr(fileName, '.')) {
        if (extension[0] != '.')
            composed.Add(".");
        composed.Add(extension);
    }
    // A cut name would open some other file.
    if (!composed.Overflowed())
        handle = files_.OpenExisting(name, access);
    if (IsOpen())
        return true;
    if (!throwOnError)
        return false;
    DebugPrint("failed: File::Open[%s]\n", name);
    throw exception_file(sourceLine, sourceFile, name, 1);
}

bool File::Read(void* buffer, std::uint32_t count) {
    bytesRead = 0;
    if (IsOpen() && files_.Read(handle, buffer, count, &bytesRead))
        return true;
    bytesRead = 0;
    if (!throwOnError)
        return false;
    DebugPrint("failed: File::Read[%d byte, %s]\n", static_cast<int>(count), name);
    throw exception_file(sourceLine, sourceFile, name, 3);
}

std::uint32_t File::GetSize() {
    std::uint64_t size = 0;
    if (!IsOpen() || !files_.GetSize(handle, &size) || size > UnknownFileSize)
        return UnknownFileSize;
    return static_cast<std::uint32_t>(size);
}

void File::Close() {
    if (!IsOpen())
        return;
    files_.Close(handle);
    handle = InvalidFileHandle;
    bytesRead = 0;
    name[0] = '\0';
}
