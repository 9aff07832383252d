// Pixels as a person sees them: a copy of part of the screen, the program's own 8-bit bitmap
// resources read from its file, and system colours changed for a while.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A copy of a screen area, one 0x00BBGGRR colour per pixel.
class ScreenCopy {
  public:
    // `area` in screen coordinates.
    static ScreenCopy Take(const RECT& area);
    static ScreenCopy OfClient(HWND window);
    static ScreenCopy OfWindow(HWND window);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    COLORREF At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    bool operator==(const ScreenCopy& other) const {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    // A 24-bit BMP file.
    bool SaveBmp(const std::string& path) const;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// An 8-bit bitmap as stored: its colour table and one colour-table index per pixel.
struct IndexedBitmap {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colors;      // 256 entries, 0x00BBGGRR
    std::vector<std::uint8_t> indexes; // rows top first
    std::uint8_t IndexAt(int x, int y) const {
        return indexes[static_cast<std::size_t>(y) * width + x];
    }
    COLORREF ColorAt(int x, int y) const { return colors[IndexAt(x, y)]; }
};

// Bitmap resource `id` of a program file, read without running the program.
std::optional<IndexedBitmap> ReadBitmapResource(const std::string& programPath, int id);

// "(r, g, b)", for failure messages.
std::string ColorText(COLORREF color);

// System colours changed until this object goes, then set back: for everyone, and inside the
// running process `processId` as well, because Wine keeps each process's system colours to
// itself once read. Ok() says whether both changes were made.
class SystemColorChange {
  public:
    SystemColorChange(DWORD processId, std::initializer_list<std::pair<int, COLORREF>> colors);
    ~SystemColorChange();
    SystemColorChange(const SystemColorChange&) = delete;
    SystemColorChange& operator=(const SystemColorChange&) = delete;

    bool Ok() const { return ok_; }

  private:
    DWORD processId_;
    std::vector<int> indexes_;
    std::vector<COLORREF> previous_;
    bool ok_ = false;
};

// Calls SetSysColors on a thread of its own inside another process of the same architecture
// and returns its result.
bool SetSysColorsInProcess(DWORD processId, const std::vector<int>& indexes,
                           const std::vector<COLORREF>& colors);

// Wine draws the caption and frame of the programs started while this object lives, instead
// of leaving them to a window manager, which a virtual display does not have; a copy of a
// window then shows its caption.
class WineDrawnWindowFrames {
  public:
    WineDrawnWindowFrames();
    ~WineDrawnWindowFrames();
    WineDrawnWindowFrames(const WineDrawnWindowFrames&) = delete;
    WineDrawnWindowFrames& operator=(const WineDrawnWindowFrames&) = delete;

  private:
    std::optional<std::string> previous_;
};
