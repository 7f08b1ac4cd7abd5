// The LZW stage of the GIF reader: turns one image's compressed data (the LZW
// Minimum Code Size byte and the data sub-blocks behind it) into the rows of
// an 8-bit picture.  The row loop pulls runs of pixels, the LZW stage writes
// whole strings into a run, and it reads sub-blocks several at a time.
#ifndef TINDLE_GIF_LZW_DECODER_H
#define TINDLE_GIF_LZW_DECODER_H

#include <stdio.h>

// Minimum code sizes above this would need codes wider than 12 bits.
enum { LZW_MAX_MIN_CODE_SIZE = 11 };

// How far a run may go beyond the pixels asked for: the last string may be
// as long as the table and is written in chunks of 8.
enum { LZW_RUN_OVERRUN = 4096 + 8 };

// Decodes one image into rows (entry 0 the top row) from file, positioned at
// the image's LZW Minimum Code Size byte, and leaves the file behind the
// image's Block Terminator.  0 when decoding ran, even when the data ended
// early or broke off (the rest of the picture keeps its pixels); -1 when the
// size byte is missing or above LZW_MAX_MIN_CODE_SIZE.
int decodeGifRows(unsigned char **rows, FILE *file, int width, int height, int interlaced);

// Resets the one decoder for an image with the given minimum code size
// (0 to LZW_MAX_MIN_CODE_SIZE).
void lzwStart(int minCodeSize);

// Decodes whole strings into run until it holds at least room pixels, and
// returns how many it holds (up to room + LZW_RUN_OVERRUN); fewer than room
// when the image's pixels stop: at the End of Information code, at the end
// of the data, or at a string code where a stream must begin afresh (the
// first code of an image or behind a clear code).
int lzwNextPixels(FILE *file, unsigned char *run, int room);

// Reads one data sub-block into destination (room for 255 bytes): its
// length, 0 for the Block Terminator, or -1 when it cannot be read whole.
int readDataBlock(FILE *file, unsigned char *destination);

#endif
