#include "ui/SheetPlacement.h"

namespace {

// The new start of a span of `size` on one axis, with `low` to `high` visible.
int FitAxis(int start, int size, int low, int high) {
    if (start >= low && start + size <= high)
        return start;
    if (size > high - low || start < low)
        return low;
    return high - size;
}

} // namespace

PixelRect FitInside(const PixelRect& window, const PixelRect& workArea) {
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int left = FitAxis(window.left, width, workArea.left, workArea.right);
    const int top = FitAxis(window.top, height, workArea.top, workArea.bottom);
    return {left, top, left + width, top + height};
}
