// The GIF reader compared with giflib over real encoders' files and streams
// made here that end their data in every way; then what giflib cannot judge.
#include <gif_lib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "gif/gif_reader.h"
#include "gif/lzw_decoder.h"
#include "reported.h"

struct Code {
    int code, width = 3; // 3 bits, as at minimum code size 2
};

// The LZW Minimum Code Size byte, the codes in sub-blocks, the terminator.
static Bytes imageData(int minCodeSize, const std::vector<Code> &codes, size_t blockSize = 255)
{
    Bytes packed, out(1, (char)minCodeSize);
    size_t bits = 0;
    for (const Code &c : codes)
        for (int b = 0; b < c.width; b++) {
            packed.resize(bits / 8 + 1);
            packed.back() |= (char)((c.code >> b & 1) << bits % 8);
            bits++;
        }
    for (size_t at = 0; at < packed.size(); at += blockSize)
        out += (char)std::min(blockSize, packed.size() - at) + packed.substr(at, blockSize);
    return out + '\0';
}

// A greedy LZW encoder: clear, the codes with the width growing as giflib's (below minimum code
// size 2 already at the first code), End; at a full table a clear code deferClear codes later.
static std::vector<Code> lzwCodes(const std::vector<int> &pixels, int minCodeSize,
                                  int deferClear = -1)
{
    int clear = 1 << minCodeSize, width = minCodeSize + 1, slot = clear + 2, sinceFull = 0,
        string = -1;
    std::map<std::pair<int, int>, int> table;
    std::vector<Code> codes{{clear, width}};
    for (int pixel : pixels) {
        if (string >= 0 && table.count({string, pixel})) {
            string = table[{string, pixel}];
            continue;
        }
        if (string >= 0) {
            bool first = codes.back().code == clear;
            codes.push_back({string, width});
            if (slot + !first < 4096)
                table[{string, pixel}] = slot + !first;
            bool added = !first && slot < 4096;
            slot += added;
            if ((first || added) && slot >= 1 << width && width < 12)
                width++;
            if (slot == 4096 && deferClear >= 0 && sinceFull++ == deferClear) {
                codes.push_back({clear, width});
                width = minCodeSize + 1;
                slot = clear + 2;
                sinceFull = 0;
                table.clear();
            }
        }
        string = pixel;
    }
    codes.push_back({string, width});
    codes.push_back({clear + 1, width});
    return codes;
}

// A table of 2^(s+1) colours (i + salt, 255 - i, i ^ 0x55), none when s < 0.
static Bytes colours(int s, int salt = 0)
{
    Bytes out;
    for (int i = 0; s >= 0 && i < 2 << s; i++)
        out += Bytes{(char)(i + salt), (char)(255 - i), (char)(i ^ 0x55)};
    return out;
}
static Bytes header(int s = -1, const char *signature = "GIF89a")
{
    return signature + le(100, 2) + le(100, 2) + (char)(s >= 0 ? 0xF0 | s : 0x70) + Bytes(2, 0) +
           colours(s);
}
static Bytes descriptor(int width, int height, int s = -1, bool interlaced = false)
{
    return ',' + le(7, 2) + le(3, 2) + le(width, 2) + le(height, 2) +
           (char)((s >= 0 ? 0x80 | s : 0) | (interlaced ? 0x40 : 0)) + colours(s, 7);
}

// Every picture of the file, its rows and colours, as giflib has them.
static void expectSameAsGiflib(const char *path)
{
    int error, i = 0;
    GifFileType *peer = DGifOpenFileName(path, &error);
    ASSERT_TRUE(peer && DGifSlurp(peer) == GIF_OK) << "giflib refuses " << path;
    SCOPED_TRACE(path);
    GifFrame *head = readGifFile(path);
    for (GifFrame *frame = head; frame && !frame->image.isEmpty() && i < peer->ImageCount;
         frame = frame->next, i++) {
        const GifImageDesc &desc = peer->SavedImages[i].ImageDesc;
        ASSERT_TRUE(frame->image.header()->biWidth == desc.Width &&
                    frame->image.header()->biHeight == desc.Height)
            << "picture " << i;
        for (int y = 0; y < desc.Height; y++)
            ASSERT_EQ(memcmp(frame->image.rows()[y],
                             peer->SavedImages[i].RasterBits + y * desc.Width, desc.Width),
                      0)
                << "picture " << i << " row " << y;
        const ColorMapObject *map = desc.ColorMap ? desc.ColorMap : peer->SColorMap;
        for (int c = 0; map && c < map->ColorCount; c++)
            ASSERT_EQ(
                *(DWORD *)&frame->image.colourTable()[c],
                (DWORD)(map->Colors[c].Blue | map->Colors[c].Green << 8 | map->Colors[c].Red << 16))
                << c;
    }
    EXPECT_EQ(i, peer->ImageCount);
    destroyGifFrame(head);
    DGifCloseFile(peer, &error);
}

TEST(GiflibPeer, RealEncodersFilesAndCraftedStreams)
{
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(CORPUS))
        if (entry.path().extension() == ".gif") {
            files++;
            expectSameAsGiflib(entry.path().c_str());
        }
    EXPECT_GE(files, 10);
    enum { End, ClearEnd, SurplusEnd, NoEnd, EndThenBlocks }; // behind the last pixel's code
    // Pixels (i / run * 7 + i / run / 13) mod the colours: runs make long strings.
    struct Row {
        const char *name;
        int width, height, minCodeSize, tail, blockSize, deferClear;
        bool interlaced;
        int run = 1;
    } rows[] = {
        {"clear then end", 13, 7, 3, ClearEnd, 255, -1, false},
        {"surplus code then end", 13, 7, 3, SurplusEnd, 255, -1, false},
        {"no end, terminator behind the last code", 13, 7, 3, NoEnd, 255, -1, false},
        {"sub-blocks after the end", 13, 7, 3, EndThenBlocks, 255, -1, false},
        {"clear then end in 1-byte sub-blocks", 40, 30, 5, ClearEnd, 1, -1, false},
        {"surplus code in 1-byte sub-blocks", 40, 30, 8, SurplusEnd, 1, -1, false},
        {"12-bit codes to a full table's end, clear, end", 100, 90, 8, ClearEnd, 255, -1, false},
        {"clear deferred at a full table", 100, 90, 8, End, 100, 50, false},
        {"clear deferred at once, 2-bit pixels", 90, 90, 2, SurplusEnd, 3, 0, false},
        {"minimum code size 1, 2-bit codes only for the first", 61, 23, 1, End, 255, -1, false, 3},
        {"interlaced, 1 row, 4-bit pixels", 3, 1, 4, NoEnd, 2, -1, true},
        {"interlaced, 2 rows", 3, 2, 5, ClearEnd, 255, -1, true},
        {"interlaced, 3 rows", 3, 3, 5, End, 255, -1, true},
        {"interlaced, 10 rows", 3, 10, 5, SurplusEnd, 255, -1, true},
        {"interlaced, 17 rows", 4, 17, 5, End, 1, -1, true},
        {"runs: strings of 8 to 24 pixels across row ends", 37, 23, 3, End, 255, -1, false, 300},
        {"one colour: strings of hundreds of pixels", 300, 200, 2, NoEnd, 255, -1, false, 60000},
        {"interlaced runs to a full table, clear deferred", 150, 100, 8, ClearEnd, 255, 20, true,
         9},
        {"a full table kept to the end, its last entry in use", 200, 200, 8, End, 255, -1, false,
         2},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<int> pixels(r.width * r.height);
        for (int i = 0; i < r.width * r.height; i++)
            pixels[i] = (i / r.run * 7 + i / r.run / 13) % (1 << r.minCodeSize);
        std::vector<Code> codes = lzwCodes(pixels, r.minCodeSize, r.deferClear);
        Code end = codes.back();
        codes.pop_back();
        if (r.tail == ClearEnd) {
            codes.push_back({end.code - 1, end.width});
            end.width = r.minCodeSize + 1;
        }
        if (r.tail == SurplusEnd)
            codes.push_back({1, end.width});
        if (r.tail != NoEnd)
            codes.push_back(end);
        Bytes data = imageData(r.minCodeSize, codes, r.blockSize);
        if (r.tail == EndThenBlocks)
            data.insert(data.size() - 1, "\x03xyz\x01w");
        // A second picture behind the first shows where its data ended.
        expectSameAsGiflib(
            writeFile("gif_test_crafted.gif",
                      header(r.minCodeSize - 1) + descriptor(r.width, r.height, -1, r.interlaced) +
                          data + descriptor(2, 1, 1) + imageData(2, {{4}, {3}, {2}, {5}}) + ';'));
    }
}

TEST(Lzw, DamagedAndOddData)
{
    // A clear code whose first pixel is the last of the row loop's first 8192.
    std::vector<Code> ones = lzwCodes(std::vector<int>(8191, 1), 1);
    ones.back().code = 2;
    ones.insert(ones.end(), {{1, 2}, {4, 3}, {3, 3}});
    // The first pixels (the rest stay 0), what follows the data, and where the file is left.
    struct Row {
        const char *name;
        Bytes data;
        int width, height;
        Bytes pixels, after = ";";
        long result = 0, end = -1; // end -1: behind the data
    } rows[] = {
        {"data end early, no terminator", imageData(2, {{4}, {1}, {2}}).substr(0, 4), 10, 10,
         "\1\2", ""},
        {"clears first and between, a code = next entry",
         imageData(2, {{4}, {4}, {1}, {2}, {4}, {3}, {6}, {5}}), 5, 1, "\1\2\3\3\3"},
        {"minimum code size 11 keeps the low 8 bits", imageData(11, lzwCodes({2047, 5}, 11)), 2, 1,
         "\xFF\5"},
        {"minimum code size 12", imageData(12, {{4096, 13}}), 2, 2, "", "", -1, 1},
        {"no size byte", "", 2, 2, "", "", -1},
        {"codes behind an early end", imageData(2, {{4}, {1}, {5}, {2}, {2}}), 5, 1, "\1", ","},
        {"minimum code size 1, a clear at the end of a run", imageData(1, ones), 8194, 1,
         Bytes(8194, 1)},
        {"two clear codes in the middle", imageData(2, {{4}, {1}, {4}, {4}, {2}, {5}}), 3, 1,
         "\1\2"},
        {"an End code straight after a clear", imageData(2, {{4}, {1}, {4}, {5}}), 3, 1, "\1"},
        {"a string code straight after a clear", imageData(2, {{4}, {1}, {4}, {6}, {5}}), 3, 1,
         "\1"},
        {"a code beyond the next entry", imageData(2, {{4}, {1}, {7}, {1}, {5}}), 100, 100,
         "\1\1\1\1"},
        {"a string past the last pixel", imageData(2, {{4}, {1}, {6}, {5}}), 2, 1, "\1\1"},
        {"no width", imageData(2, {{4}, {1}, {5}}), 0, 3, ""},
        {"no height", imageData(2, {{4}, {1}, {5}}), 3, 0, ""},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        Bytes pixels(r.width * r.height + 1, 0), want = r.pixels;
        std::vector<BYTE *> table(r.height);
        for (int y = 0; y < r.height; y++)
            table[y] = (BYTE *)&pixels[y * r.width];
        FILE *file = fopen(writeFile("gif_test_stream", r.data + r.after), "rb");
        EXPECT_EQ(decodeGifRows(table.data(), file, r.width, r.height, 0), r.result);
        EXPECT_EQ(ftell(file), r.end < 0 ? (long)r.data.size() : r.end);
        fclose(file);
        want.resize(pixels.size(), 0);
        EXPECT_EQ(pixels, want);
    }
}

static const Bytes image2x2 = descriptor(2, 2) + imageData(2, lzwCodes({1, 2, 3, 0}, 2));

// The frames of the bytes read as a file, and the reports' text.
static GifFrame *readBytes(const Bytes &bytes, std::string *message)
{
    GifFrame *head = nullptr;
    *message = reported([&] { head = readGifFile(writeFile("gif_test.gif", bytes)); });
    return head;
}

TEST(GifFile, EveryRefusalAndItsMessage)
{
    const Bytes good = header(1) + image2x2 + ';', bare = header();
    std::pair<Bytes, std::string> rows[] = {
        {good.substr(0, 12), "Error reading GIF file"},
        {"GIF88a" + good.substr(6), "File is not a GIF file"},
        {"gif89a" + good.substr(6), "File is not a GIF file"},
        {good.substr(0, 13 + 11), "Error reading GIF global colour table"},
        {bare + descriptor(2, 2, 2).substr(0, 20), "Error reading GIF global colour table"},
        {bare + image2x2, "Error reading GIF file gif_test.gif"},
        {bare + image2x2 + '\0', "Invalid separator 0x00 in GIF file gif_test.gif"},
        {bare + image2x2.substr(0, 6), "Error reading GIF file"},
        {bare + image2x2 + image2x2.substr(0, 5), "Error reading GIF file"},
        {bare + image2x2.substr(0, 10), "Error decoding GIF image"},
        {bare + "\x21", "Error reading GIF file"},
        {bare + "\x21\x02" + Bytes(1, '\0') + ';', "Unrecognised GIF extension"},
        {bare + "\x21\xF9\x04\x01", "Error reading GIF Graphics control extension"},
        {bare + "\x21\x01\x0C\x08\x08\x08", "Error reading plain text extension"},
        {bare + "\x21\x01\x0C" + Bytes(12, 8) + "\x03zz", "Error reading GIF file"},
        {bare + "\x21\xFF\x0BNETSCAPE", "Error reading application extension"},
        {bare + "\x21\xFF\x0BNETSCAPE2.0\x03zz", "Error reading GIF file"},
        {bare + "\x21\xFE\x03zz", "Error reading GIF file"},
    };
    for (const auto &r : rows) {
        std::string message;
        GifFrame *head = readBytes(r.first, &message);
        EXPECT_TRUE(!head && message == "error, " + r.second) << r.second << " / " << message;
        destroyGifFrame(head);
    }
    EXPECT_EQ(reported([] { EXPECT_EQ(readGifFile("no such.gif"), nullptr); }),
              "error, resource unavailable, Cannot open file no such.gif");
}

TEST(GifFile, ExtensionsFallToTheImageBehindThemAndAPictureFileKeepsTheFirst)
{
    auto control = [](int packed, int delay, int index) {
        return "\x21\xF9\x04" + Bytes{(char)packed} + le(delay, 2) + Bytes{(char)index, 0};
    };
    std::string message;
    GifFrame *head = readBytes(
        header(2, "GIF87a") + "\x21\xFE\x02hi" + Bytes(1, 0) + "\x21\xFF\x0BNETSCAPE2.0\x03" +
            Bytes(3, 1) + Bytes(1, 0) + control(1, 100, 7) + control(0, 261, 9) + image2x2 +
            "\x21\x01\x0C" + Bytes(12, 8) + "\x02hi" + Bytes(1, 0) + control(1, 3, 4) +
            descriptor(2, 2, 1) + image2x2.substr(10) + control(0, 0, 0) + ";junk",
        &message);
    EXPECT_EQ(message, "");
    DibImage halftone = DibImage::makeImage(8, 1, 1);
    struct {
        int delay, transparent, index, given, salt;
    } want[] = {{261, 0, 7, 8, 0}, {3, 1, 4, 4, 7}, {0, 0, 0, -1, 0}};
    GifFrame *frame = head;
    for (const auto &w : want) {
        ASSERT_TRUE(frame && frame->delay == w.delay && frame->transparent == w.transparent &&
                    frame->transparentIndex == w.index && frame->image.isEmpty() == w.given < 0)
            << w.delay;
        for (int i = 0; i < 256 && w.given > 0; i++) {
            RGBQUAD c = i < w.given
                            ? RGBQUAD{(BYTE)(i ^ 0x55), (BYTE)(255 - i), (BYTE)(i + w.salt), 0}
                            : halftone.colourTable()[i];
            ASSERT_EQ(memcmp(&frame->image.colourTable()[i], &c, 4), 0) << i;
        }
        frame = frame->next;
    }
    EXPECT_EQ(frame, nullptr);
    destroyGifFrame(head);
    head = readBytes(header(1) + ';', &message);
    EXPECT_TRUE(head && head->image.isEmpty() && !head->next && message.empty());
    destroyGifFrame(head);
    // A picture file keeps only the first picture.
    DibImage picture = DibImage::fromFile(
        writeFile("gif_test_many.GIF", header(1) + image2x2 + descriptor(3, 1) +
                                           imageData(2, lzwCodes({3, 3, 3}, 2)) + ';'));
    EXPECT_TRUE(picture.header()->biWidth == 2 && picture.body->refCount == 1 &&
                picture.rows()[1][0] == 3);
    EXPECT_EQ(reported([] {
                  EXPECT_TRUE(
                      DibImage::fromFile(writeFile("gif_test_broken.gif", header() + image2x2))
                          .isEmpty());
              }),
              "error, Error reading GIF file gif_test_broken.gif");
}
