#include "ui/BitmapMath.h"

std::int64_t BitmapCopySize(std::uint32_t resourceSize, std::uint32_t headerSize,
                            std::uint16_t bitCount, std::int32_t width, std::int32_t height) {
    if (bitCount != 8 || headerSize < 40 || width <= 0 || height <= 0)
        return -1;
    const std::int64_t stride = 4 * ((static_cast<std::int64_t>(width) + 3) / 4);
    const std::int64_t copySize =
        static_cast<std::int64_t>(headerSize) + ColorTableBytes + stride * height;
    return copySize <= resourceSize ? copySize : -1;
}

std::uint8_t RampChannel(int k, std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint8_t>((k * high + (21 - k) * low) / 22);
}

void ApplyRamp(std::uint8_t* colorTable, std::uint32_t highColor, std::uint32_t lowColor) {
    auto channel = [](std::uint32_t color, int shift) {
        return static_cast<std::uint8_t>(color >> shift);
    };
    for (int k = 0; k <= RampLastEntry - RampFirstEntry; ++k) {
        std::uint8_t* entry = colorTable + 4 * (RampFirstEntry + k);
        entry[0] = RampChannel(k, channel(highColor, 16), channel(lowColor, 16)); // blue
        entry[1] = RampChannel(k, channel(highColor, 8), channel(lowColor, 8));   // green
        entry[2] = RampChannel(k, channel(highColor, 0), channel(lowColor, 0));   // red
    }
}

TileGrid TileGridFor(int areaWidth, int areaHeight, int tileWidth, int tileHeight) {
    if (tileWidth <= 0 || tileHeight <= 0)
        return {0, 0};
    return {areaWidth / tileWidth + 1, areaHeight / tileHeight + 1};
}
