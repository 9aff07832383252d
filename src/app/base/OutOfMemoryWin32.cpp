#include "app/base/AllocationFailureHook.h"
#include "app/base/ErrorReport.h"
#include "app/base/MessageBoxes.h"

#include <windows.h>

#include <cstdlib>
#include <exception>

#if defined(_MSC_VER)
#include <new.h>
#endif

namespace {

bool handlerInstalled = false;
AllocationFailureHook failureHook = nullptr;

// GCC takes malloc for a function that never throws, so an exception raised from a failed
// malloc cannot always unwind and ends in std::terminate. The failure is recorded by then:
// end the program the way WinMain would have, with the closing box and the recorded code.
[[noreturn]] void EndWithRecordedError() {
    DebugPrint("%s", ErrorStringBuffer);
    ShowClosingMessage();
    ExitProcess(static_cast<UINT>(ErrorCode != 0 ? ErrorCode : ErrorGeneral));
}

} // namespace

#if !defined(_MSC_VER)
// Linked with --wrap=malloc: libstdc++'s operator new allocates through malloc too, so this one
// place sees every failed allocation together with its size.
extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __wrap_malloc(std::size_t size) {
    void* block = failureHook && failureHook(size) ? nullptr : __real_malloc(size);
    if (!block && handlerInstalled)
        OutOfMemoryHandler(size);
    return block;
}
#else
static int NewHandler(std::size_t size) {
    OutOfMemoryHandler(size);
}
#endif

#if !defined(_MSC_VER)
void SetAllocationFailureHook(AllocationFailureHook hook) {
    failureHook = hook;
}
#endif

void InstallOutOfMemoryHandler() {
    handlerInstalled = true;
    std::set_terminate(EndWithRecordedError);
#if defined(_MSC_VER)
    _set_new_mode(1);
    _set_new_handler(NewHandler);
#endif
}
