// picdump FILE OUT: loads a picture as the saver does and writes its info
// header, colour table and pixel rows to OUT exactly as they lie in memory.
// The empty image writes nothing and ends with status 1.
#include <stdio.h>

#include "image/dib_image.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: picdump FILE OUT\n");
        return 2;
    }
    DibImage image = DibImage::fromFile(argv[1]);
    if (image.isEmpty())
        return 1;

    const PackedDib *dib = image.header();
    DibLayout layout;
    size_t size = dibPixels(dib) - (const BYTE *)dib;
    // Uncompressed rows take stride x height bytes; compressed ones what the
    // file stored.
    if (dib->biCompression == BI_RGB &&
        dibLayout(dib->biBitCount, dib->biWidth, dib->biHeight, &layout))
        size += layout.pixelSize;
    else
        size += dib->biSizeImage;

    FILE *out = fopen(argv[2], "wb");
    if (!out || fwrite(dib, 1, size, out) != size || fclose(out) != 0) {
        perror(argv[2]);
        return 2;
    }
    return 0;
}
