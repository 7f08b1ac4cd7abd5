// What pictures need of Windows itself: global memory, the halftone palette,
// drawing, resources, and the installation's picture files by number.
#include "image/assets.h"
#include "reported.h"

static const PALETTEENTRY *halftone()
{
    static PALETTEENTRY entries[256];
    HPALETTE palette = CreateHalftonePalette(GetDC(NULL));
    EXPECT_EQ(GetPaletteEntries(palette, 0, 256, entries), 256u);
    DeleteObject(palette);
    return entries;
}

TEST(Image, MadePicturesHaveTheHalftoneColoursDrawAtTheirOwnSizeAndGivePalettes)
{
    for (WORD bits : {8, 4}) {
        DibImage made = DibImage::makeImage(bits, 1, 1);
        EXPECT_EQ(made.header()->biClrImportant, bits == 8 ? 256u : 16u);
        for (int i = 0; i < (bits == 8 ? 256 : 16); i++) {
            const RGBQUAD &c = made.colourTable()[i];
            ASSERT_EQ(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue) | c.rgbReserved << 24,
                      *(COLORREF *)&halftone()[i] & 0xFFFFFF)
                << bits << ", " << i;
        }
    }
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ bitmap = CreateBitmap(20, 20, 1, 32, NULL), old = SelectObject(dc, bitmap);
    DibImage image = DibImage::makeImage(24, 4, 3);
    dibPixels(image.header())[2] = 0xFF; // the bottom row's first pixel red
    EXPECT_TRUE(drawImage(image, dc, 5, 6));
    EXPECT_TRUE(GetPixel(dc, 5, 8) == RGB(255, 0, 0) && GetPixel(dc, 5, 6) == RGB(0, 0, 0) &&
                image.body->refCount == 1);
    image.header()->biBitCount = 2; // not a kind GDI draws
    EXPECT_FALSE(drawImage(image, dc, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    image = DibImage::makeImage(8, 1, 1); // its palette keeps the static colours
    for (int i = 0; i < 256; i++)
        image.colourTable()[i] = RGBQUAD{(BYTE)i, (BYTE)(255 - i), (BYTE)(i / 2), 0};
    PALETTEENTRY got[256];
    for (WORD bits : {8, 24}) {
        HPALETTE palette = (bits == 8 ? image : DibImage::makeImage(bits, 1, 1)).createPalette();
        ASSERT_TRUE(GetPaletteEntries(palette, 0, 256, got) == 256 && DeleteObject(palette));
        for (int i = 0; i < 256; i++) {
            PALETTEENTRY want = {(BYTE)(i / 2), (BYTE)(255 - i), (BYTE)i,
                                 (BYTE)(i < 10 || i >= 246 ? 0 : PC_RESERVED)};
            ASSERT_EQ(memcmp(&got[i], bits == 8 ? &want : &halftone()[i], 4), 0)
                << bits << " bits, " << i;
        }
    }
}

TEST(Image, ResourcesAreUsedInPlace)
{
    resourceInstance = GetModuleHandleA(NULL);
    BYTE *data = (BYTE *)LockResource(
        LoadResource(resourceInstance, FindResourceA(resourceInstance, "TEST_BMP", "DIB")));
    LONG emptyCount = DibImage::empty().body->refCount;
    for (const char *name : {"TEST_BMP", "TEST_PACKED"}) {
        DibImage image = DibImage::fromResource("DIB", name, resourceInstance);
        ASSERT_FALSE(image.isEmpty()) << name;
        EXPECT_TRUE(image.body->refCount == 1 &&
                    image.body->flags == DibImageBody::ResourceBacked &&
                    dibPixels(image.header())[2] == 0x33);
        EXPECT_TRUE(name[5] != 'B' || (BYTE *)image.header() == data + 14);
    }
    EXPECT_TRUE(DibImage::fromResource("DIB", "NO_SUCH_DIB", resourceInstance).isEmpty() &&
                DibImage::fromResourceHandle(NULL).isEmpty());
    EXPECT_EQ(DibImage::empty().body->refCount, emptyCount);
}

TEST(Assets, EachNumberLoadsItsOwnFileAfresh)
{
    std::string dir = "C:\\tindle assets";
    CreateDirectoryA(dir.c_str(), NULL);
    const char *names[] = {"active.bmp", "clickall.bmp", "clikhere.bmp", "credits.bmp",
                           "plate.bmp",  "pud.bmp",      "setup.bmp",    "theend.bmp"};
    // An 8-bit bitmap file one row high whose width tells which file it is.
    auto write = [&](const char *name, LONG width) {
        BITMAPINFOHEADER info = {40, width, 1, 1, 8, 0, 0, 0, 0, 0, 0};
        writeFile((dir + "\\" + name).c_str(), "BM" + Bytes(8, 0) + Bytes("\x36\x04\0\0", 4) +
                                                   Bytes((char *)&info, 40) +
                                                   Bytes(1024 + 4 * width, 0));
    };
    for (int id = 1; id <= 8; id++) { // a wrong name would end the test with a fatal report
        ASSERT_STREQ(findAsset((AssetId)id)->name, names[id - 1]);
        write(names[id - 1], 10 + id);
    }
    for (const std::string &value : {dir, dir + "\\"}) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, "Software\\Brackwell\\Tindle", "InstallDir", REG_SZ,
                        value.c_str(), value.size() + 1);
        for (int id = 1; id <= 8; id++)
            EXPECT_EQ(loadAsset((AssetId)id).header()->biWidth, 10 + id) << value << ": " << id;
    }
    EXPECT_TRUE(!findAsset((AssetId)0) && !findAsset((AssetId)9) && !findAsset((AssetId)-1));
    DibImage first = loadAsset(AssetId::Pud);
    write("pud.bmp", 40);
    DibImage second = loadAsset(AssetId::Pud);
    EXPECT_TRUE(first.header()->biWidth == 16 && second.header()->biWidth == 40 &&
                first.body->refCount + second.body->refCount == 2);
}
