#include "app/ErrorReport.h"

#include <cstdlib>

#if defined(_MSC_VER)
#include <new.h>
#endif

namespace {
bool handlerInstalled = false;
}

#if !defined(_MSC_VER)
// Linked with --wrap=malloc: libstdc++'s operator new allocates through malloc too, so this one
// place sees every failed allocation together with its size.
extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __wrap_malloc(std::size_t size) {
    void* block = __real_malloc(size);
    if (!block && handlerInstalled)
        OutOfMemoryHandler(size);
    return block;
}
#else
static int NewHandler(std::size_t size) {
    OutOfMemoryHandler(size);
}
#endif

void InstallOutOfMemoryHandler() {
    handlerInstalled = true;
#if defined(_MSC_VER)
    _set_new_mode(1);
    _set_new_handler(NewHandler);
#endif
}
