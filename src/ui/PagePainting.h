// The page's own background: the recoloured backdrop tile and the etched group outlines.
// Written against small seams so that the exact drawing runs without a screen.
#pragma once

#include "app/base/PlatformHandle.h"
#include "ui/PixelRect.h"

#include <cstdint>

using ColorRef = std::uint32_t; // 0x00BBGGRR
using PenHandle = PlatformHandle;

constexpr ColorRef NoColor = 0xFFFFFFFF; // never returned by GetSysColor

constexpr int SysColor3dShadow = 16;
constexpr int SysColor3dHilight = 20;
constexpr int SysColor3dLight = 22;

// The drawing operations the painting needs of a device context.
class PaintingApi {
  public:
    virtual ~PaintingApi() = default;
    virtual ColorRef GetSysColor(int index) = 0;
    virtual PenHandle CreateSolidPen(ColorRef color) = 0; // one pixel wide
    virtual PenHandle SelectPen(PenHandle pen) = 0;       // returns the previous pen
    virtual void DeletePen(PenHandle pen) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0; // does not paint the end point
};

// What the backdrop painting needs of the tile bitmap.
class BackdropTile {
  public:
    virtual ~BackdropTile() = default;
    virtual bool IsLoaded() const = 0;
    virtual void Load() = 0; // recolours from the ramp pair when the shared palette is new
    virtual void Release() = 0;
    virtual void SetRamp(ColorRef high, ColorRef low) = 0;
    virtual void DrawTiled(int width, int height) = 0;
};

// The colours the tile was last built with; the first comparison always fails.
struct BackdropColorCache {
    ColorRef light = NoColor;
    ColorRef shadow = NoColor;
};

extern BackdropColorCache BackdropColors;

// Per-channel mean of two colours, remainders dropped; the byte above blue is 0.
ColorRef MeanColor(ColorRef first, ColorRef second);

// Tiles the backdrop over the page's client area, of any size, from its top left corner,
// rebuilding the tile first when the system's 3-D colours moved.
void PaintBackdrop(PaintingApi& painting, BackdropTile& tile, BackdropColorCache& cache,
                   int pageWidth, int pageHeight);

// One etched outline around `frame`, open in its top edge strictly between the label's edges.
void DrawGroupOutline(PaintingApi& painting, const PixelRect& frame, const PixelRect& label);
