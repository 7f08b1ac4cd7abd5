#include "gif/lzw_decoder.h"

#include <stdint.h>
#include <string.h>

enum {
    TABLE_SIZE = 4096,      // codes are at most 12 bits wide
    STACK_SIZE = 8192,      // twice the longest string the table can hold
    CARRIED_BYTES = 2,      // the end of the previous sub-block
    CODE_BUFFER_SIZE = 280  // the carried bytes, a sub-block and slack
};

// One decoder for the whole program: nothing is allocated per image.
// Table entry k stands for the string of entry prefix[k] followed by the
// pixel suffix[k]; entries below clearCode are the single pixel k.
static struct LzwDecoder {
    int minCodeSize;
    int clearCode;
    int endCode;
    int codeSize;
    int codeLimit;      // when nextSlot reaches it the codes grow by a bit
    int nextSlot;
    int firstPixel;     // first pixel of the string decoded last
    int previousCode;
    bool fresh;         // the next request takes the image's first code
    bool ended;         // the End of Information code has been met
    uint16_t prefix[TABLE_SIZE];
    uint16_t suffix[TABLE_SIZE];
    // A string is pushed from its last pixel to its first.
    uint16_t pixelStack[STACK_SIZE];
    int stackTop;

    // Bytes 0 and 1 carry the last two bytes of the previous sub-block, so
    // that a code straddling two sub-blocks is taken whole.
    unsigned char codeBuffer[CODE_BUFFER_SIZE];
    int bytesHeld;
    int bitsHeld;
    int bitPos;         // next bit to take, from bit 0 of byte 0
    bool lastBlockRead; // this image's Block Terminator has been read
    bool zeroBlockSeen; // the last length byte read was 0
} lzw;

static void resetTable()
{
    int k;

    for (k = 0; k < lzw.clearCode; k++) {
        lzw.prefix[k] = 0;
        lzw.suffix[k] = (uint16_t)k;
    }
    memset(lzw.prefix + lzw.clearCode, 0, (TABLE_SIZE - lzw.clearCode) * sizeof lzw.prefix[0]);
    memset(lzw.suffix + lzw.clearCode, 0, (TABLE_SIZE - lzw.clearCode) * sizeof lzw.suffix[0]);
    lzw.codeSize = lzw.minCodeSize + 1;
    lzw.codeLimit = 2 * lzw.clearCode;
    lzw.nextSlot = lzw.clearCode + 2;
    lzw.stackTop = 0;
}

void lzwStart(int minCodeSize)
{
    lzw.minCodeSize = minCodeSize;
    lzw.clearCode = 1 << minCodeSize;
    lzw.endCode = lzw.clearCode + 1;
    lzw.bitPos = 0;
    lzw.bitsHeld = 0;
    lzw.lastBlockRead = false;
    lzw.fresh = true;
    lzw.ended = false;
    resetTable();
}

int readDataBlock(FILE *file, unsigned char *destination)
{
    unsigned char length;

    if (fread(&length, 1, 1, file) != 1)
        return -1;
    lzw.zeroBlockSeen = length == 0;
    if (length == 0)
        return 0;
    if (fread(destination, length, 1, file) != 1)
        return -1;
    return length;
}

// Reads sub-blocks up to and including the Block Terminator, or until a
// read fails.
static void skipDataBlocks(FILE *file)
{
    unsigned char scratch[256];
    int n;

    do
        n = readDataBlock(file, scratch);
    while (n > 0);
}

int nextCode(FILE *file, int width)
{
    unsigned window;
    int n, byte;

    // The next sub-block is read as soon as a code would reach the end of
    // the bits held, even when it ends exactly there.  Sub-blocks too short
    // to complete the code are followed by further ones; the bits still
    // missing (at most 12) always lie within the two carried bytes.
    if (lzw.bitPos + width >= lzw.bitsHeld) {
        do {
            if (lzw.lastBlockRead)
                return -1;
            if (lzw.bitsHeld > 0) {
                lzw.codeBuffer[0] = lzw.codeBuffer[lzw.bytesHeld - 2];
                lzw.codeBuffer[1] = lzw.codeBuffer[lzw.bytesHeld - 1];
            }
            n = readDataBlock(file, lzw.codeBuffer + CARRIED_BYTES);
            if (n < 0)
                return -1;
            if (n == 0)
                lzw.lastBlockRead = true;
            lzw.bitPos = lzw.bitPos - lzw.bitsHeld + 8 * CARRIED_BYTES;
            lzw.bytesHeld = CARRIED_BYTES + n;
            lzw.bitsHeld = 8 * lzw.bytesHeld;
        } while (lzw.bitPos + width > lzw.bitsHeld);
    }
    // A code of up to 12 bits lies within three bytes from its first bit.
    byte = lzw.bitPos >> 3;
    window = lzw.codeBuffer[byte] | lzw.codeBuffer[byte + 1] << 8 | lzw.codeBuffer[byte + 2] << 16;
    window >>= lzw.bitPos & 7;
    lzw.bitPos += width;
    return (int)(window & ((1u << width) - 1));
}

int lzwNextPixel(FILE *file)
{
    int code, incoming;

    if (lzw.fresh) {
        lzw.fresh = false;
        do
            code = nextCode(file, lzw.codeSize);
        while (code == lzw.clearCode);
        if (code < 0)
            return code;
        lzw.firstPixel = lzw.previousCode = code;
        return code;
    }
    if (lzw.stackTop > 0)
        return lzw.pixelStack[--lzw.stackTop];
    // Nothing behind the End of Information code belongs to the image, and
    // after an early one the data are read up to the Block Terminator
    // already: a further request must not read the next block.
    if (lzw.ended)
        return LZW_END;

    code = nextCode(file, lzw.codeSize);
    if (code < 0)
        return code;
    if (code == lzw.clearCode) {
        resetTable();
        code = nextCode(file, lzw.codeSize);
        if (code < 0)
            return code;
        lzw.firstPixel = lzw.previousCode = code;
        return code;
    }
    if (code == lzw.endCode) {
        // The code reader has just read the Block Terminator when the code
        // ended exactly at the end of the last sub-block.
        if (!lzw.zeroBlockSeen)
            skipDataBlocks(file);
        lzw.ended = true;
        return LZW_END;
    }

    // A code not yet in the table is the previous string followed by that
    // string's first pixel.
    incoming = code;
    if (code >= lzw.nextSlot) {
        lzw.pixelStack[lzw.stackTop++] = (uint16_t)lzw.firstPixel;
        code = lzw.previousCode;
    }
    // A corrupt stream can chain through entries it never defined, even in
    // a loop; a well-formed string is never longer than the table.
    while (code >= lzw.clearCode) {
        if (lzw.stackTop == STACK_SIZE - 1) {
            lzw.stackTop = 0;
            return LZW_BROKEN;
        }
        lzw.pixelStack[lzw.stackTop++] = lzw.suffix[code];
        code = lzw.prefix[code];
    }
    lzw.firstPixel = lzw.suffix[code];
    lzw.pixelStack[lzw.stackTop++] = (uint16_t)lzw.firstPixel;

    // Once entry 4095 exists nothing is added and codes stay 12 bits wide
    // until a clear code.
    if (lzw.nextSlot < TABLE_SIZE) {
        lzw.prefix[lzw.nextSlot] = (uint16_t)lzw.previousCode;
        lzw.suffix[lzw.nextSlot] = (uint16_t)lzw.firstPixel;
        lzw.nextSlot++;
        if (lzw.nextSlot >= lzw.codeLimit && lzw.codeLimit < TABLE_SIZE) {
            lzw.codeLimit *= 2;
            lzw.codeSize++;
        }
    }
    lzw.previousCode = incoming;
    return lzw.pixelStack[--lzw.stackTop];
}

// The row after y in an image of the given height, or height when the last
// row has been filled.  Interlaced images take rows 0, 8, 16, ...; then 4,
// 12, ...; then 2, 6, ...; then the odd rows.
static int nextRow(int y, int height, int interlaced, int *pass)
{
    static const int step[4] = {8, 8, 4, 2};
    static const int first[4] = {0, 4, 2, 1};

    if (!interlaced)
        return y + 1;
    y += step[*pass];
    while (y >= height) {
        if (++*pass == 4)
            return height;
        y = first[*pass];
    }
    return y;
}

// Fills the rows until the picture is full or the data stop.
static void fillRows(unsigned char **rows, FILE *file, int width, int height, int interlaced)
{
    unsigned char *row;
    int x, y, pass, p;

    y = 0;
    pass = 0;
    while (y < height) {
        row = rows[y];
        x = 0;
        while (x < width) {
            p = lzwNextPixel(file);
            if (p < 0)
                return;
            row[x++] = (unsigned char)p;
            // The rest of a string goes straight from the stack.
            while (x < width && lzw.stackTop > 0)
                row[x++] = (unsigned char)lzw.pixelStack[--lzw.stackTop];
        }
        y = nextRow(y, height, interlaced, &pass);
    }
}

int decodeGifRows(unsigned char **rows, FILE *file, int width, int height, int interlaced)
{
    unsigned char minCodeSize;

    if (fread(&minCodeSize, 1, 1, file) != 1 || minCodeSize > LZW_MAX_MIN_CODE_SIZE)
        return -1;
    lzwStart(minCodeSize);
    // A picture without pixels takes none, but its data are passed over so
    // that the next block is found.
    if (width <= 0 || height <= 0) {
        skipDataBlocks(file);
        return 0;
    }
    fillRows(rows, file, width, height, interlaced);
    // Encoders leave all sorts behind the last pixel: the End of Information
    // code, a clear code before it, a surplus code, or nothing at all.  None
    // of it is a pixel, so the rest of the data is passed over unread, up to
    // the Block Terminator, unless the code reader or an early End of
    // Information code got there already.
    if (!lzw.lastBlockRead && !lzw.ended)
        skipDataBlocks(file);
    return 0;
}
