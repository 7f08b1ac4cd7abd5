// Feeds arbitrary bytes to the GIF reader as a file, then reads every pixel
// of every picture in the chain.
#include <stdint.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "gif/gif_reader.h"

// Pictures larger than this would spend the run on allocating; any 0x2C
// byte could start an image descriptor, so every one is checked.
static const uint64_t claimLimit = 64 << 20;

static bool claimsTooMuch(const uint8_t *data, size_t size)
{
    for (size_t at = 0; at + 9 < size; at++) {
        if (data[at] != 0x2C)
            continue;
        uint64_t width = data[at + 5] | data[at + 6] << 8;
        uint64_t height = data[at + 7] | data[at + 8] << 8;
        if ((width + 4) * height > claimLimit)
            return true;
    }
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string path = "/tmp/gif_fuzz_" + std::to_string(getpid()) + ".gif";
    static volatile BYTE sink;
    FILE *file;

    if (claimsTooMuch(data, size))
        return 0;
    file = fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    GifFrame *head = readGifFile(path.c_str());
    for (GifFrame *frame = head; frame; frame = frame->next) {
        if (frame->image.isEmpty())
            continue;
        const PackedDib *dib = frame->image.header();
        RowTable rows = dib->biHeight > 0 ? frame->image.rows() : NULL;
        for (LONG y = 0; y < dib->biHeight; y++)
            for (LONG x = 0; x < dib->biWidth; x++)
                sink = sink + rows[y][x];
    }
    destroyGifFrame(head);
    return 0;
}
