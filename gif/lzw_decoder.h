// The LZW stage of the GIF reader: turns one image's compressed data (the LZW
// Minimum Code Size byte and the data sub-blocks behind it) into the rows of
// an 8-bit picture.  The row loop pulls one pixel at a time, the LZW stage
// decodes a code only when its pixel stack is empty, and the code reader
// reads a sub-block only when it runs out of bits.
#ifndef TINDLE_GIF_LZW_DECODER_H
#define TINDLE_GIF_LZW_DECODER_H

#include <stdio.h>

// Negative results of lzwNextPixel.
enum {
    LZW_NO_CODE = -1,   // the data ended or could not be read
    LZW_END = -2,       // the End of Information code
    LZW_BROKEN = -3     // a string longer than the pixel stack: a corrupt table
};

// Minimum code sizes above this would need codes wider than 12 bits.
enum { LZW_MAX_MIN_CODE_SIZE = 11 };

// Decodes one image into rows (entry 0 the top row) from file, positioned at
// the image's LZW Minimum Code Size byte.  0 when decoding ran, even when the
// data ended early or broke off (the rest of the picture keeps its pixels);
// -1 when the size byte is missing or above LZW_MAX_MIN_CODE_SIZE.
int decodeGifRows(unsigned char **rows, FILE *file, int width, int height, int interlaced);

// Resets the one decoder for an image with the given minimum code size
// (0 to LZW_MAX_MIN_CODE_SIZE).
void lzwStart(int minCodeSize);

// The next pixel (0 or more), or one of the negative results above.
int lzwNextPixel(FILE *file);

// The next code of width bits (1 to 12), or -1 when no further code can be
// read.
int nextCode(FILE *file, int width);

// Reads one data sub-block into destination (room for 255 bytes): its
// length, 0 for the Block Terminator, or -1 when it cannot be read whole.
int readDataBlock(FILE *file, unsigned char *destination);

#endif
