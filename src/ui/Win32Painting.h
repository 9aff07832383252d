// The painting seams over a real device context and the backdrop Bitmap.
#pragma once

#include "ui/Bitmap.h"
#include "ui/PagePainting.h"

#include <windows.h>

class Win32Painting final : public PaintingApi {
  public:
    explicit Win32Painting(HDC dc) : dc_(dc) {}
    ColorRef GetSysColor(int index) override { return ::GetSysColor(index); }
    PenHandle CreateSolidPen(ColorRef color) override {
        return ToPlatformHandle(CreatePen(PS_SOLID, 1, color));
    }
    PenHandle SelectPen(PenHandle pen) override {
        return ToPlatformHandle(SelectObject(dc_, ToNative<HGDIOBJ>(pen)));
    }
    void DeletePen(PenHandle pen) override { DeleteObject(ToNative<HGDIOBJ>(pen)); }
    void MoveTo(int x, int y) override { MoveToEx(dc_, x, y, nullptr); }
    void LineTo(int x, int y) override { ::LineTo(dc_, x, y); }

  private:
    HDC dc_;
};

class BitmapTile final : public BackdropTile {
  public:
    BitmapTile(Bitmap& bitmap, int resourceId, HDC dc, HINSTANCE module)
        : bitmap_(bitmap), resourceId_(resourceId), dc_(dc), module_(module) {}
    bool IsLoaded() const override { return bitmap_.IsLoaded(); }
    void Load() override { bitmap_.LoadFromResource(resourceId_, dc_, module_); }
    void Release() override { bitmap_.Release(); }
    void SetRamp(ColorRef high, ColorRef low) override {
        bitmap_.rampHighColor = high;
        bitmap_.rampLowColor = low;
    }
    void DrawTiled(int width, int height) override { bitmap_.DrawTiled(dc_, width, height); }

  private:
    Bitmap& bitmap_;
    int resourceId_;
    HDC dc_;
    HINSTANCE module_;
};
