// A platform handle as the portable logic holds it: an integer as wide as a pointer. 0 is none
// unless a seam names another value (INVALID_HANDLE_VALUE for files and searches).
#pragma once

#include <cstdint>

using PlatformHandle = std::uintptr_t;

// Between the held integer and the platform's own handle, pointer or entry point type.
template <typename Native> Native ToNative(PlatformHandle handle) {
    return reinterpret_cast<Native>(handle);
}
template <typename Native> PlatformHandle ToPlatformHandle(Native handle) {
    return reinterpret_cast<PlatformHandle>(handle);
}
