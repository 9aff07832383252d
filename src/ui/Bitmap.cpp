#include "ui/Bitmap.h"

#include "app/base/ErrorReport.h"
#include "app/base/Scoped.h"

#include <algorithm>
#include <cstring>

HPALETTE SharedPalette;

namespace {

// The colour table always sits right after the 40-byte header of the copy.
constexpr std::size_t ColorTableOffset = sizeof(BITMAPINFOHEADER);

HPALETTE CreatePaletteFromTable(const std::uint8_t* table) {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[ColorTableEntries];
    } palette = {0x300, ColorTableEntries, {}};
    for (int i = 0; i < ColorTableEntries; ++i) {
        const std::uint8_t* rgbQuad = table + 4 * i;
        palette.entries[i] = {rgbQuad[2], rgbQuad[1], rgbQuad[0], 0};
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
}

// Every drawing leaves its device context as it found it: the shared palette goes in as a
// foreground palette and is realized, and the previous one goes back, also in the foreground.
struct SelectPaletteBack {
    HDC dc;
    void operator()(HPALETTE previous) const { SelectPalette(dc, previous, FALSE); }
};
using PaletteSelection = Scoped<HPALETTE, SelectPaletteBack>;

// The context's previous palette, or null when nothing was selected; `realized` receives
// RealizePalette's answer, GDI_ERROR when nothing was selected.
HPALETTE SelectSharedPalette(HDC dc, UINT* realized = nullptr) {
    const HPALETTE previous = SharedPalette ? SelectPalette(dc, SharedPalette, FALSE) : nullptr;
    const UINT answer = previous ? RealizePalette(dc) : GDI_ERROR;
    if (realized)
        *realized = answer;
    return previous;
}

} // namespace

bool Bitmap::LoadFromResource(int resourceId, HDC dc, HINSTANCE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(2));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* resource =
        loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    if (!resource)
        return false;
    const DWORD resourceSize = SizeofResource(module, found);
    BITMAPINFOHEADER header = {}; // one cut short is refused: its copy would end past it
    std::memcpy(&header, resource, std::min<std::size_t>(resourceSize, sizeof header));
    const std::int64_t copySize = BitmapCopySize(resourceSize, header.biSize, header.biBitCount,
                                                 header.biWidth, header.biHeight);
    if (copySize < 0) {
        DebugPrint("%s", "Bitmap::LoadFromResource error1");
        return false;
    }

    dib.reset(new std::uint8_t[static_cast<std::size_t>(copySize)]);
    std::memcpy(dib.get(), resource, static_cast<std::size_t>(copySize));
    width = header.biWidth;
    height = header.biHeight;

    std::uint8_t* table = dib.get() + ColorTableOffset;
    if (!SharedPalette) {
        if (rampHighColor != NoRampColor && rampLowColor != NoRampColor)
            ApplyRamp(table, rampHighColor, rampLowColor);
        SharedPalette = CreatePaletteFromTable(table);
    }

    const PaletteSelection palette(SelectSharedPalette(dc), SelectPaletteBack{dc});
    bitmap = CreateDIBitmap(dc, reinterpret_cast<const BITMAPINFOHEADER*>(dib.get()), CBM_INIT,
                            dib.get() + header.biSize + ColorTableBytes,
                            reinterpret_cast<const BITMAPINFO*>(dib.get()), DIB_RGB_COLORS);
    return true;
}

template <typename Blit> void Bitmap::Render(HDC dc, Blit blit) const {
    if (!bitmap || !SharedPalette)
        return;
    const Scoped mappingMode(SetMapMode(dc, MM_TEXT),
                             [dc](int previous) { SetMapMode(dc, previous); });
    const PaletteSelection palette(SelectSharedPalette(dc), SelectPaletteBack{dc});
    const Scoped source(CreateCompatibleDC(dc), DeleteDC);
    const Scoped selection(SelectObject(source.Get(), bitmap),
                           [&source](HGDIOBJ previous) { SelectObject(source.Get(), previous); });
    blit(source.Get());
}

void Bitmap::Draw(HDC dc, int x, int y) const {
    Render(dc, [&](HDC source) { BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY); });
}

void Bitmap::DrawTiled(HDC dc, int areaWidth, int areaHeight) const {
    Render(dc, [&](HDC source) {
        const TileGrid grid = TileGridFor(areaWidth, areaHeight, width, height);
        for (int row = 0; row < grid.rows; ++row)
            for (int column = 0; column < grid.columns; ++column)
                BitBlt(dc, column * width, row * height, width, height, source, 0, 0, SRCCOPY);
    });
}

bool Bitmap::Realize(HDC dc) const {
    if (!bitmap || !SharedPalette)
        return false;
    UINT realized = GDI_ERROR;
    const PaletteSelection palette(SelectSharedPalette(dc, &realized), SelectPaletteBack{dc});
    return realized != GDI_ERROR;
}

void Bitmap::Release() {
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (SharedPalette) {
        DeleteObject(SharedPalette);
        SharedPalette = nullptr;
    }
    dib.reset();
    width = 0;
    height = 0;
}
