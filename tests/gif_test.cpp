// The GIF reader, built both for Windows (run under Wine) and natively
// under the sanitizers.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "gif/gif_reader.h"
#include "gif/lzw_decoder.h"
#include "gif_builder.h"
#include "reported.h"

using namespace gifbuild;

// A decoded picture's pixels, top row first, without the row padding.
struct Picture {
    int width, height;
    std::vector<unsigned char> pixels;
    std::vector<unsigned char *> rows;

    Picture(int w, int h) : width(w), height(h), pixels((size_t)w * h), rows(h)
    {
        for (int y = 0; y < h; y++)
            rows[y] = pixels.data() + (size_t)y * w;
    }
    int at(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

static int decode(const Bytes &data, Picture &picture, bool interlaced = false, long *endPos = nullptr)
{
    FILE *file = openBytes(data);
    int result = decodeGifRows(picture.rows.data(), file, picture.width, picture.height, interlaced);

    if (endPos)
        *endPos = ftell(file);
    fclose(file);
    return result;
}

static std::vector<int> pattern(int count, int modulo)
{
    std::vector<int> pixels;

    for (int i = 0; i < count; i++)
        pixels.push_back((i * 7 + i / 13) % modulo);
    return pixels;
}

static void expectPixels(const Picture &picture, const std::vector<int> &pixels)
{
    for (size_t i = 0; i < pixels.size(); i++)
        ASSERT_EQ(picture.pixels[i], pixels[i]) << "pixel " << i;
}

TEST(Lzw, CodeWidthsGrowToTwelveBitsAndStayThereWithoutClear)
{
    // 9000 literal codes fill the table (258 to 4095) and go on at 12 bits.
    for (int minCodeSize : {2, 5, 8}) {
        std::vector<int> pixels = pattern(9000, 1 << minCodeSize);
        Picture picture(100, 90);
        EXPECT_EQ(decode(imageData(minCodeSize, literalCodes(pixels, minCodeSize, true, false)), picture), 0);
        expectPixels(picture, pixels);
        Picture again(100, 90);
        EXPECT_EQ(decode(imageData(minCodeSize, literalCodes(pixels, minCodeSize, false, true)), again), 0);
        expectPixels(again, pixels);
    }
}

TEST(Lzw, SmallMinimumCodeSizes)
{
    // Minimum code size 1: clear 2, end 3, widths 2 then 3 after entry 4.
    Picture one(4, 1);
    EXPECT_EQ(decode(imageData(1, {{2, 2}, {1, 2}, {0, 2}, {1, 3}, {4, 3}, {3, 3}}), one), 0);
    expectPixels(one, {1, 0, 1, 1});
    // Minimum code size 2: codes 4 (clear), 1, 6 (the free entry itself), 5.
    Picture two(3, 1);
    long end;
    Bytes data = imageData(2, {{4, 3}, {1, 3}, {6, 3}, {5, 3}});
    EXPECT_EQ(decode(data, two, false, &end), 0);
    expectPixels(two, {1, 1, 1});
    EXPECT_EQ(end, (long)data.size());
}

TEST(Lzw, ClearCodesAtTheStartAndInTheMiddle)
{
    Picture picture(5, 1);
    // Three clears, 1, 2 (adds 6), clear (back to 3 bits, 6 forgotten), 3, 6 is
    // then the free entry: 3 3.
    EXPECT_EQ(decode(imageData(2, {{4, 3}, {4, 3}, {4, 3}, {1, 3}, {2, 3}, {4, 3}, {3, 3}, {6, 3}, {5, 3}}),
                     picture), 0);
    expectPixels(picture, {1, 2, 3, 3, 3});
}

TEST(Lzw, CodesStraddlingSubBlocksOfAnySize)
{
    std::vector<int> pixels = pattern(3000, 256);
    std::vector<Code> codes = literalCodes(pixels, 8);

    for (int blockSize : {1, 2, 3, 7, 254, 255}) {
        Picture picture(60, 50);
        long end;
        Bytes data = imageData(8, codes, blockSize);
        EXPECT_EQ(decode(data, picture, false, &end), 0);
        expectPixels(picture, pixels);
        EXPECT_EQ(end, (long)data.size()) << blockSize;
    }
}

TEST(Lzw, EndCodeAtTheVeryEndOfTheLastSubBlockAndTrailingSubBlocks)
{
    // 8 codes of 9 bits, the end code included, fill exactly 9 bytes.
    std::vector<int> pixels = {1, 2, 3, 4, 5, 6};
    std::vector<Code> codes = literalCodes(pixels, 8);
    ASSERT_EQ(packCodes(codes).size(), 9u);
    Picture picture(6, 1);
    long end;
    Bytes data = imageData(8, codes) + "\x3B";
    EXPECT_EQ(decode(data, picture, false, &end), 0);
    expectPixels(picture, pixels);
    EXPECT_EQ(end, (long)data.size() - 1);

    // Sub-blocks behind the end code are read up to the Block Terminator.
    Bytes packed = packCodes(codes);
    Bytes trailing = Bytes("\x08\x08") + packed.substr(0, 8) + '\x01' + packed.substr(8) + "\x03xyz\x02zz" + '\0';
    EXPECT_EQ(decode(trailing, picture, false, &end), 0);
    expectPixels(picture, pixels);
    EXPECT_EQ(end, (long)trailing.size());
}

TEST(Lzw, InterlacedRowOrders)
{
    const std::vector<std::vector<int>> orders = {
        {0}, {0, 1}, {0, 2, 1}, {0, 2, 1, 3}, {0, 4, 2, 1, 3},
        {0, 8, 4, 2, 6, 1, 3, 5, 7, 9},
        {0, 8, 16, 4, 12, 2, 6, 10, 14, 1, 3, 5, 7, 9, 11, 13, 15},
    };
    for (const std::vector<int> &order : orders) {
        int height = (int)order.size();
        std::vector<int> pixels;
        for (int i = 0; i < height; i++)
            pixels.insert(pixels.end(), 3, i + 1);
        Picture picture(3, height);
        EXPECT_EQ(decode(imageData(5, literalCodes(pixels, 5)), picture, true), 0);
        for (int i = 0; i < height; i++)
            EXPECT_EQ(picture.at(2, order[i]), i + 1) << "height " << height << " pass row " << i;
    }
}

TEST(Lzw, DataThatEndEarlyKeepWhatWasDecoded)
{
    std::vector<int> pixels(50, 9);
    Picture picture(10, 10);
    std::vector<Code> codes = literalCodes(pixels, 8);
    codes.pop_back();
    // No end code and no Block Terminator: the file just ends.
    Bytes data = imageData(8, codes);
    EXPECT_EQ(decode(data.substr(0, data.size() - 1), picture), 0);
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(picture.pixels[i], i < 50 ? 9 : 0) << i;
    // An early end code reads the data to the terminator and nothing more.
    long end;
    Bytes ended = imageData(8, literalCodes(pixels, 8)) + "\x2C";
    EXPECT_EQ(decode(ended, picture, false, &end), 0);
    EXPECT_EQ(end, (long)ended.size() - 1);
    // No size byte at all.
    EXPECT_EQ(decode("", picture), -1);
}

TEST(Lzw, RefusesMinimumCodeSizesOfTwelveAndMore)
{
    Picture picture(2, 2);
    EXPECT_EQ(decode(imageData(11, literalCodes({2047, 5, 6, 7}, 11)), picture), 0);
    expectPixels(picture, {255, 5, 6, 7}); // stored as the low 8 bits
    EXPECT_EQ(decode("\x0C\x02\xFF\xFF" + Bytes(1, '\0'), picture), -1);
    EXPECT_EQ(decode("\xFF\x01\x00" + Bytes(1, '\0'), picture), -1);
}

TEST(Lzw, ALoopingPrefixChainStopsTheImage)
{
    // 7 before its entry exists, then 7 again makes entry 7 its own prefix.
    Bytes data = imageData(2, {{4, 3}, {1, 3}, {7, 3}, {7, 3}, {7, 4}, {1, 4}, {5, 4}});
    FILE *file = openBytes(data);
    unsigned char size;
    ASSERT_EQ(fread(&size, 1, 1, file), 1u);
    lzwStart(size);
    int p;
    int count = 0;
    while ((p = lzwNextPixel(file)) >= 0)
        count++;
    EXPECT_EQ(p, LZW_BROKEN);
    EXPECT_LT(count, 10);
    fclose(file);
    Picture picture(100, 100);
    EXPECT_EQ(decode(data, picture), 0);
}

TEST(Lzw, ZeroWidthOrHeightWritesNothingAndPassesTheData)
{
    long end;
    Bytes data = imageData(2, {{4, 3}, {1, 3}, {1, 3}, {5, 3}});
    for (int width : {0, 3}) {
        Picture picture(width, 3 - width);
        EXPECT_EQ(decode(data, picture, false, &end), 0);
        EXPECT_EQ(end, (long)data.size());
    }
}

// The parser, through files.

static GifFrame *readBytes(const Bytes &bytes, std::string *message = nullptr)
{
    std::string path = writeFile("gif_test_file.gif", bytes);
    GifFrame *head = nullptr;
    std::string text = reported([&] { head = readGifFile(path.c_str()); });
    if (message)
        *message = text;
    else
        EXPECT_EQ(text, "");
    return head;
}

static std::string failure(const Bytes &bytes)
{
    std::string message;
    GifFrame *head = readBytes(bytes, &message);
    EXPECT_EQ(head, nullptr);
    destroyGifFrame(head);
    return message;
}

static const Bytes image2x2 = literalImage(2, 2, {1, 2, 3, 0});

TEST(GifFile, EveryMalformedFileMessage)
{
    const std::string path = "gif_test_file.gif";
    Bytes good = header(1) + colourTable(1) + image2x2 + TRAILER;

    EXPECT_EQ(reported([] { EXPECT_EQ(readGifFile("no such file.gif"), nullptr); }),
              "error, resource unavailable, Cannot open file no such file.gif");
    EXPECT_EQ(failure(good.substr(0, 12)), "error, Error reading GIF file");
    EXPECT_EQ(failure("GIF88a" + good.substr(6)), "error, File is not a GIF file");
    EXPECT_EQ(failure("gif89a" + good.substr(6)), "error, File is not a GIF file");
    EXPECT_EQ(failure(good.substr(0, 13 + 11)), "error, Error reading GIF global colour table");
    EXPECT_EQ(failure(header() + literalImage(2, 2, {1, 2, 3, 0}, 8, 2).substr(0, 20)),
              "error, Error reading GIF global colour table");
    EXPECT_EQ(failure(header() + image2x2), "error, Error reading GIF file " + path);
    EXPECT_EQ(failure(header() + '\0'), "error, Invalid separator 0x00 in GIF file " + path);
    EXPECT_EQ(failure(header() + image2x2.substr(0, 6)), "error, Error reading GIF file");
    EXPECT_EQ(failure(header() + image2x2.substr(0, 10)), "error, Error decoding GIF image");
    EXPECT_EQ(failure(header() + "\x21"), "error, Error reading GIF file");
    EXPECT_EQ(failure(header() + "\x21\x02" + Bytes(1, '\0') + TRAILER), "error, Unrecognised GIF extension");
    EXPECT_EQ(failure(header() + "\x21\xF9\x04\x01"), "error, Error reading GIF Graphics control extension");
    EXPECT_EQ(failure(header() + plainText("hi").substr(0, 9)), "error, Error reading plain text extension");
    EXPECT_EQ(failure(header() + application("NETSCAPE2.0", "\x01\x00\x00").substr(0, 8)),
              "error, Error reading application extension");
    EXPECT_EQ(failure(header() + comment("abc").substr(0, 4)), "error, Error reading GIF file");
    EXPECT_EQ(failure(header() + plainText("abc").substr(0, 16)), "error, Error reading GIF file");
    EXPECT_EQ(failure(header() + application("NETSCAPE2.0", "abc").substr(0, 14)), "error, Error reading GIF file");
    // A second image cut short fails the whole file.
    EXPECT_EQ(failure(header() + image2x2 + image2x2.substr(0, 5)), "error, Error reading GIF file");
}

TEST(GifFile, ExtensionsOfEveryKindAndTheChain)
{
    GifFrame *head = readBytes(header(0, "GIF87a") + colourTable(0) + comment("made by hand") +
                               application("NETSCAPE2.0", Bytes("\x01\x00\x00", 3)) +
                               graphicControl(0x01, 100, 7) + graphicControl(0x00, 5, 9) + image2x2 +
                               plainText("text") + graphicControl(0x01, 3, 4) + image2x2 +
                               graphicControl(0x00, 0, 0) + TRAILER + "junk");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->delay, 5);
    EXPECT_EQ(head->transparent, 0);
    EXPECT_EQ(head->transparentIndex, 7);
    EXPECT_EQ(head->image.header()->biWidth, 2);
    GifFrame *second = head->next;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->delay, 3);
    EXPECT_EQ(second->transparent, 1);
    EXPECT_EQ(second->transparentIndex, 4);
    EXPECT_FALSE(second->image.isEmpty());
    // The extension after the last image has a record of its own.
    ASSERT_NE(second->next, nullptr);
    EXPECT_TRUE(second->next->image.isEmpty());
    EXPECT_EQ(second->next->next, nullptr);
    destroyGifFrame(head);
}

TEST(GifFile, ColourTablesAndPictureSize)
{
    Bytes local = literalImage(10, 5, std::vector<int>(50, 3), 8, 1);
    GifFrame *head = readBytes(header(0) + colourTable(0) + imageDescriptor(10, 5, -1, false, 7, 3) +
                               imageData(8, literalCodes(std::vector<int>(50, 1), 8)) + local + TRAILER);
    ASSERT_NE(head, nullptr);
    RGBQUAD *global = head->image.colourTable();
    EXPECT_EQ(head->image.header()->biWidth, 10);
    EXPECT_EQ(head->image.header()->biHeight, 5);
    EXPECT_EQ(global[1].rgbRed, 1);
    EXPECT_EQ(global[1].rgbGreen, 254);
    EXPECT_EQ(global[1].rgbBlue, 1 ^ 0x55);
    EXPECT_EQ(global[1].rgbReserved, 0);
    DibImage blank = DibImage::makeImage(8, 1, 1);
    EXPECT_EQ(memcmp(global + 2, blank.colourTable() + 2, 254 * sizeof(RGBQUAD)), 0);
    RGBQUAD *four = head->next->image.colourTable();
    EXPECT_EQ(four[3].rgbRed, 3 + 7);
    EXPECT_EQ(memcmp(four + 4, blank.colourTable() + 4, 252 * sizeof(RGBQUAD)), 0);
    EXPECT_EQ(head->next->image.rows()[4][9], 3);
    destroyGifFrame(head);

    // No table at all: every colour stays halftone.
    head = readBytes(header() + image2x2 + TRAILER);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(memcmp(head->image.colourTable(), blank.colourTable(), 1024), 0);
    destroyGifFrame(head);

    // Header, table and trailer only: one record, no picture, no message.
    head = readBytes(header(2) + colourTable(2) + TRAILER);
    ASSERT_NE(head, nullptr);
    EXPECT_TRUE(head->image.isEmpty());
    EXPECT_EQ(head->next, nullptr);
    destroyGifFrame(head);
}

TEST(GifFile, ReadGifKeepsOnlyTheFirstPictureAndNoFrames)
{
    std::string path = writeFile("gif_test_many.GIF", header(1) + colourTable(1) + image2x2 +
                                 graphicControl(1, 2, 3) + literalImage(3, 1, {3, 3, 3}) + TRAILER);
    DibImage picture = DibImage::fromFile(path.c_str());
    ASSERT_FALSE(picture.isEmpty());
    EXPECT_EQ(picture.header()->biWidth, 2);
    EXPECT_EQ(picture.body->refCount, 1);
    EXPECT_EQ(picture.rows()[1][0], 3);

    std::string broken = writeFile("gif_test_broken.gif", header() + image2x2);
    std::string text = reported([&] { EXPECT_TRUE(DibImage::fromFile(broken.c_str()).isEmpty()); });
    EXPECT_EQ(text, "error, Error reading GIF file " + broken);
}
