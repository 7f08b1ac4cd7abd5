// Picture layout and the bitmap-file reader: each loaded file compared whole with its bytes, the
// corpus also with ImageMagick's colours (*.gif.bmp is a bitmap by its name).
#include <stdlib.h>
#include <string.h>

#include <filesystem>

#include "image/dib_image.h"
#include "reported.h"

// The file's header with the colour count its bit count implies and the row
// size filled in, its colour table and pixelSize bytes from its pixel offset.
static void expectAsStored(const DibImage &image, const Bytes &file, DWORD pixelSize)
{
    ASSERT_TRUE(!image.isEmpty() && image.body->refCount == 1);
    size_t at = file.compare(0, 2, "BM") == 0 ? 14 : 0;
    BITMAPINFOHEADER want;
    memcpy(&want, &file[at], 40);
    DWORD table = want.biBitCount == 8 ? 1024 : want.biBitCount == 4 ? 64 : 0, offset = 40 + table;
    if (at)
        memcpy(&offset, &file[10], 4);
    want.biClrUsed = want.biClrImportant = table / 4;
    want.biSizeImage = want.biSizeImage ? want.biSizeImage : pixelSize;
    Bytes got((const char *)image.header(), 40 + table + pixelSize),
        pixels = file.substr(offset, pixelSize);
    EXPECT_EQ(got, Bytes((const char *)&want, 40) + file.substr(at + 40, table) + pixels +
                       Bytes(pixelSize - pixels.size(), 0));
    // The row table, made once: entry 0 is the top row, stored last.
    RowTable rows = DibImage(image).rows();
    DWORD stride = (want.biWidth * want.biBitCount + 31) / 32 * 4;
    for (LONG y = 0; want.biCompression == BI_RGB && y < want.biHeight; y++)
        EXPECT_EQ(rows[y], dibPixels(image.header()) + stride * (want.biHeight - 1 - y)) << y;
    EXPECT_EQ(DibImage(image).rows(), rows);
}

TEST(BitmapFile, MadeByImageMagickAndByHand)
{
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(CORPUS)) {
        std::string path = entry.path().string(), name = entry.path().filename().string();
        if (entry.path().extension() != ".bmp" && entry.path().extension() != ".dib")
            continue;
        SCOPED_TRACE(name);
        files++;
        DibImage image = DibImage::fromFile(path.c_str());
        const PackedDib *dib = image.header();
        DibLayout layout;
        bool refused = name.compare(0, 7, "refused") == 0;
        if (refused || !dibLayout(dib->biBitCount, dib->biWidth, dib->biHeight, &layout)) {
            EXPECT_EQ(refused, image.isEmpty());
            continue;
        }
        expectAsStored(image, readFile(path.c_str()),
                       dib->biCompression ? dib->biSizeImage : layout.pixelSize);
        if (dib->biCompression != BI_RGB)
            continue;
        Bytes rgb, peer = system(("/usr/bin/convert '" + path + "' -depth 8 rgb:peer.rgb").c_str())
                              ? ""
                              : readFile("peer.rgb");
        for (LONG y = dib->biHeight - 1; y >= 0; y--) {
            const BYTE *row = dibPixels(dib) + layout.stride * y;
            for (LONG x = 0; x < dib->biWidth; x++) {
                int bits = dib->biBitCount,
                    i = bits == 8 ? row[x] : row[x / 2] >> (x % 2 ? 0 : 4) & 15;
                const RGBQUAD &q =
                    bits == 24 ? *(const RGBQUAD *)(row + 3 * x) : image.colourTable()[i];
                rgb += Bytes{(char)q.rgbRed, (char)q.rgbGreen, (char)q.rgbBlue};
            }
        }
        EXPECT_TRUE(rgb == peer) << "colours differ from ImageMagick's";
    }
    EXPECT_GE(files, 15);
}

struct Info {
    DWORD size = 40;
    LONG width = 5, height = 2;
    WORD bits = 8;
    DWORD compression = BI_RGB, sizeImage = 0, clrUsed = 0;
};

TEST(BitmapFile, KindsAndSizes)
{
    // Pixel bytes in the file and in memory (0: refused); the file cut after
    // so many bytes; a gap before the pixels, or an offset pointing elsewhere.
    struct Row {
        const char *name;
        Info info;
        DWORD stored, want;
        bool fileHeader = true;
        size_t cut = std::string::npos;
        DWORD gap = 0, offset = 0;
    } rows[] = {
        {"8 bits, pixels behind a gap", {}, 16, 16, true, std::string::npos, 6},
        {"8 bits, 16 colours used", {.clrUsed = 16}, 16, 16},
        {"4 bits, 2 colours used", {.width = 9, .bits = 4, .clrUsed = 2}, 16, 16},
        {"16 bits", {.bits = 16, .clrUsed = 300}, 24, 24},
        {"24 bits", {.bits = 24}, 32, 32},
        {"32 bits", {.bits = 32}, 40, 40},
        {"RLE8 at 8 bits", {.compression = BI_RLE8, .sizeImage = 6}, 6, 6},
        {"RLE4 at 4 bits", {.bits = 4, .compression = BI_RLE4, .sizeImage = 6}, 6, 6},
        {"larger row size kept", {.sizeImage = 40}, 40, 40},
        {"pixels ending early", {}, 11, 16},
        {"packed, 4 bits", {.bits = 4}, 8, 8, false},
        {"packed, 8 bits", {}, 16, 16, false},
        {"packed, 24 bits", {.bits = 24}, 32, 32, false},
        {"core header", {.size = 12}, 16, 0},
        {"version 4 header", {.size = 108}, 16, 0},
        {"packed version 5 header", {.size = 124}, 16, 0, false},
        {"1 bit", {.bits = 1}, 8, 0},
        {"colour masks", {.bits = 16, .compression = BI_BITFIELDS, .sizeImage = 24}, 24, 0},
        {"RLE8 at 24 bits", {.bits = 24, .compression = BI_RLE8, .sizeImage = 6}, 6, 0},
        {"RLE8 at 4 bits", {.bits = 4, .compression = BI_RLE8, .sizeImage = 6}, 6, 0},
        {"RLE4 at 8 bits", {.compression = BI_RLE4, .sizeImage = 6}, 6, 0},
        {"JPEG", {.compression = 4, .sizeImage = 6}, 6, 0},
        {"PNG", {.bits = 24, .compression = 5, .sizeImage = 6}, 6, 0},
        {"compression 99", {.bits = 32, .compression = 99, .sizeImage = 6}, 6, 0},
        {"RLE8 without a size", {.compression = BI_RLE8}, 16, 0},
        {"top-down", {.height = -2}, 16, 0},
        {"negative width", {.width = -5}, 16, 0},
        {"row size one byte short", {.sizeImage = 15}, 16, 0},
        {"width times bit count wraps", {.width = 0x7FFFFFFF, .height = 1, .bits = 32}, 16, 0},
        {"stride times height wraps", {.width = 0x10000, .height = 0x10000, .bits = 24}, 16, 0},
        {"whole size wraps", {.width = 4, .height = 1, .sizeImage = 0x7FFFFFF0}, 16, 0},
        {"size image wraps", {.width = 4, .height = 1, .sizeImage = 0xFFFFFFFF}, 16, 0},
        {"pixel offset wraps", {}, 16, 0, true, std::string::npos, 0, 0xFFFFFFFF},
        {"empty file", {}, 16, 0, true, 0},
        {"half an info header", {}, 16, 0, true, 30},
        {"half a colour table", {}, 16, 0, true, 14 + 40 + 500},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const Info &i = r.info;
        DWORD table = i.bits == 8 ? 1024 : i.bits == 4 ? 64 : 0;
        Bytes file =
            (r.fileHeader ? "BM" + le(0, 8) + le(r.offset ? r.offset : 54 + table + r.gap, 4)
                          : "") +
            le(i.size, 4) + le(i.width, 4) + le(i.height, 4) + le(1, 2) + le(i.bits, 2) +
            le(i.compression, 4) + le(i.sizeImage, 4) + le(0, 8) + le(i.clrUsed, 4) +
            le(i.clrUsed, 4);
        for (DWORD b = 0; b < table + r.gap + r.stored; b++)
            file += (char)(b < table ? b + 1 : b < table + r.gap ? 0xAA : 0xFF - b);
        file.resize(std::min(file.size(), r.cut));
        // Read through a handle from behind three other bytes; a refusal leaves the picture alone.
        HANDLE handle = CreateFileA(writeFile("bitmap_test.bmp", "xyz" + file), GENERIC_READ,
                                    FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        SetFilePointer(handle, 3, NULL, FILE_BEGIN);
        DibImage image = DibImage::makeImage(24, 3, 1);
        DibImageBody *before = image.body;
        EXPECT_TRUE(image.readBitmap(handle) == r.want > 0 && (r.want || image.body == before));
        CloseHandle(handle);
        if (r.want)
            expectAsStored(image, file, r.want);
    }
    PackedDib *dib = (PackedDib *)GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 44));
    *dib = {40, 0x7FFFFFFF, 2, 1, 32, BI_RGB, 4, 0, 0, 0, 0};
    EXPECT_EQ(DibImage::fromPackedDib(dib).rows(), nullptr); // no layout, no rows
}
