// An 8-bit bitmap resource turned into a device bitmap, drawn through the one palette that all
// bitmaps of the process share, so that the page looks right on 256-colour displays.
#pragma once

#include "ui/BitmapMath.h"

#include <windows.h>

#include <cstdint>
#include <memory>

// Made by the first load that finds it missing; deleted by the release of any Bitmap.
extern HPALETTE SharedPalette;

class Bitmap {
  public:
    Bitmap() = default;
    ~Bitmap() { Release(); }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // For an empty Bitmap only. False for a resource that is missing or not 8 bits per pixel;
    // true once the copy is made, even if no device bitmap could be created.
    bool LoadFromResource(int resourceId, HDC dc, HINSTANCE module);
    void Draw(HDC dc, int x, int y) const;
    // Covers the area from (0, 0), always with one column and one row more than fit.
    void DrawTiled(HDC dc, int areaWidth, int areaHeight) const;
    bool Realize(HDC dc) const;
    // Empties this bitmap and discards the shared palette. The ramp colours stay.
    void Release();

    bool IsLoaded() const { return bitmap != nullptr; }

    HBITMAP bitmap = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Header, a 256-entry colour table and the pixel rows.
    std::unique_ptr<std::uint8_t[]> dib;
    // Entries 10 to 31 of the colour table rise from the low to the high colour when the load
    // builds the shared palette; NoRampColor leaves them as they are.
    COLORREF rampHighColor = NoRampColor;
    COLORREF rampLowColor = 0;

  private:
    template <typename Blit> void Render(HDC dc, Blit blit) const;
};
