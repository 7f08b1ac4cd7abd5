// Makes GIF files byte by byte for the GIF reader's tests: codes of chosen
// widths, sub-blocks of chosen sizes, every kind of block.
#ifndef TINDLE_TESTS_GIF_BUILDER_H
#define TINDLE_TESTS_GIF_BUILDER_H

#include <stdio.h>

#include <string>
#include <vector>

namespace gifbuild {

typedef std::string Bytes;

// Packs codes least significant bit first, as GIF does.
class BitWriter {
public:
    void put(int code, int width);
    // The bytes so far, the last one padded with zero bits.
    Bytes bytes() const;

private:
    Bytes done;
    unsigned pending = 0;
    int pendingBits = 0;
};

// The data sub-blocks of data, blockSize bytes each (the last one shorter),
// and the Block Terminator.
Bytes subBlocks(const Bytes &data, int blockSize = 255);

// A code with the width the decoder reads it with.
struct Code {
    int code;
    int width;
};

// Codes for pixels that give every pixel a code of its own (no two-pixel
// strings), with the table and the code width growing as the decoder's do:
// a clear code first when startWithClear, a clear code again once the table
// is full when clearWhenFull (otherwise the codes stay 12 bits wide), and
// the End of Information code last.
std::vector<Code> literalCodes(const std::vector<int> &pixels, int minCodeSize,
                               bool startWithClear = true, bool clearWhenFull = false);

Bytes packCodes(const std::vector<Code> &codes);

// The LZW Minimum Code Size byte, the codes in sub-blocks and the Block
// Terminator: one image's data.
Bytes imageData(int minCodeSize, const std::vector<Code> &codes, int blockSize = 255);

// "GIF89a" (or the given signature) and a Logical Screen Descriptor;
// globalSize is s of the 2^(s+1)-entry Global Color Table, -1 for none.
Bytes header(int globalSize = -1, const char *signature = "GIF89a");

// 2^(s+1) colours, entry i being (i, 255 - i, i ^ 0x55) in red, green, blue
// plus salt in red.
Bytes colourTable(int size, int salt = 0);

// The Image Separator and descriptor; localSize as globalSize above.
Bytes imageDescriptor(int width, int height, int localSize = -1, bool interlaced = false,
                      int left = 0, int top = 0);

Bytes graphicControl(int packed, int delay, int transparentIndex);
Bytes comment(const Bytes &text);
Bytes application(const char *identifier, const Bytes &data);
Bytes plainText(const Bytes &text);

const char TRAILER = 0x3B;

// A whole image: descriptor, optional local table, data of literal codes.
Bytes literalImage(int width, int height, const std::vector<int> &pixels, int minCodeSize = 8,
                   int localSize = -1, bool interlaced = false);

// Writes bytes to the file name (in the current directory) and returns the
// name.
std::string writeFile(const char *name, const Bytes &bytes);

// The bytes opened for reading as a stream; the caller closes it.
FILE *openBytes(const Bytes &bytes);

} // namespace gifbuild

#endif
