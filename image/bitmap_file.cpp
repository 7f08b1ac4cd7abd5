#include "image/dib_image.h"

#include <string.h>

#include "support/report.h"

static bool isGifName(const char *name)
{
    static const char extension[] = ".gif";
    size_t length = strlen(name), i;

    if (length < 4)
        return false;
    for (i = 0; i < 4; i++) {
        char c = name[length - 4 + i];

        if (c >= 'A' && c <= 'Z')
            c = c - 'A' + 'a';
        if (c != extension[i])
            return false;
    }
    return true;
}

DibImage DibImage::fromFile(const char *name)
{
    DibImage image(empty());
    HANDLE file;

    if (isGifName(name)) {
        image.readGif(name);
        return image;
    }
    file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        image.readBitmap(file);
        CloseHandle(file);
    }
    return image;
}

static bool readExactly(HANDLE file, void *buffer, DWORD size)
{
    DWORD got;

    return ReadFile(file, buffer, size, &got, NULL) && got == size;
}

static bool seekTo(HANDLE file, DWORD position)
{
    if (position > 0x7FFFFFFF)
        return false;
    return SetFilePointer(file, (LONG)position, NULL, FILE_BEGIN) == position;
}

// What GDI and the rest of the program can take: plain rows at 4, 8, 16, 24
// and 32 bits, run-length rows only at the bit count they are made for; no
// 1-bit pictures and no colour masks (neither is kept), no JPEG or PNG
// blocks, no top-down rows, and never fewer pixel bytes than plain rows
// need, so nothing reads past the block.
static bool pixelSizeOf(const BITMAPINFOHEADER &info, DWORD *pixelSize)
{
    DibLayout layout;

    switch (info.biCompression) {
    case BI_RGB:
        if (info.biBitCount != 4 && info.biBitCount != 8 && info.biBitCount != 16 &&
            info.biBitCount != 24 && info.biBitCount != 32)
            return false;
        break;
    case BI_RLE8:
        if (info.biBitCount != 8)
            return false;
        break;
    case BI_RLE4:
        if (info.biBitCount != 4)
            return false;
        break;
    default:
        return false;
    }
    if (!dibLayout(info.biBitCount, info.biWidth, info.biHeight, &layout))
        return false;
    if (info.biCompression == BI_RGB) {
        if (info.biSizeImage == 0)
            *pixelSize = layout.pixelSize;
        else if (info.biSizeImage >= layout.pixelSize)
            *pixelSize = info.biSizeImage;
        else
            return false;
        return true;
    }
    // Compressed rows have a size only when the file gives it.
    *pixelSize = info.biSizeImage;
    return *pixelSize != 0;
}

bool DibImage::readBitmap(HANDLE file)
{
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER info;
    DWORD start, pixelOffset, tableSize, pixelSize, total, got;
    PackedDib *dib;
    HGLOBAL block;
    DibImage image(empty());

    start = SetFilePointer(file, 0, NULL, FILE_CURRENT);
    if (start == INVALID_SET_FILE_POINTER)
        return false;
    if (!readExactly(file, &fileHeader.bfType, 2))
        return false;
    if (fileHeader.bfType == 0x4D42) {
        if (!readExactly(file, &fileHeader.bfSize, 12) || !readExactly(file, &info, sizeof info))
            return false;
        pixelOffset = fileHeader.bfOffBits;
    } else {
        if (!seekTo(file, start) || !readExactly(file, &info, sizeof info))
            return false;
        pixelOffset = sizeof info + colourTableSize(info.biBitCount);
    }
    if (info.biSize != sizeof info || !pixelSizeOf(info, &pixelSize))
        return false;
    tableSize = colourTableSize(info.biBitCount);
    total = sizeof info + tableSize;
    if (pixelSize > 0x7FFFFFFF - total || pixelOffset > 0x7FFFFFFF - start)
        return false;
    total += pixelSize;

    block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    dib = block ? (PackedDib *)GlobalLock(block) : NULL;
    if (!dib) {
        reportError(ERR_NOMEM | ERR_FATAL, "allocating DIB image of size %d", (int)total);
        return false;
    }
    *dib = info;
    if (tableSize != 0) {
        dib->biClrUsed = tableSize / sizeof(RGBQUAD);
        dib->biClrImportant = dib->biClrUsed;
    } else {
        // GDI would take these as a colour table in front of the pixels.
        dib->biClrUsed = 0;
        dib->biClrImportant = 0;
    }
    if (dib->biCompression == BI_RGB && dib->biSizeImage == 0)
        dib->biSizeImage = pixelSize;

    if ((tableSize == 0 || readExactly(file, dib + 1, dib->biClrUsed * sizeof(RGBQUAD))) &&
        seekTo(file, start + pixelOffset) &&
        ReadFile(file, dibPixels(dib), pixelSize, &got, NULL)) {
        image = fromPackedDib(dib);
        if (!image.isEmpty()) {
            *this = image;
            return true;
        }
    }
    GlobalUnlock(block);
    GlobalFree(block);
    return false;
}
