#include "gif_builder.h"

namespace gifbuild {

void BitWriter::put(int code, int width)
{
    pending |= (unsigned)code << pendingBits;
    pendingBits += width;
    while (pendingBits >= 8) {
        done += (char)(pending & 0xFF);
        pending >>= 8;
        pendingBits -= 8;
    }
}

Bytes BitWriter::bytes() const
{
    return pendingBits ? done + (char)(pending & 0xFF) : done;
}

Bytes subBlocks(const Bytes &data, int blockSize)
{
    Bytes out;
    size_t at, n;

    for (at = 0; at < data.size(); at += n) {
        n = data.size() - at < (size_t)blockSize ? data.size() - at : (size_t)blockSize;
        out += (char)n;
        out += data.substr(at, n);
    }
    return out + '\0';
}

std::vector<Code> literalCodes(const std::vector<int> &pixels, int minCodeSize,
                               bool startWithClear, bool clearWhenFull)
{
    std::vector<Code> codes;
    int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    int nextSlot = clear + 2;
    bool first = true;

    if (startWithClear)
        codes.push_back({clear, width});
    for (int pixel : pixels) {
        codes.push_back({pixel, width});
        // Every code after the first of a run adds an entry; the width grows
        // once the entry numbered 2^width - 1 exists.
        if (!first && nextSlot < 4096) {
            nextSlot++;
            if (nextSlot == 1 << width && width < 12)
                width++;
        }
        first = false;
        if (clearWhenFull && nextSlot == 4096) {
            codes.push_back({clear, width});
            width = minCodeSize + 1;
            nextSlot = clear + 2;
            first = true;
        }
    }
    codes.push_back({clear + 1, width});
    return codes;
}

Bytes packCodes(const std::vector<Code> &codes)
{
    BitWriter bits;

    for (const Code &c : codes)
        bits.put(c.code, c.width);
    return bits.bytes();
}

Bytes imageData(int minCodeSize, const std::vector<Code> &codes, int blockSize)
{
    return (char)minCodeSize + subBlocks(packCodes(codes), blockSize);
}

static void put16(Bytes &out, int value)
{
    out += (char)(value & 0xFF);
    out += (char)(value >> 8 & 0xFF);
}

Bytes header(int globalSize, const char *signature)
{
    Bytes out(signature, 6);

    put16(out, 100);
    put16(out, 100);
    out += (char)(globalSize >= 0 ? 0x80 | 0x70 | globalSize : 0x70);
    out += '\0';
    out += '\0';
    return out;
}

Bytes colourTable(int size, int salt)
{
    Bytes out;

    for (int i = 0; i < 2 << size; i++) {
        out += (char)(i + salt);
        out += (char)(255 - i);
        out += (char)(i ^ 0x55);
    }
    return out;
}

Bytes imageDescriptor(int width, int height, int localSize, bool interlaced, int left, int top)
{
    Bytes out(1, ',');

    put16(out, left);
    put16(out, top);
    put16(out, width);
    put16(out, height);
    out += (char)((localSize >= 0 ? 0x80 | localSize : 0) | (interlaced ? 0x40 : 0));
    return out;
}

Bytes graphicControl(int packed, int delay, int transparentIndex)
{
    Bytes out("\x21\xF9\x04", 3);

    out += (char)packed;
    put16(out, delay);
    out += (char)transparentIndex;
    out += '\0';
    return out;
}

Bytes comment(const Bytes &text)
{
    return Bytes("\x21\xFE", 2) + subBlocks(text);
}

Bytes application(const char *identifier, const Bytes &data)
{
    return Bytes("\x21\xFF\x0B", 3) + Bytes(identifier, 11) + subBlocks(data);
}

Bytes plainText(const Bytes &text)
{
    Bytes out("\x21\x01\x0C", 3);

    out += Bytes(12, '\x08');
    return out + subBlocks(text);
}

Bytes literalImage(int width, int height, const std::vector<int> &pixels, int minCodeSize,
                   int localSize, bool interlaced)
{
    Bytes out = imageDescriptor(width, height, localSize, interlaced);

    if (localSize >= 0)
        out += colourTable(localSize, 7);
    return out + imageData(minCodeSize, literalCodes(pixels, minCodeSize));
}

std::string writeFile(const char *name, const Bytes &bytes)
{
    FILE *file = fopen(name, "wb");

    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return name;
}

FILE *openBytes(const Bytes &bytes)
{
    return fopen(writeFile("gif_test_stream.bin", bytes).c_str(), "rb");
}

} // namespace gifbuild
