// Natively only: the GIF reader and giflib decode the same files to the same
// palette indices and colour tables.
#include <gtest/gtest.h>

#include <gif_lib.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gif/gif_reader.h"
#include "gif_builder.h"

using namespace gifbuild;

static void expectSameAsGiflib(const std::string &path)
{
    SCOPED_TRACE(path);
    int error;
    GifFileType *peer = DGifOpenFileName(path.c_str(), &error);
    ASSERT_NE(peer, nullptr);
    ASSERT_EQ(DGifSlurp(peer), GIF_OK);
    ASSERT_GE(peer->ImageCount, 1);
    const SavedImage &first = peer->SavedImages[0];
    const ColorMapObject *map = first.ImageDesc.ColorMap ? first.ImageDesc.ColorMap : peer->SColorMap;

    GifFrame *head = readGifFile(path.c_str());
    ASSERT_NE(head, nullptr);
    DibImage &image = head->image;
    int width = first.ImageDesc.Width, height = first.ImageDesc.Height;
    ASSERT_EQ(image.header()->biWidth, width);
    ASSERT_EQ(image.header()->biHeight, height);
    RowTable rows = image.rows();
    for (int y = 0; y < height; y++)
        ASSERT_EQ(memcmp(rows[y], first.RasterBits + (size_t)y * width, width), 0) << "row " << y;
    ASSERT_NE(map, nullptr);
    RGBQUAD *table = image.colourTable();
    for (int i = 0; i < map->ColorCount; i++) {
        EXPECT_EQ(table[i].rgbRed, map->Colors[i].Red) << i;
        EXPECT_EQ(table[i].rgbGreen, map->Colors[i].Green) << i;
        EXPECT_EQ(table[i].rgbBlue, map->Colors[i].Blue) << i;
    }
    destroyGifFrame(head);
    DGifCloseFile(peer, &error);
}

TEST(GiflibPeer, CorpusFromRealEncoders)
{
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(GIF_CORPUS)) {
        if (entry.path().extension() == ".gif") {
            expectSameAsGiflib(entry.path().string());
            files++;
        }
    }
    EXPECT_GE(files, 10);
}

TEST(GiflibPeer, CraftedStreams)
{
    for (int minCodeSize = 2; minCodeSize <= 8; minCodeSize++) {
        std::vector<int> pixels;
        for (int i = 0; i < 120 * 80; i++)
            pixels.push_back((i * 5 + i / 200) % (1 << minCodeSize));
        int size = minCodeSize - 1;
        // Twelve-bit codes to the end without a clear code, in sub-blocks of
        // every size down to one byte.
        for (int blockSize : {255, 100, 3, 1}) {
            Bytes file = header(size) + colourTable(size) + imageDescriptor(120, 80) +
                         imageData(minCodeSize, literalCodes(pixels, minCodeSize, true, false), blockSize) +
                         TRAILER;
            expectSameAsGiflib(writeFile("gif_peer_crafted.gif", file));
        }
        Bytes cleared = header(size) + colourTable(size) + imageDescriptor(120, 80, size, true) +
                        colourTable(size, 3) +
                        imageData(minCodeSize, literalCodes(pixels, minCodeSize, true, true)) + TRAILER;
        expectSameAsGiflib(writeFile("gif_peer_crafted.gif", cleared));
    }
}
