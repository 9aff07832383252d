// A rectangle in pixels, right and bottom exclusive, apart from any platform's own type.
#pragma once

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};
