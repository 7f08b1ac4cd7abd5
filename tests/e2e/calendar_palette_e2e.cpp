// The calendar on a display of 256 colours (TINDLE_SCREEN at depth 8): its
// palette comes from the corner picture, and it shows that picture's colours.
#include <gtest/gtest.h>

#include <algorithm>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

static bool sameColour(const PALETTEENTRY &entry, const RGBQUAD &colour)
{
    return entry.peRed == colour.rgbRed && entry.peGreen == colour.rgbGreen &&
           entry.peBlue == colour.rgbBlue;
}

TEST(Palette, TheCornerPicturesColoursAreRealisedAndShown)
{
    const Picture &corner = installedPicture("clikhere.bmp");
    PALETTEENTRY system[256];
    Child saver;
    HWND window;
    HDC screen = GetDC(NULL);

    ASSERT_EQ(GetDeviceCaps(screen, BITSPIXEL), 8);
    ASSERT_EQ(corner.colourTable().size(), 256u);
    freshRegistry(makeInstallation("palette"));
    setValue("LastCheckedYear", 126);
    setValue("LastChecked", 4);
    window = startSaver(saver, "2026-12-10 12:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    pumpMessages(1500);

    // Every colour the palette may claim (all but the twenty static ones)
    // is in the system palette now.
    GetSystemPaletteEntries(screen, 0, 256, system);
    ReleaseDC(NULL, screen);
    int missing = 0;
    for (int i = 10; i < 246; i++)
        if (std::none_of(system, system + 256, [&](const PALETTEENTRY &entry) {
                return sameColour(entry, corner.colourTable()[i]);
            }))
            missing++;
    EXPECT_EQ(missing, 0);

    Snapshot shot;
    EXPECT_TRUE(cornerShows(shot, "clikhere.bmp"));
    // The frames take the palette's colour nearest to orange.
    LOGPALETTE *logical = (LOGPALETTE *)malloc(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (int i = 0; i < 256; i++)
        logical->palPalEntry[i] = {corner.colourTable()[i].rgbRed,
                                   corner.colourTable()[i].rgbGreen,
                                   corner.colourTable()[i].rgbBlue, 0};
    HPALETTE palette = CreatePalette(logical);
    PALETTEENTRY nearest = logical->palPalEntry[GetNearestPaletteIndex(palette, ORANGE)];
    DeleteObject(palette);
    free(logical);
    EXPECT_EQ(shot.at(doorCorners[4].x - 1, doorCorners[4].y + 36),
              RGB(nearest.peRed, nearest.peGreen, nearest.peBlue));
    pressKey(VK_SPACE);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}
