#include "app/base/ErrorReport.h"

#include "app/base/BoundedText.h"
#include "app/base/DebugOutput.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

std::int32_t ErrorCode;
char ErrorStringBuffer[ErrorStringCapacity];

const char* const ErrorMessageTable[11] = {
    "Unexpected error...",
    "A file cannot opened.",
    "A file cannot be created.",
    "A file cannot be read.",
    "Can't write to file.",
    "The file pointer cannot be set.",
    "Data format unsupported.",
    "Unknown data format.",
    "Data error...",
    "Unknown error.",
    "A problem occured with\nthe decompression buffer.",
};

namespace {

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return name;
}

} // namespace

void DebugPrint(const char* format, ...) {
    char line[1024] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    line[sizeof line - 1] = '\0';
    WriteDebugOutput(line);
}

void SetErrorString(const char* prefix, const char* sourceFile, int sourceLine, const char* message,
                    const char* detail) {
    ErrorStringBuffer[0] = '\0';
    BoundedText text(ErrorStringBuffer, sizeof ErrorStringBuffer);
    if (prefix)
        text.Add(prefix);
    if (sourceFile) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", sourceLine);
        // "line" in code page 932 follows the number.
        text.Add("(").Add(FileNameOf(sourceFile)).Add(" ").Add(number).Add("\x8D\x73)");
    }
    if (prefix || sourceFile)
        text.Add("\n");
    if (message)
        text.Add(message).Add("\n");
    if (detail)
        text.Add("->").Add(detail).Add("\n");
    if (text.Overflowed())
        DebugPrint("%s", "failed: ErrorStringBuffer Overflow\n");
}

const char* GetErrorString() {
    return ErrorStringBuffer;
}

runtime_error::runtime_error(int sourceLine, const char* sourceFile, const char* message) {
    ErrorCode = ErrorGeneral;
    SetErrorString("Error", sourceFile, sourceLine, message, nullptr);
}

exception_file::exception_file(int sourceLine, const char* sourceFile, const char* detail,
                               int messageIndex) {
    ErrorCode = ErrorFile;
    // Every raising site passes 1 or 3; past the table reads as its last entry.
    if (messageIndex > 10)
        messageIndex = 10;
    if (messageIndex < 0)
        messageIndex = 0;
    SetErrorString("Error", sourceFile, sourceLine, ErrorMessageTable[messageIndex], detail);
}

void OutOfMemoryHandler(std::size_t requestedSize) {
    // Composed without allocating, and unsigned: a request above 2 GiB must not read as a
    // negative byte count.
    char message[64] = {};
    char number[24];
    const auto converted = std::to_chars(number, number + sizeof number - 1, requestedSize);
    *converted.ptr = '\0';
    BoundedText(message, sizeof message).Add("Lacking memory by ").Add(number).Add(" bytes.");
    ErrorCode = ErrorOutOfMemory;
    SetErrorString("Error", nullptr, 0, message, nullptr);
    throw exception_memory();
}
