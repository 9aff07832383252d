// Failures that end the program are recorded here first (text and code) and then raised as an
// exception object that carries nothing; the text is shown once, at exit.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::int32_t ErrorGeneral = -2;
constexpr std::int32_t ErrorOutOfMemory = -4;
constexpr std::int32_t ErrorFile = -5;

constexpr std::size_t ErrorStringCapacity = 512;

extern std::int32_t ErrorCode;
extern char ErrorStringBuffer[ErrorStringCapacity];

extern const char* const ErrorMessageTable[11];

#if defined(__GNUC__)
#define KEST_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KEST_PRINTF_FORMAT(fmt, args)
#endif

// One formatted line, at most 1023 characters, to the debugger output.
void DebugPrint(const char* format, ...) KEST_PRINTF_FORMAT(1, 2);

// Composes ErrorStringBuffer; every argument but the line may be null.
void SetErrorString(const char* prefix, const char* sourceFile, int sourceLine, const char* message,
                    const char* detail);
const char* GetErrorString();

class runtime_error {
  public:
    runtime_error() = default;
    runtime_error(int sourceLine, const char* sourceFile, const char* message);
    static const char* GetErrorString() { return ::GetErrorString(); }
};

class exception_file : public runtime_error {
  public:
    exception_file(int sourceLine, const char* sourceFile, const char* detail, int messageIndex);
};

class exception_memory : public runtime_error {};

// Records "Lacking memory by N bytes." with code -4 and raises exception_memory.
[[noreturn]] void OutOfMemoryHandler(std::size_t requestedSize);

// Routes failed allocations of both operator new and malloc to OutOfMemoryHandler.
void InstallOutOfMemoryHandler();

// Raises a general error located at the call site.
#define KEST_RAISE(message) throw runtime_error(__LINE__, __FILE__, (message))
