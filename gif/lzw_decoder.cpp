#include "gif/lzw_decoder.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// Strings are written in chunks of 8 bytes, first pixel lowest, and codes
// taken from the low end of a machine word: both as x86 orders bytes.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the LZW stage needs a little-endian machine");

enum {
    MAX_CODE_SIZE = 12,
    TABLE_SIZE = 1 << MAX_CODE_SIZE,
    NO_CODE = -1,            // no previous code: after a reset
    RUN = 8192,              // pixels decoded before the row loop takes them
    DATA_SIZE = 16 * 255 + 8 // sub-blocks read in one go behind the bytes left
};

// The hot loop's rare turns, kept out of its straight path: laid out
// inline they cost the short strings of busy pictures about 15 %.
#define likely(condition) __builtin_expect(!!(condition), 1)
#define unlikely(condition) __builtin_expect(!!(condition), 0)

// The code reader's bits: 64 natively, 32 in the 32-bit program.
typedef size_t Bits;
enum { BITS = 8 * sizeof(Bits) };

// Table entry k stands for a string that begins with pixel first.  Its last
// (length - 1) % 8 + 1 pixels are in chunk[k]; the pixels before them, a
// multiple of 8, are the string of entry prefix.  So a string is written
// from its end, a chunk at a time, without walking it pixel by pixel.  The
// other three fit one word, link[k]: prefix in bits 0-11, length (at most
// 4094) in bits 12-23, first in bits 24-31.
static int linkPrefix(uint32_t link)
{
    return link & 0xFFF;
}
static int linkLength(uint32_t link)
{
    return link >> 12 & 0xFFF;
}
static uint32_t linkFirst(uint32_t link)
{
    return link >> 24;
}
enum { LENGTH_ONE = 1 << 12 };

// One decoder for the whole program: nothing is allocated per image.
static struct LzwDecoder {
    int minCodeSize;
    int clearCode;
    int codeSize;
    int nextSlot;
    int previousCode; // NO_CODE after a reset
    uint64_t chunk[TABLE_SIZE];
    uint32_t link[TABLE_SIZE];

    // The code reader: the bytes of the sub-blocks read so far without their
    // length bytes, and the bits taken from them but not yet used.
    unsigned char data[DATA_SIZE];
    int dataPos;
    int dataEnd;
    Bits bits;
    int bitCount;
    bool lastBlockRead; // the Block Terminator has been read, or a read failed
} lzw;

void lzwStart(int minCodeSize)
{
    int k;

    lzw.minCodeSize = minCodeSize;
    lzw.clearCode = 1 << minCodeSize;
    // Pixel codes stand for themselves; codes above 255 keep their low bits.
    for (k = 0; k < lzw.clearCode; k++) {
        lzw.chunk[k] = (uint8_t)k;
        lzw.link[k] = (uint32_t)(uint8_t)k << 24 | LENGTH_ONE;
    }
    lzw.codeSize = minCodeSize + 1;
    lzw.nextSlot = lzw.clearCode + 2;
    lzw.previousCode = NO_CODE;
    lzw.dataPos = 0;
    lzw.dataEnd = 0;
    lzw.bits = 0;
    lzw.bitCount = 0;
    lzw.lastBlockRead = false;
}

int readDataBlock(FILE *file, unsigned char *destination)
{
    unsigned char length;

    if (fread(&length, 1, 1, file) != 1)
        return -1;
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

    while (readDataBlock(file, scratch) > 0) {
    }
}

// Moves the bytes not yet taken to the front and reads sub-blocks behind
// them while there is room, never beyond the Block Terminator.  A sub-block
// that cannot be read whole adds nothing.
static void readMoreData(FILE *file)
{
    int held = lzw.dataEnd - lzw.dataPos, n;

    memmove(lzw.data, lzw.data + lzw.dataPos, held);
    while (!lzw.lastBlockRead && held + 255 <= DATA_SIZE) {
        n = readDataBlock(file, lzw.data + held);
        if (n <= 0)
            lzw.lastBlockRead = true;
        held += n > 0 ? n : 0;
    }
    lzw.dataPos = 0;
    lzw.dataEnd = held;
}

// The state lives in locals here: every pixel written could otherwise alias
// it and force it back to memory.  The inner loop takes its bits a word at
// a time; the outer one reads more data when fewer bytes than a word are
// left, and takes the last few byte by byte.
int lzwNextPixels(FILE *file, unsigned char *run, int room)
{
    uint64_t *const chunk = lzw.chunk;
    uint32_t *const link = lzw.link;
    // The width after a clear code is a local too: read from lzw there, the
    // compiler works it out again for every code.
    const int clearCode = lzw.clearCode, firstCodeSize = lzw.minCodeSize + 1;
    int codeSize = lzw.codeSize, nextSlot = lzw.nextSlot;
    int previous = lzw.previousCode, bitCount = lzw.bitCount, code, length;
    const unsigned char *in = lzw.data + lzw.dataPos, *end = lzw.data + lzw.dataEnd;
    Bits bits = lzw.bits, mask = ((Bits)1 << codeSize) - 1, more;
    unsigned char *out = run, *const full = run + room, *at;
    uint32_t prior, shift;
    uint64_t kept;

    for (;;) {
        while (out < full) {
            // The bits above those counted are the next bytes' own, so
            // taking them again is harmless.
            if (bitCount < codeSize) {
                if (end - in < (ptrdiff_t)sizeof(Bits))
                    break;
                memcpy(&more, in, sizeof more);
                bits |= more << bitCount;
                in += (BITS - 1 - bitCount) >> 3;
                bitCount |= BITS - 8;
            }
            code = (int)(bits & mask);
            bits >>= codeSize;
            bitCount -= codeSize;

            if (unlikely((unsigned)(code - clearCode) < 2)) {
                if (code != clearCode)
                    goto stop;
                codeSize = firstCodeSize;
                nextSlot = clearCode + 2;
                previous = NO_CODE;
                mask = ((Bits)1 << codeSize) - 1;
                continue;
            }
            // The first code after a reset is a pixel and adds no entry; a
            // string there is a corrupt stream.
            if (unlikely(previous == NO_CODE)) {
                if (code > clearCode)
                    goto stop;
                *out++ = (unsigned char)code;
                previous = code;
                // Below the published minimum code size of 2 the first free
                // entry lies beyond the first width's codes already, and
                // encoders (giflib too) widen the codes right after this
                // one.  That is done below, outside the inner loop, which a
                // third place of widening makes slower.
                if (unlikely(nextSlot > (int)mask))
                    break;
                continue;
            }
            // A corrupt code beyond the next entry reads as that entry, the
            // previous string and its first pixel, and decoding goes on.
            if (code > nextSlot)
                code = nextSlot;

            // The new entry is the previous string followed by this string's
            // first pixel.  Once entry 4095 exists nothing is added and codes
            // stay 12 bits wide until a clear code.
            if (likely(nextSlot < TABLE_SIZE)) {
                prior = link[previous];
                shift = prior >> 9 & 56;
                if (shift) {
                    link[nextSlot] = prior + LENGTH_ONE;
                    kept = chunk[previous];
                } else {
                    link[nextSlot] = (prior & ~0xFFFu) + LENGTH_ONE + previous;
                    kept = 0;
                }
                // Read after the new entry is stored: a code equal to it
                // begins as the previous string does.
                chunk[nextSlot] = kept | (uint64_t)linkFirst(link[code]) << shift;
                // With all codes of the current width in use, codes grow by
                // a bit, up to 12.
                if (unlikely(++nextSlot > (int)mask) && codeSize < MAX_CODE_SIZE) {
                    codeSize++;
                    mask = ((Bits)1 << codeSize) - 1;
                }
            }
            previous = code;

            // A string of up to 8 pixels is its chunk; a longer one is
            // written from its last chunk back.  A chunk may write up to 7
            // bytes beyond the string; the next string or the overrun room
            // takes them.
            length = linkLength(link[code]);
            memcpy(out, &chunk[code], 8);
            if (unlikely(length > 8)) {
                for (at = out + ((length - 1) & ~7); at > out; at -= 8) {
                    memcpy(at, &chunk[code], 8);
                    code = linkPrefix(link[code]);
                }
                memcpy(out, &chunk[code], 8);
            }
            out += length;
        }
        // Also before the run is handed back: the next code needs the width.
        if (previous != NO_CODE && nextSlot > (int)mask && codeSize < MAX_CODE_SIZE) {
            codeSize++;
            mask = ((Bits)1 << codeSize) - 1;
        }
        if (out >= full)
            break;
        lzw.dataPos = (int)(in - lzw.data);
        readMoreData(file);
        in = lzw.data;
        end = lzw.data + lzw.dataEnd;
        while (in < end && bitCount <= BITS - 8) {
            bits |= (Bits)*in++ << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize)
            break;
    }
stop:
    lzw.codeSize = codeSize;
    lzw.nextSlot = nextSlot;
    lzw.previousCode = previous;
    lzw.dataPos = (int)(in - lzw.data);
    lzw.bits = bits;
    lzw.bitCount = bitCount;
    return (int)(out - run);
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

int decodeGifRows(unsigned char **rows, FILE *file, int width, int height, int interlaced)
{
    static unsigned char run[RUN + LZW_RUN_OVERRUN];
    unsigned char minCodeSize;
    long long left;
    int x, y, pass, room, n, used, take;

    if (fread(&minCodeSize, 1, 1, file) != 1 || minCodeSize > LZW_MAX_MIN_CODE_SIZE)
        return -1;
    lzwStart(minCodeSize);
    // A picture without pixels takes none; its data are passed over below.
    left = width > 0 && height > 0 ? (long long)width * height : 0;
    x = 0;
    y = 0;
    pass = 0;
    while (left > 0) {
        room = left < RUN ? (int)left : RUN;
        n = lzwNextPixels(file, run, room);
        // Pixels beyond the picture's last are no pixels of it.
        used = n < left ? n : (int)left;
        left -= used;
        for (int i = 0; i < used; i += take) {
            take = width - x < used - i ? width - x : used - i;
            memcpy(rows[y] + x, run + i, take);
            x += take;
            if (x == width) {
                x = 0;
                y = nextRow(y, height, interlaced, &pass);
            }
        }
        if (n < room)
            break;
    }
    // Encoders leave all sorts behind the last pixel: the End of Information
    // code, a clear code before it, a surplus code, or nothing at all.  None
    // of it is a pixel, so the rest of the data is passed over unread, up to
    // the Block Terminator, unless the code reader got there already.
    if (!lzw.lastBlockRead)
        skipDataBlocks(file);
    return 0;
}
