// Scoped GDI state: each undoes on destruction exactly what it did, so every drawing operation
// leaves its device context as it found it.
#pragma once

#include <windows.h>

// Selects a palette into a context in the foreground and realizes it; selects the previous one
// back, also in the foreground. A null palette selects nothing.
class PaletteSelection {
  public:
    PaletteSelection(HDC dc, HPALETTE palette) : dc_(dc) {
        if (!palette)
            return;
        previous_ = SelectPalette(dc_, palette, FALSE);
        realized_ = RealizePalette(dc_);
    }
    ~PaletteSelection() {
        if (previous_)
            SelectPalette(dc_, previous_, FALSE);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

    // RealizePalette's answer: the entries mapped, or GDI_ERROR.
    UINT Realized() const { return realized_; }

  private:
    HDC dc_;
    HPALETTE previous_ = nullptr;
    UINT realized_ = GDI_ERROR;
};

// A memory context compatible with another, deleted on destruction.
class MemoryDc {
  public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// Selects a GDI object into a context and the previous one back on destruction.
class ObjectSelection {
  public:
    ObjectSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ObjectSelection() {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    ObjectSelection(const ObjectSelection&) = delete;
    ObjectSelection& operator=(const ObjectSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Sets a mapping mode and puts the previous one back.
class MappingModeScope {
  public:
    MappingModeScope(HDC dc, int mode) : dc_(dc), previous_(SetMapMode(dc, mode)) {}
    ~MappingModeScope() {
        if (previous_)
            SetMapMode(dc_, previous_);
    }
    MappingModeScope(const MappingModeScope&) = delete;
    MappingModeScope& operator=(const MappingModeScope&) = delete;

  private:
    HDC dc_;
    int previous_;
};
