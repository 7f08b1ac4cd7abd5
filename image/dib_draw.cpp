#include "image/dib_image.h"

#include <stdlib.h>

static HPALETTE desktopHalftone()
{
    HDC dc = GetDC(GetDesktopWindow());
    HPALETTE palette = CreateHalftonePalette(dc);

    ReleaseDC(GetDesktopWindow(), dc);
    return palette;
}

HPALETTE DibImage::createPalette() const
{
    const RGBQUAD *table;
    LOGPALETTE *logical;
    HPALETTE palette;
    int i;

    if (body->dib->biBitCount != 8)
        return desktopHalftone();
    logical = (LOGPALETTE *)malloc(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    if (!logical)
        return NULL;
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    table = colourTable();
    for (i = 0; i < 256; i++) {
        logical->palPalEntry[i].peRed = table[i].rgbRed;
        logical->palPalEntry[i].peGreen = table[i].rgbGreen;
        logical->palPalEntry[i].peBlue = table[i].rgbBlue;
        // The twenty static system colours stay as the system has them.
        logical->palPalEntry[i].peFlags = (i < 10 || i >= 246) ? 0 : PC_RESERVED;
    }
    palette = CreatePalette(logical);
    free(logical);
    return palette;
}

bool drawImage(DibImage image, HDC dc, int x, int y)
{
    PackedDib *dib = image.header();

    return StretchDIBits(dc, x, y, dib->biWidth, dib->biHeight, 0, 0, dib->biWidth, dib->biHeight,
                         dibPixels(dib), (BITMAPINFO *)dib, DIB_RGB_COLORS,
                         SRCCOPY) == dib->biHeight;
}
