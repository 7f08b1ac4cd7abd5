#include "image/dib_image.h"

#include <new>
#include <string.h>

#include "support/report.h"

// Every size is kept below 2 GB: no larger block can be had on this system,
// and the reports print sizes as signed numbers.
static const DWORD maxDibSize = 0x7FFFFFFF;

static bool addSize(DWORD a, DWORD b, DWORD *sum)
{
    if (a > maxDibSize || b > maxDibSize - a)
        return false;
    *sum = a + b;
    return true;
}

static bool multiplySize(DWORD a, DWORD b, DWORD *product)
{
    if (b != 0 && a > maxDibSize / b)
        return false;
    *product = a * b;
    return true;
}

DWORD colourTableSize(WORD bitCount)
{
    if (bitCount == 8)
        return 1024;
    if (bitCount == 4)
        return 64;
    return 0;
}

bool dibLayout(WORD bitCount, LONG width, LONG height, DibLayout *layout)
{
    DWORD rowBits;

    if (width < 0 || height < 0)
        return false;
    if (!multiplySize((DWORD)width, bitCount, &rowBits) || !addSize(rowBits, 31, &rowBits))
        return false;
    layout->stride = rowBits / 32 * 4;
    layout->colourTableSize = colourTableSize(bitCount);
    return multiplySize(layout->stride, (DWORD)height, &layout->pixelSize) &&
           addSize(sizeof(BITMAPINFOHEADER) + layout->colourTableSize, layout->pixelSize,
                   &layout->total);
}

BYTE *dibPixels(const PackedDib *dib)
{
    return (BYTE *)dib + sizeof(BITMAPINFOHEADER) + colourTableSize(dib->biBitCount);
}

// The block is known by its locked address alone.
static void freeGlobal(void *address)
{
    HGLOBAL block = GlobalHandle(address);

    GlobalUnlock(block);
    GlobalFree(block);
}

static void *allocGlobal(DWORD size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);

    return block ? GlobalLock(block) : NULL;
}

DibImage::DibImage() : body(NULL)
{
}

DibImage::DibImage(const DibImage &other) : body(NULL)
{
    take(other.body);
}

DibImage &DibImage::operator=(const DibImage &other)
{
    if (this != &other) {
        release();
        take(other.body);
    }
    return *this;
}

DibImage::~DibImage()
{
    release();
}

void DibImage::take(DibImageBody *shared)
{
    body = shared;
    body->refCount++;
}

void DibImage::release()
{
    if (!body || --body->refCount > 0)
        return;
    if (body->flags & DibImageBody::ResourceBacked)
        FreeResource(body->resource);
    else
        freeGlobal(body->dib);
    if (body->rows)
        freeGlobal(body->rows);
    delete body;
    body = NULL;
}

DibImage &DibImage::empty()
{
    // Its destructor is the release that runs at exit.
    static DibImage image;

    if (!image.body)
        image.create(8, 1, 1);
    return image;
}

bool DibImage::isEmpty() const
{
    return body == empty().body;
}

// Copies the first count colours of the desktop's halftone palette.
static void copyHalftone(RGBQUAD *table, UINT count)
{
    PALETTEENTRY entries[256];
    HDC dc = GetDC(GetDesktopWindow());
    HPALETTE halftone = CreateHalftonePalette(dc);
    UINT i;

    memset(entries, 0, sizeof entries);
    GetPaletteEntries(halftone, 0, count, entries);
    DeleteObject(halftone);
    ReleaseDC(GetDesktopWindow(), dc);
    for (i = 0; i < count; i++) {
        table[i].rgbRed = entries[i].peRed;
        table[i].rgbGreen = entries[i].peGreen;
        table[i].rgbBlue = entries[i].peBlue;
        table[i].rgbReserved = 0;
    }
}

static void reportNoDibMemory(DWORD total)
{
    reportError(ERR_NOMEM | ERR_FATAL, "allocating DIB image of size %d", (int)total);
}

bool DibImage::create(WORD bitCount, LONG width, LONG height)
{
    DibLayout layout;
    PackedDib *dib;
    DibImageBody *made;

    // A size beyond what can be counted is a block that cannot be had.
    if (!dibLayout(bitCount, width, height, &layout)) {
        reportNoDibMemory(maxDibSize);
        return false;
    }
    dib = (PackedDib *)allocGlobal(layout.total);
    if (!dib) {
        reportNoDibMemory(layout.total);
        return false;
    }
    dib->biSize = sizeof(BITMAPINFOHEADER);
    dib->biWidth = width;
    dib->biHeight = height;
    dib->biPlanes = 1;
    dib->biBitCount = bitCount;
    dib->biCompression = BI_RGB;
    dib->biSizeImage = layout.pixelSize;
    dib->biClrUsed = layout.colourTableSize / sizeof(RGBQUAD);
    dib->biClrImportant = dib->biClrUsed;
    copyHalftone((RGBQUAD *)(dib + 1), dib->biClrUsed);

    made = new (std::nothrow) DibImageBody();
    if (!made) {
        freeGlobal(dib);
        reportNoDibMemory(layout.total);
        return false;
    }
    made->dib = dib;
    release();
    take(made);
    return true;
}

DibImage DibImage::makeImage(WORD bitCount, LONG width, LONG height)
{
    DibImage image;

    if (!image.create(bitCount, width, height))
        image = empty();
    return image;
}

PackedDib *DibImage::header() const
{
    return body->dib;
}

RGBQUAD *DibImage::colourTable() const
{
    if (colourTableSize(body->dib->biBitCount) == 0)
        return NULL;
    return (RGBQUAD *)(body->dib + 1);
}

RowTable DibImage::rows()
{
    PackedDib *dib = body->dib;
    DibLayout layout;
    DWORD size;
    BYTE *pixels;
    LONG i;

    if (body->rows)
        return body->rows;
    // A header that cannot be laid out has no rows to point at; the caller
    // says so in its own words.
    if (!dibLayout(dib->biBitCount, dib->biWidth, dib->biHeight, &layout))
        return NULL;
    if (multiplySize((DWORD)dib->biHeight, sizeof(BYTE *), &size))
        body->rows = (RowTable)allocGlobal(size);
    if (!body->rows) {
        reportError(ERR_NOMEM | ERR_FATAL, "");
        return NULL;
    }
    pixels = dibPixels(dib);
    for (i = 0; i < dib->biHeight; i++)
        body->rows[dib->biHeight - 1 - i] = pixels + layout.stride * i;
    return body->rows;
}

DibImage DibImage::fromPackedDib(PackedDib *dib)
{
    DibImageBody *made = new (std::nothrow) DibImageBody();
    DibImage image;

    if (!made)
        return empty();
    made->dib = dib;
    image.take(made);
    return image;
}
