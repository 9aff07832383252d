#include "ui/PagePainting.h"

#include <initializer_list>

BackdropColorCache BackdropColors;

namespace {

// The top edge runs this far below the group box's top, through the label's middle.
constexpr int FrameTopInset = 5;

ColorRef Channel(ColorRef color, int shift) {
    return (color >> shift) & 0xFF;
}

} // namespace

ColorRef MeanColor(ColorRef first, ColorRef second) {
    ColorRef mean = 0;
    for (int shift : {0, 8, 16})
        mean |= ((Channel(first, shift) + Channel(second, shift)) / 2) << shift;
    return mean;
}

void PaintBackdrop(PaintingApi& painting, BackdropTile& tile, BackdropColorCache& cache,
                   int pageWidth, int pageHeight) {
    if (!tile.IsLoaded())
        tile.Load();
    const ColorRef hilight = painting.GetSysColor(SysColor3dHilight);
    const ColorRef light = MeanColor(hilight, painting.GetSysColor(SysColor3dLight));
    const ColorRef shadow = painting.GetSysColor(SysColor3dShadow);
    if (light != cache.light || shadow != cache.shadow) {
        cache.light = light;
        cache.shadow = shadow;
        tile.Release();
        tile.SetRamp(light, shadow);
        tile.Load();
    }
    tile.DrawTiled(pageWidth, pageHeight);
}

void DrawGroupOutline(PaintingApi& painting, const PixelRect& frame, const PixelRect& label) {
    const int l = frame.left;
    const int r = frame.right;
    const int b = frame.bottom;
    const int t = frame.top + FrameTopInset;
    const int a = label.left;
    const int e = label.right;

    const PenHandle dark = painting.CreateSolidPen(painting.GetSysColor(SysColor3dShadow));
    const PenHandle light = painting.CreateSolidPen(painting.GetSysColor(SysColor3dHilight));

    const PenHandle previous = painting.SelectPen(dark);
    painting.MoveTo(a, t);
    painting.LineTo(l, t);
    painting.LineTo(l, b - 1);
    painting.LineTo(r - 1, b - 1);
    painting.LineTo(r - 1, t);
    painting.LineTo(e - 1, t);

    painting.SelectPen(light);
    painting.MoveTo(a, t + 1);
    painting.LineTo(l + 1, t + 1);
    painting.LineTo(l + 1, b - 1);
    painting.MoveTo(l, b);
    painting.LineTo(r, b);
    painting.LineTo(r, t - 1);
    painting.MoveTo(e, t + 1);
    painting.LineTo(r - 1, t + 1);

    painting.SelectPen(previous);
    painting.DeletePen(dark);
    painting.DeletePen(light);
}
