// COM as the portable probe logic sees it: opaque interface pointers and raw result codes.
#pragma once

#include <cstdint>

// An interface pointer (IUnknown-derived) on Windows; 0 when none was obtained.
using ComObject = std::uintptr_t;
// A module handle on Windows; 0 when the library could not be loaded.
using LibraryHandle = std::uintptr_t;
// An exported entry point on Windows; 0 when the export is missing.
using ProcEntry = std::uintptr_t;

using HResult = std::int32_t;
constexpr HResult HrOk = 0;
constexpr HResult HrFalse = 1;

// Between the opaque values and the real interface pointers, for the Win32 implementations.
template <class Interface> Interface* As(ComObject object) {
    return reinterpret_cast<Interface*>(object);
}

inline ComObject Handle(void* object) {
    return reinterpret_cast<ComObject>(object);
}
