#include <gtest/gtest.h>

#include <string.h>

#include "image/dib_image.h"

// True while the global block at this locked address has not been freed.
static bool globalBlockLives(void *address)
{
    return GlobalHandle(address) != NULL;
}

static PackedDib *newBlock(DWORD size)
{
    return (PackedDib *)GlobalLock(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
}

TEST(Handles, CopiesAndAssignmentsCount)
{
    DibImage a = DibImage::makeImage(8, 2, 2);
    DibImage b = a;

    EXPECT_EQ(a.body->refCount, 2);
    b = b;
    EXPECT_EQ(a.body->refCount, 2);
    b = a;
    EXPECT_EQ(a.body->refCount, 2);
    {
        DibImage c(a);
        EXPECT_EQ(a.body->refCount, 3);
    }
    EXPECT_EQ(a.body->refCount, 2);
    b = DibImage::empty();
    EXPECT_EQ(a.body->refCount, 1);
    EXPECT_TRUE(b.isEmpty());
}

TEST(Handles, LastReleaseFreesTheGlobalBlockAndTheRows)
{
    PackedDib *dib;
    RowTable rows;
    {
        DibImage image = DibImage::makeImage(8, 3, 3);
        dib = image.header();
        rows = image.rows();
        EXPECT_TRUE(globalBlockLives(dib));
        EXPECT_TRUE(globalBlockLives(rows));
    }
    EXPECT_FALSE(globalBlockLives(dib));
    EXPECT_FALSE(globalBlockLives(rows));
}

TEST(Handles, WrappedMemoryBelongsToTheImage)
{
    PackedDib *dib = newBlock(40 + 12);
    dib->biSize = 40;
    dib->biWidth = 3;
    dib->biHeight = 1;
    dib->biBitCount = 24;
    {
        DibImage image = DibImage::fromPackedDib(dib);
        EXPECT_EQ(image.body->refCount, 1);
        EXPECT_EQ(image.header(), dib);
        EXPECT_EQ(image.body->flags, 0u);
        EXPECT_FALSE(image.body->resource);
    }
    EXPECT_FALSE(globalBlockLives(dib));
}

TEST(EmptyImage, IsOneSharedEightBitPixel)
{
    DibImage &first = DibImage::empty();
    const PackedDib *dib = first.header();

    EXPECT_EQ(&DibImage::empty(), &first);
    EXPECT_TRUE(first.isEmpty());
    EXPECT_EQ(dib->biWidth, 1);
    EXPECT_EQ(dib->biHeight, 1);
    EXPECT_EQ(dib->biBitCount, 8);
    EXPECT_EQ(dib->biClrUsed, 256u);
    EXPECT_EQ(GlobalSize(GlobalHandle(first.header())), 1068u);

    LONG count = first.body->refCount;
    {
        DibImage none = DibImage::empty();
        DibImage other = none;
        EXPECT_EQ(first.body->refCount, count + 2);
        EXPECT_TRUE(other.isEmpty());
    }
    EXPECT_EQ(first.body->refCount, count);
    EXPECT_TRUE(globalBlockLives(first.header()));
    EXPECT_FALSE(DibImage::makeImage(8, 1, 1).isEmpty());
}

static void expectLayout(WORD bits, LONG width, LONG height, DWORD stride, DWORD colours)
{
    DibImage image = DibImage::makeImage(bits, width, height);
    const PackedDib *dib = image.header();

    ASSERT_FALSE(image.isEmpty());
    EXPECT_EQ(image.body->refCount, 1);
    EXPECT_EQ(dib->biSize, 40u);
    EXPECT_EQ(dib->biWidth, width);
    EXPECT_EQ(dib->biHeight, height);
    EXPECT_EQ(dib->biPlanes, 1);
    EXPECT_EQ(dib->biBitCount, bits);
    EXPECT_EQ(dib->biCompression, (DWORD)BI_RGB);
    EXPECT_EQ(dib->biSizeImage, stride * height);
    EXPECT_EQ(dib->biClrUsed, colours);
    EXPECT_EQ(dib->biClrImportant, colours);
    EXPECT_EQ(GlobalSize(GlobalHandle(image.header())), 40 + 4 * colours + stride * height);
    EXPECT_EQ(image.colourTable() != NULL, colours != 0);
    for (DWORD i = 0; i < stride * height; i++)
        ASSERT_EQ(dibPixels(dib)[i], 0);
}

TEST(Create, LayoutsAtSeveralBitCountsAndSizes)
{
    expectLayout(8, 1, 1, 4, 256);
    expectLayout(8, 72, 72, 72, 256);
    expectLayout(8, 5, 2, 8, 256);
    expectLayout(4, 9, 1, 8, 16);
    expectLayout(24, 3, 1, 12, 0);
    expectLayout(1, 7, 1, 4, 0);
    expectLayout(32, 3, 2, 12, 0);
}

// The system's halftone palette, the reference for pictures without their own.
static UINT halftoneEntries(PALETTEENTRY *entries)
{
    HDC dc = GetDC(GetDesktopWindow());
    HPALETTE palette = CreateHalftonePalette(dc);
    UINT count = GetPaletteEntries(palette, 0, 256, entries);

    DeleteObject(palette);
    ReleaseDC(GetDesktopWindow(), dc);
    return count;
}

TEST(Create, ColourTableHoldsTheHalftoneColours)
{
    PALETTEENTRY halftone[256];
    halftoneEntries(halftone);

    DibImage eight = DibImage::makeImage(8, 1, 1);
    DibImage four = DibImage::makeImage(4, 1, 1);
    for (int i = 0; i < 256; i++) {
        const RGBQUAD &c = eight.colourTable()[i];
        ASSERT_EQ(c.rgbRed, halftone[i].peRed) << i;
        ASSERT_EQ(c.rgbGreen, halftone[i].peGreen) << i;
        ASSERT_EQ(c.rgbBlue, halftone[i].peBlue) << i;
        ASSERT_EQ(c.rgbReserved, 0) << i;
    }
    EXPECT_EQ(memcmp(four.colourTable(), eight.colourTable(), 64), 0);
}

TEST(Rows, TopRowFirstAndBuiltOnce)
{
    DibImage image = DibImage::makeImage(8, 5, 3);
    RowTable rows = image.rows();
    BYTE *pixels = dibPixels(image.header());

    EXPECT_EQ(rows[0], pixels + 16);
    EXPECT_EQ(rows[1], pixels + 8);
    EXPECT_EQ(rows[2], pixels);
    EXPECT_EQ(image.rows(), rows);
    EXPECT_EQ(GlobalSize(GlobalHandle(rows)), 3 * sizeof(BYTE *));
}

TEST(Palette, EightBitsReserveAllButTheStaticColours)
{
    DibImage image = DibImage::makeImage(8, 1, 1);
    for (int i = 0; i < 256; i++)
        image.colourTable()[i] = RGBQUAD{(BYTE)i, (BYTE)(255 - i), (BYTE)(i / 2), 0};
    HPALETTE palette = image.createPalette();
    PALETTEENTRY entries[256];

    ASSERT_TRUE(palette);
    ASSERT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(entries[i].peBlue, i) << i;
        EXPECT_EQ(entries[i].peGreen, 255 - i) << i;
        EXPECT_EQ(entries[i].peRed, i / 2) << i;
        EXPECT_EQ(entries[i].peFlags, (i < 10 || i >= 246) ? 0 : PC_RESERVED) << i;
    }
    DeleteObject(palette);
}

TEST(Palette, OtherBitCountsGetTheHalftonePalette)
{
    PALETTEENTRY halftone[256], got[256];
    UINT count = halftoneEntries(halftone);

    HPALETTE palette = DibImage::makeImage(24, 1, 1).createPalette();
    ASSERT_TRUE(palette);
    ASSERT_EQ(GetPaletteEntries(palette, 0, 256, got), count);
    EXPECT_EQ(memcmp(got, halftone, count * sizeof(PALETTEENTRY)), 0);
    DeleteObject(palette);
}

TEST(Draw, WholePictureAtItsOwnSize)
{
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, 20, 20);
    HGDIOBJ old = SelectObject(dc, target);
    DibImage image = DibImage::makeImage(24, 4, 3);
    BYTE *pixels = dibPixels(image.header());

    // Bottom row in memory: pure red at its first pixel.
    pixels[2] = 0xFF;
    EXPECT_TRUE(drawImage(image, dc, 5, 6));
    EXPECT_EQ(GetPixel(dc, 5, 8), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 6), RGB(0, 0, 0));
    EXPECT_EQ(image.body->refCount, 1);

    PackedDib *dib = image.header();
    dib->biBitCount = 2;   // not a format GDI draws
    EXPECT_FALSE(drawImage(image, dc, 0, 0));
    dib->biBitCount = 24;

    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
}

class Resources : public ::testing::Test {
protected:
    void SetUp() override { resourceInstance = GetModuleHandleA(NULL); }
};

TEST_F(Resources, BitmapFileResourceIsUsedInPlacePastItsFileHeader)
{
    HRSRC found = FindResourceA(resourceInstance, "TEST_BMP", "DIB");
    ASSERT_TRUE(found);
    BYTE *data = (BYTE *)LockResource(LoadResource(resourceInstance, found));
    RowTable rows;
    {
        DibImage image = DibImage::fromResource("DIB", "TEST_BMP", resourceInstance);
        ASSERT_FALSE(image.isEmpty());
        EXPECT_EQ(image.body->refCount, 1);
        EXPECT_EQ((BYTE *)image.header(), data + 14);
        EXPECT_EQ(image.body->flags, (DWORD)DibImageBody::ResourceBacked);
        EXPECT_TRUE(image.body->resource);
        EXPECT_EQ(image.header()->biWidth, 2);
        EXPECT_EQ(dibPixels(image.header())[0], 0x11);
        rows = image.rows();
        EXPECT_TRUE(globalBlockLives(rows));
    }
    // The rows are freed as global memory, the picture as a resource: its
    // data are still in place.
    EXPECT_FALSE(globalBlockLives(rows));
    EXPECT_EQ(data[0], 'B');
    EXPECT_EQ(data[14 + 40], 0x11);
}

TEST_F(Resources, PackedDibResourceStartsAtItsFirstByte)
{
    DibImage image = DibImage::fromResource("DIB", "TEST_PACKED", resourceInstance);

    ASSERT_FALSE(image.isEmpty());
    EXPECT_EQ(image.header()->biBitCount, 24);
    EXPECT_EQ(image.header()->biHeight, 1);
    EXPECT_EQ(dibPixels(image.header())[2], 0x33);
}

TEST_F(Resources, MissingResourcesAreTheEmptyImage)
{
    LONG count = DibImage::empty().body->refCount;

    EXPECT_TRUE(DibImage::fromResource("DIB", "NO_SUCH_DIB", resourceInstance).isEmpty());
    EXPECT_TRUE(DibImage::fromResource("DIB", "TEST_BMP", NULL).isEmpty() ==
                (FindResourceA(NULL, "TEST_BMP", "DIB") == NULL));
    EXPECT_TRUE(DibImage::fromResourceHandle(NULL).isEmpty());
    EXPECT_EQ(DibImage::empty().body->refCount, count);
}
