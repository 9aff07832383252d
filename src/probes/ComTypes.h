// COM as the portable probe logic sees it: opaque interface pointers and raw result codes.
#pragma once

#include "app/base/PlatformHandle.h"
#include "app/base/Scoped.h"

#include <cstdint>

// An interface pointer (IUnknown-derived) on Windows; 0 when none was obtained.
using ComObject = PlatformHandle;
// A module handle on Windows; 0 when the library could not be loaded.
using LibraryHandle = PlatformHandle;
// An exported entry point on Windows; 0 when the export is missing.
using ProcEntry = PlatformHandle;

using HResult = std::int32_t;
constexpr HResult HrOk = 0;

// Releases an interface through the seam that handed it out.
template <class Api> struct ReleaseThrough {
    Api* api;
    void operator()(ComObject object) const { api->Release(object); }
};

// One interface a probe holds, released once.
template <class Api> using HeldObject = Scoped<ComObject, ReleaseThrough<Api>>;
