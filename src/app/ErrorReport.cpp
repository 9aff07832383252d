#include "app/ErrorReport.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#endif

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

#if defined(_WIN32)
void ToDebugger(const char* line) {
    OutputDebugStringA(line);
}
DebugSink currentSink = ToDebugger;
#else
void DiscardLine(const char*) {}
DebugSink currentSink = DiscardLine;
#endif

// Appends to a fixed buffer without allocating (the out-of-memory path composes text too),
// keeping it terminated and counting what did not fit.
class TextAppender {
  public:
    TextAppender(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
        buffer_[0] = '\0';
    }
    void Add(const char* text) { Add(text, std::strlen(text)); }
    void Add(const char* text, std::size_t length) {
        if (length_ < capacity_ - 1) {
            const std::size_t room = capacity_ - 1 - length_;
            const std::size_t n = length < room ? length : room;
            std::memcpy(buffer_ + length_, text, n);
            buffer_[length_ + n] = '\0';
        }
        length_ += length;
    }
    bool Overflowed() const { return length_ > capacity_ - 1; }

  private:
    char* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':')
            name = p + 1;
    return name;
}

} // namespace

DebugSink SetDebugSink(DebugSink sink) {
    DebugSink previous = currentSink;
    currentSink = sink;
    return previous;
}

void DebugPrint(const char* format, ...) {
    char line[1024] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    line[sizeof line - 1] = '\0';
    currentSink(line);
}

void SetErrorString(const char* prefix, const char* sourceFile, int sourceLine, const char* message,
                    const char* detail) {
    TextAppender text(ErrorStringBuffer, sizeof ErrorStringBuffer);
    if (prefix)
        text.Add(prefix);
    if (sourceFile) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", sourceLine);
        text.Add("(");
        text.Add(FileNameOf(sourceFile));
        text.Add(" ");
        text.Add(number);
        text.Add("\x8D\x73)"); // "line" in code page 932
    }
    if (prefix || sourceFile)
        text.Add("\n");
    if (message) {
        text.Add(message);
        text.Add("\n");
    }
    if (detail) {
        text.Add("->");
        text.Add(detail);
        text.Add("\n");
    }
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
    char message[64];
    char number[24];
    const auto converted = std::to_chars(number, number + sizeof number - 1, requestedSize);
    *converted.ptr = '\0';
    TextAppender text(message, sizeof message);
    text.Add("Lacking memory by ");
    text.Add(number);
    text.Add(" bytes.");
    ErrorCode = ErrorOutOfMemory;
    SetErrorString("Error", nullptr, 0, message, nullptr);
    throw exception_memory();
}
