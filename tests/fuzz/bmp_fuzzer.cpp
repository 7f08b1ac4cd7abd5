// Feeds arbitrary bytes to the bitmap reader, then reads every byte the
// picture says it holds, as GDI would.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "image/dib_image.h"

// Pictures that claim more than this would spend the run on allocating;
// the reader asks the system for them like for any other picture.
static const uint64_t claimLimit = 64 << 20;

static bool claimsTooMuch(const uint8_t *data, size_t size)
{
    size_t at = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    BITMAPINFOHEADER info;
    uint64_t rowBytes;

    if (size < at + sizeof info)
        return false;
    memcpy(&info, data + at, sizeof info);
    rowBytes = (uint64_t)llabs(info.biWidth) * info.biBitCount / 8 + 4;
    return info.biSizeImage > claimLimit || rowBytes > claimLimit ||
           rowBytes * (uint64_t)llabs(info.biHeight) > claimLimit;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static volatile BYTE sink;
    // A file handle is a stdio stream natively.
    FILE *file;

    if (size == 0 || claimsTooMuch(data, size))
        return 0;
    file = fmemopen((void *)data, size, "rb");
    if (!file)
        return 0;
    DibImage image(DibImage::empty());
    image.readBitmap((HANDLE)file);
    fclose(file);
    if (image.isEmpty())
        return 0;

    const PackedDib *dib = image.header();
    const BYTE *pixels = dibPixels(dib);
    for (DWORD i = 0; i < dib->biSizeImage; i++)
        sink = sink + pixels[i];
    if (dib->biCompression == BI_RGB) {
        DibLayout layout;
        if (!dibLayout(dib->biBitCount, dib->biWidth, dib->biHeight, &layout))
            abort();
        RowTable rows = image.rows();
        for (LONG y = 0; y < dib->biHeight; y++)
            for (DWORD x = 0; x < layout.stride; x++)
                sink = sink + rows[y][x];
    }
    return 0;
}
