// Where the sheet goes once it has its size: the place it was given, unless part of it would lie
// outside the work area of its screen.
#pragma once

#include "ui/PixelRect.h"

// `window` moved along each axis just enough to lie inside `workArea`, or to the work area's
// left or top edge on an axis where it is larger; an axis on which it fits keeps its place.
PixelRect FitInside(const PixelRect& window, const PixelRect& workArea);
