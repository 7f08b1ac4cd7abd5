// The GIF stream parser: reads a GIF87a or GIF89a file into a chain of
// frames, one 8-bit picture per image, with each image's delay and
// transparency from its Graphic Control Extension.
#ifndef TINDLE_GIF_GIF_READER_H
#define TINDLE_GIF_GIF_READER_H

#include <stdint.h>
#include <stdio.h>

#include "image/dib_image.h"

// One record per image, in file order; zero-initialised, locked global
// memory, freed from its address.
struct GifFrame {
    uint16_t delay;           // hundredths of a second, as stored
    int32_t transparent;      // 0 or 1
    uint8_t transparentIndex; // written only when transparent is 1
    DibImage image;           // the empty image until one is decoded
    GifFrame *next;           // owned
};

// The signature and the Logical Screen Descriptor, as stored.
struct GifHeader {
    char signature[6];
    uint8_t screenWidth[2];
    uint8_t screenHeight[2];
    uint8_t packed; // bit 7: global table; bits 0-2: its size
    uint8_t background;
    uint8_t aspectRatio;
};

struct ColourTable {
    RGBQUAD entries[256];
};

// The chain of the file's images, owned by the caller (destroyGifFrame on
// the first record); null after a report.
GifFrame *readGifFile(const char *path);

// A new record, or null when there is no memory for it.
GifFrame *makeGifFrame();
// Destroys frame and every record after it, releasing their pictures.
void destroyGifFrame(GifFrame *frame);

// The readers below return 0, or -1 after a report.
int readGifHeader(FILE *file, GifHeader *header);
int readColourTable(FILE *file, int count, ColourTable *table);
// The decoded picture, or a copy of the empty image after a report.
DibImage readGifImage(FILE *file, const GifHeader *header, const ColourTable *global);
int readGifExtension(FILE *file, GifFrame *frame);
int readGraphicControl(FILE *file, GifFrame *frame);
int skipPlainText(FILE *file);
int skipComment(FILE *file);
int skipApplication(FILE *file);

#endif
