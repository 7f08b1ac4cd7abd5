// The calendar on a display of 256 colours (TINDLE_SCREEN at depth 8). Its
// palette comes from the corner picture, which is therefore loaded at start
// even when it is not shown; on deeper displays it is not (calendar_e2e).
//
// Wine keeps each process's view of an 8-bit display's colours to itself, so
// the realised colours cannot be read back from here; what the saver loads
// and that it draws and plays can.
#include <gtest/gtest.h>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

TEST(Palette, ThePaletteIsMadeFromTheCornerPictureEvenWhenItIsNotShown)
{
    Child saver;
    HDC screen = GetDC(NULL);
    int depth = GetDeviceCaps(screen, BITSPIXEL);

    ReleaseDC(NULL, screen);
    ASSERT_EQ(depth, 8);
    std::string installation = makeInstallation("palette-no-clikhere", {"clikhere.bmp"});

    EXPECT_EQ(julyStartReport(saver, installation),
              "error, resource unavailable, Cannot load asset " +
                  installedFile(installation, "clikhere.bmp"));
    EXPECT_EQ(saver.waitExit(10000), 3u);
}

TEST(Palette, TheCalendarDrawsAndPlaysInTwoHundredAndFiftySixColours)
{
    Child saver;
    HWND window;

    freshRegistry(makeInstallation("palette"));
    setLastChecked(4);
    window = startSaver(saver, "2026-12-10 12:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    // The frame of waiting door 10 stands out from the black of the erase.
    ASSERT_TRUE(waitUntil(5000, [] {
        return pictureSpacePixel(doorCorners[9].x - 1, doorCorners[9].y + 36) != RGB(0, 0, 0);
    }));
    clickCornerPicture();
    EXPECT_TRUE(waitForClipDoor(window, 9, 5000));
    EXPECT_EQ(value("LastChecked"), 10u);
    pressKey(VK_SPACE);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}
