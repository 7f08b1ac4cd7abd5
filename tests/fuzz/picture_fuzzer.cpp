// Feeds arbitrary bytes to the GIF reader when they start "GIF", to the
// bitmap reader otherwise, then reads every byte each picture says it holds.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "gif/gif_reader.h"

static void readAll(DibImage image)
{
    static volatile BYTE sink;
    const PackedDib *dib = image.header();
    DibLayout layout;
    RowTable rows = dib->biHeight > 0 ? image.rows() : NULL;
    if (!dibLayout(dib->biBitCount, dib->biWidth, dib->biHeight, &layout) ||
        (dib->biHeight > 0 && !rows))
        abort();
    for (DWORD i = 0; i < dib->biSizeImage; i++)
        sink = sink + dibPixels(dib)[i];
    for (LONG y = 0; dib->biCompression == BI_RGB && y < dib->biHeight; y++)
        for (LONG x = 0; x < (LONG)layout.stride; x++)
            sink = sink + rows[y][x];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/picture_fuzz_" + std::to_string(getpid());
    BITMAPINFOHEADER info;
    // More than 64 MB would spend the run on allocating; any 0x2C byte could
    // start an image descriptor, a bitmap header starts at byte 0 or 14.
    for (size_t at = 0; at + 9 < size; at++)
        if (data[at] == 0x2C &&
            (uint64_t)(data[at + 5] | data[at + 6] << 8) * (data[at + 7] | data[at + 8] << 8) >
                64 << 20)
            return 0;
    for (size_t at : {0, 14}) {
        if (size < at + sizeof info)
            continue;
        memcpy(&info, data + at, sizeof info);
        if (info.biSizeImage > 64 << 20 ||
            ((uint64_t)llabs(info.biWidth) * info.biBitCount / 8 + 4) * llabs(info.biHeight) >
                64 << 20)
            return 0;
    }
    FILE *file = fopen(path.c_str(), "wb");
    fwrite(data, 1, size, file);
    fclose(file);
    GifFrame *head = size >= 3 && memcmp(data, "GIF", 3) == 0 ? readGifFile(path.c_str()) : NULL;
    for (GifFrame *frame = head; frame; frame = frame->next)
        readAll(frame->image);
    destroyGifFrame(head);
    if (!head)
        readAll(DibImage::fromFile(path.c_str()));
    return 0;
}
