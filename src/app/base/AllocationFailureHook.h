// A seam for the Windows-side tests: makes chosen allocations fail as if memory were exhausted,
// so that the road from a failed allocation to the closing box can be walked at any point of
// start-up. The program itself never sets it; without a hook every allocation is made.
#pragma once

#include <cstddef>

// Answers true for an allocation of `size` bytes that is to fail.
using AllocationFailureHook = bool (*)(std::size_t size);

// In the builds that wrap malloc, every allocation through malloc (and so through operator new)
// asks the hook first. Null removes it.
void SetAllocationFailureHook(AllocationFailureHook hook);
