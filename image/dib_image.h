// Pictures: counted handles to shared packed device-independent bitmaps.
#ifndef TINDLE_IMAGE_DIB_IMAGE_H
#define TINDLE_IMAGE_DIB_IMAGE_H

#include <windows.h>

// One contiguous block: this 40-byte header, the colour table (256 entries at
// 8 bits per pixel, 16 at 4, none otherwise) and the pixel rows, bottom row
// first, each padded to whole 32-bit words.
typedef BITMAPINFOHEADER PackedDib;

// One pointer per row in picture order: entry 0 is the top row.
typedef BYTE **RowTable;

// Where the parts of a packed DIB lie, in bytes. Every size fits in a signed
// 32-bit integer, so the block can be asked of the system and reported.
struct DibLayout {
    DWORD stride;
    DWORD colourTableSize;
    DWORD pixelSize;
    DWORD total;
};

// Fills layout for a picture of height rows of width pixels (both not
// negative) at bitCount bits per pixel; false when a size would not fit.
bool dibLayout(WORD bitCount, LONG width, LONG height, DibLayout *layout);

// Colour-table size in bytes for a bit count: 1024, 64 or 0.
DWORD colourTableSize(WORD bitCount);

// The first pixel row of a packed DIB, behind its header and colour table.
BYTE *dibPixels(const PackedDib *dib);

struct DibImageBody {
    enum { ResourceBacked = 1 };

    RowTable rows; // built on first demand; global memory
    LONG refCount;
    DWORD flags;
    PackedDib *dib;   // owned global block, or inside the locked resource
    HGLOBAL resource; // the loaded resource while ResourceBacked is set
};

class DibImage
{
  public:
    // Copies and assignments share the picture; the last handle frees it.
    DibImage(const DibImage &other);
    DibImage &operator=(const DibImage &other);
    ~DibImage();

    // The process-wide empty image, a 1 x 1 8-bit picture, that stands for
    // no picture; every loader hands back a copy of it on failure.
    static DibImage &empty();
    bool isEmpty() const;

    // Replaces this handle's picture with a blank one: halftone colours,
    // every pixel 0. Out of memory is reported and ends the program.
    bool create(WORD bitCount, LONG width, LONG height);
    static DibImage makeImage(WORD bitCount, LONG width, LONG height);

    PackedDib *header() const;
    // The colour table at 8 and 4 bits per pixel, null otherwise.
    RGBQUAD *colourTable() const;
    // Null, with nothing reported, when the header cannot be laid out.
    RowTable rows();
    // A palette for drawing the picture, owned by the caller; null on failure.
    HPALETTE createPalette() const;

    // A bitmap file, or by a ".gif" name a GIF file; the empty image when it
    // cannot be read.
    static DibImage fromFile(const char *name);
    // Reads a bitmap, with or without its file header, from the file's
    // current position; the handle changes only when it returns true.
    bool readBitmap(HANDLE file);
    // Takes the first picture of a GIF file, or the empty image.
    DibImage readGif(const char *name);

    // A bitmap resource used in place; the empty image when it is missing.
    static DibImage fromResource(LPCSTR type, LPCSTR name, HMODULE module);
    static DibImage fromResourceHandle(HRSRC found);
    // Wraps memory without copying it; on the empty image the caller still
    // owns the memory.
    static DibImage fromPackedDib(PackedDib *dib);

    // The shared body; read it, never change it from outside.
    DibImageBody *body;

  private:
    DibImage();
    void take(DibImageBody *shared);
    void release();
};

// Draws the picture at its own size with its top-left corner at x, y; true
// when every row was drawn.
bool drawImage(DibImage image, HDC dc, int x, int y);

// The module whose "DIB" resources fromResourceHandle loads.
extern HMODULE resourceInstance;

#endif
