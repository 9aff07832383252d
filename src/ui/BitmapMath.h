// The arithmetic of the palettized bitmaps, apart from any device: how much of a resource is
// copied, how the recolour ramp is computed, and how many tiles cover an area.
#pragma once

#include <cstdint>

// A ramp colour of this value means "do not recolour".
constexpr std::uint32_t NoRampColor = 0xFFFFFFFF;

constexpr int ColorTableEntries = 256;
constexpr int ColorTableBytes = ColorTableEntries * 4;
constexpr int RampFirstEntry = 10;
constexpr int RampLastEntry = 31;

// What is copied of a bitmap resource of `resourceSize` bytes: its header, a full 256-entry colour
// table and the pixel rows padded to 4 bytes. -1 for one that is refused: not 8 bits per pixel, a
// header shorter than the 40 bytes read from it, no image (a zero or negative size), or a copy
// that would read past the resource's end.
std::int64_t BitmapCopySize(std::uint32_t resourceSize, std::uint32_t headerSize,
                            std::uint16_t bitCount, std::int32_t width, std::int32_t height);

// One channel of ramp entry 10 + k, k from 0 to 21: 21/22 of the low colour at the start,
// 21/22 of the high colour at the end (the divisor is 22).
std::uint8_t RampChannel(int k, std::uint8_t high, std::uint8_t low);

// Recolours entries 10 to 31 of a colour table (blue, green, red, reserved per entry) between
// two 0x00BBGGRR colours. The reserved bytes and every other entry are left alone.
void ApplyRamp(std::uint8_t* colorTable, std::uint32_t highColor, std::uint32_t lowColor);

struct TileGrid {
    int columns;
    int rows;
};

// Always one column and one row more than the quotient, even for an exact multiple. No tiles
// for an empty tile.
TileGrid TileGridFor(int areaWidth, int areaHeight, int tileWidth, int tileHeight);
