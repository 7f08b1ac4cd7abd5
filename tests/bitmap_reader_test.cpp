// The bitmap-file reader, built both for Windows (run under Wine) and
// natively under the sanitizers.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/dib_image.h"

typedef std::vector<BYTE> Bytes;

static void put(Bytes &out, DWORD value, int size)
{
    for (int i = 0; i < size; i++)
        out.push_back((BYTE)(value >> (8 * i)));
}

struct Info {
    DWORD size = 40;
    LONG width = 5;
    LONG height = 2;
    WORD bitCount = 8;
    DWORD compression = BI_RGB;
    DWORD sizeImage = 0;
    DWORD clrUsed = 0;
};

static void putInfo(Bytes &out, const Info &info)
{
    put(out, info.size, 4);
    put(out, (DWORD)info.width, 4);
    put(out, (DWORD)info.height, 4);
    put(out, 1, 2);
    put(out, info.bitCount, 2);
    put(out, info.compression, 4);
    put(out, info.sizeImage, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    put(out, info.clrUsed, 4);
    put(out, info.clrUsed, 4);
}

// Colour-table bytes count up from 1 and pixel bytes down from 0xFF, so that
// each lands recognisably where it belongs.
static void putTable(Bytes &out, DWORD size)
{
    for (DWORD i = 0; i < size; i++)
        out.push_back((BYTE)(i + 1));
}

static void putPixels(Bytes &out, DWORD size)
{
    for (DWORD i = 0; i < size; i++)
        out.push_back((BYTE)(0xFF - i));
}

// A bitmap file whose pixels start gap bytes after the colour table.
static Bytes bitmapFile(const Info &info, DWORD pixels, DWORD gap = 0)
{
    Bytes out;
    DWORD table = colourTableSize(info.bitCount);

    put(out, 0x4D42, 2);
    put(out, 14 + 40 + table + gap + pixels, 4);
    put(out, 0, 4);
    put(out, 14 + 40 + table + gap, 4);
    putInfo(out, info);
    putTable(out, table);
    out.insert(out.end(), gap, 0xAA);
    putPixels(out, pixels);
    return out;
}

static Bytes packedDib(const Info &info, DWORD pixels)
{
    Bytes out;

    putInfo(out, info);
    putTable(out, colourTableSize(info.bitCount));
    putPixels(out, pixels);
    return out;
}

static std::string writeFile(const char *name, const Bytes &data)
{
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    FILE *file = fopen(path.c_str(), "wb");

    fwrite(data.data(), 1, data.size(), file);
    fclose(file);
    return path;
}

static DibImage load(const Bytes &data, const char *name = "tindle_reader.bmp")
{
    return DibImage::fromFile(writeFile(name, data).c_str());
}

static void expectTable(const DibImage &image, DWORD size)
{
    const BYTE *table = (const BYTE *)image.colourTable();

    ASSERT_TRUE(table);
    for (DWORD i = 0; i < size; i++)
        ASSERT_EQ(table[i], (BYTE)(i + 1)) << "colour-table byte " << i;
}

static void expectPixels(const DibImage &image, DWORD present, DWORD size)
{
    const BYTE *pixels = dibPixels(image.header());

    for (DWORD i = 0; i < size; i++)
        ASSERT_EQ(pixels[i], i < present ? (BYTE)(0xFF - i) : 0) << "pixel byte " << i;
}

TEST(BitmapFile, EightBitsWithoutSizeImageGetsComputedRowsFromOffBits)
{
    Info info;
    DibImage image = load(bitmapFile(info, 16, 6));

    ASSERT_FALSE(image.isEmpty());
    EXPECT_EQ(image.body->refCount, 1);
    EXPECT_EQ(image.header()->biWidth, 5);
    EXPECT_EQ(image.header()->biHeight, 2);
    EXPECT_EQ(image.header()->biSizeImage, 16u);
    EXPECT_EQ(image.header()->biClrUsed, 256u);
    EXPECT_EQ(image.header()->biClrImportant, 256u);
    expectTable(image, 1024);
    expectPixels(image, 16, 16);
}

// A short colour count still reads the whole table the bit depth implies.
TEST(BitmapFile, PalettedPicturesGetTheFullTable)
{
    struct Case {
        WORD bits;
        LONG width;
        DWORD clrUsed, wantUsed, table;
    } cases[] = {{8, 5, 16, 256, 1024}, {4, 9, 2, 16, 64}};

    for (const Case &c : cases) {
        SCOPED_TRACE(c.bits);
        Info info;
        info.bitCount = c.bits;
        info.width = c.width;
        info.clrUsed = c.clrUsed;
        DibImage image = load(bitmapFile(info, 16));

        ASSERT_FALSE(image.isEmpty());
        EXPECT_EQ(image.header()->biClrUsed, c.wantUsed);
        EXPECT_EQ(image.header()->biSizeImage, 16u);
        expectTable(image, c.table);
        expectPixels(image, 16, 16);
    }
}

TEST(BitmapFile, DeepPicturesHaveNoColourTable)
{
    for (WORD bits : {16, 24, 32}) {
        Info info;
        info.bitCount = bits;
        info.clrUsed = 300;
        DWORD size = (5 * bits + 31) / 32 * 4 * 2;
        DibImage image = load(bitmapFile(info, size));

        ASSERT_FALSE(image.isEmpty()) << bits;
        EXPECT_FALSE(image.colourTable());
        // A count left here would make GDI look for a table in the pixels.
        EXPECT_EQ(image.header()->biClrUsed, 0u);
        expectPixels(image, size, size);
    }
}

TEST(BitmapFile, PixelsEndingEarlyStayZero)
{
    Info info;
    Bytes data = bitmapFile(info, 16);

    data.resize(data.size() - 5);
    DibImage image = load(data);
    ASSERT_FALSE(image.isEmpty());
    expectPixels(image, 11, 16);
}

// A larger stated size, and compressed pixels, are kept as stored.
TEST(BitmapFile, StatedSizeImageIsKept)
{
    for (DWORD compression : {BI_RGB, BI_RLE8}) {
        SCOPED_TRACE(compression);
        Info info;
        info.compression = compression;
        info.sizeImage = compression == BI_RGB ? 40 : 6;
        DibImage image = load(bitmapFile(info, info.sizeImage));

        ASSERT_FALSE(image.isEmpty());
        EXPECT_EQ(image.header()->biCompression, compression);
        EXPECT_EQ(image.header()->biSizeImage, info.sizeImage);
        expectPixels(image, info.sizeImage, info.sizeImage);
    }
}

TEST(PackedDibFile, PixelsFollowTheColourTable)
{
    Info info;
    for (WORD bits : {4, 8, 24}) {
        info.bitCount = bits;
        DWORD size = (5 * bits + 31) / 32 * 4 * 2;
        DibImage image = load(packedDib(info, size));

        ASSERT_FALSE(image.isEmpty()) << bits;
        EXPECT_EQ(dibPixels(image.header()) - (BYTE *)image.header(),
                  40 + (bits == 8 ? 1024 : bits == 4 ? 64 : 0));
        expectPixels(image, size, size);
    }
}

static HANDLE openForReading(const std::string &path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, NULL);
}

TEST(BitmapFile, ReadsFromTheCurrentPosition)
{
    Info info;
    Bytes data(100, 0x55), bitmap = bitmapFile(info, 16, 3);

    data.insert(data.end(), bitmap.begin(), bitmap.end());
    std::string path = writeFile("tindle_reader_offset.bmp", data);
    HANDLE file = openForReading(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_EQ(SetFilePointer(file, 100, NULL, FILE_BEGIN), 100u);
    DibImage image = DibImage::makeImage(24, 1, 1);
    EXPECT_TRUE(image.readBitmap(file));
    CloseHandle(file);
    expectTable(image, 1024);
    expectPixels(image, 16, 16);
}

TEST(BitmapFile, FailedReadLeavesTheHandleAlone)
{
    Info info;
    info.size = 12;
    std::string path = writeFile("tindle_reader_bad.bmp", bitmapFile(info, 16));
    HANDLE file = openForReading(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DibImage image = DibImage::makeImage(24, 3, 1);
    DibImageBody *before = image.body;
    EXPECT_FALSE(image.readBitmap(file));
    CloseHandle(file);
    EXPECT_EQ(image.body, before);
    EXPECT_EQ(image.body->refCount, 1);
}

// Each of these is refused with the empty image, and the refusal leaves the
// empty image's count where it was.
static void expectRefused(const Bytes &data, const char *what)
{
    LONG count = DibImage::empty().body->refCount;
    {
        DibImage image = load(data);
        EXPECT_TRUE(image.isEmpty()) << what;
    }
    EXPECT_EQ(DibImage::empty().body->refCount, count) << what;
}

TEST(BitmapFile, OtherHeaderSizesAreRefused)
{
    Info info;
    info.size = 12;
    expectRefused(bitmapFile(info, 16), "core header");
    info.size = 108;
    expectRefused(bitmapFile(info, 16), "version 4 header");
    info.size = 124;
    expectRefused(packedDib(info, 16), "version 5 header without file header");
}

TEST(BitmapFile, KindsThatCannotBeKeptAreRefused)
{
    Info info;
    info.bitCount = 1;
    expectRefused(bitmapFile(info, 8), "one bit");
    info.bitCount = 16;
    info.compression = BI_BITFIELDS;
    info.sizeImage = 24;
    expectRefused(bitmapFile(info, 24), "colour masks");
    info.bitCount = 2;
    info.compression = BI_RGB;
    info.sizeImage = 0;
    expectRefused(bitmapFile(info, 8), "two bits");
    info.bitCount = 0;
    expectRefused(bitmapFile(info, 8), "no bit count");
}

TEST(BitmapFile, PixelDataSmallerThanTheRowsAreRefused)
{
    Info info;
    info.height = -2;
    expectRefused(bitmapFile(info, 16), "top-down");
    info.height = 2;
    info.width = -5;
    expectRefused(bitmapFile(info, 16), "negative width");
    info.width = 5;
    info.sizeImage = 15;
    expectRefused(bitmapFile(info, 16), "size image one byte short");
    info.sizeImage = 0;
    info.compression = BI_RLE8;
    expectRefused(bitmapFile(info, 16), "compressed without size");
}

TEST(BitmapFile, SizesThatWouldWrapAreRefused)
{
    Info info;
    info.bitCount = 32;
    info.width = 0x7FFFFFFF;
    info.height = 1;
    expectRefused(bitmapFile(info, 16), "width times bit count");
    info.bitCount = 24;
    info.width = 0x10000;
    info.height = 0x10000;
    expectRefused(bitmapFile(info, 16), "stride times height");
    info.bitCount = 8;
    info.width = 4;
    info.height = 1;
    info.sizeImage = 0x7FFFFFF0;
    expectRefused(bitmapFile(info, 16), "header, table and pixels");
    info.sizeImage = 0xFFFFFFFF;
    expectRefused(bitmapFile(info, 16), "size image");

    Bytes data = bitmapFile(Info(), 16);
    data[10] = data[11] = data[12] = data[13] = 0xFF;
    expectRefused(data, "pixel offset");
}

TEST(BitmapFile, TruncatedHeadersAndMissingFilesAreRefused)
{
    Bytes data = bitmapFile(Info(), 16);

    expectRefused(Bytes(data.begin(), data.begin() + 1), "one byte");
    expectRefused(Bytes(data.begin(), data.begin() + 30), "half an info header");
    expectRefused(Bytes(data.begin(), data.begin() + 14 + 40 + 500), "half a colour table");
    expectRefused(Bytes(), "empty file");
    EXPECT_TRUE(DibImage::fromFile("tindle_no_such_file.bmp").isEmpty());
}

TEST(FileNames, OnlyAGifExtensionGoesToTheGifReader)
{
    Bytes data = bitmapFile(Info(), 16);

    EXPECT_FALSE(load(data, "tindle_reader.gif.bmp").isEmpty());
    EXPECT_FALSE(load(data, "gif").isEmpty());
    EXPECT_FALSE(load(data, "tindle_readergif").isEmpty());
}

#ifdef FUZZ_REGRESSIONS
// Inputs the fuzzer once found faults with, and its seeds.
TEST(FuzzInputs, LoadWithoutFaults)
{
    int count = 0;

    for (const auto &entry : std::filesystem::directory_iterator(FUZZ_REGRESSIONS)) {
        DibImage image = DibImage::fromFile(entry.path().string().c_str());
        if (!image.isEmpty())
            EXPECT_GE(image.header()->biSize, 40u);
        count++;
    }
    EXPECT_GT(count, 0);
}
#endif
