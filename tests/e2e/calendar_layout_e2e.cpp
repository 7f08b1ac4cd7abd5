// The picture space on screens of different sizes: the same test runs on a
// 640 x 480, an 800 x 600 and a 1024 x 768 display (TINDLE_SCREEN).
#include <gtest/gtest.h>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

TEST(Layout, ThePictureSpaceIsCentredAndTheClickAreaFollowsIt)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int expectedX = width == 640 ? 0 : width == 800 ? 80 : 192;
    const int expectedY = height == 480 ? 0 : height == 600 ? 60 : 144;
    Child saver;
    HWND window;

    ASSERT_EQ(originX(), expectedX);
    ASSERT_EQ(originY(), expectedY);
    freshRegistry(makeInstallation("layout"));
    setLastChecked(4);
    window = startSaver(saver, "2026-12-10 12:00:00");
    ASSERT_NE(window, (HWND)NULL);
    // The clip window stands exactly on door 1's corner.
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    ASSERT_TRUE(waitUntil(5000, [] { return Snapshot().doorHasFrame(9); }));
    Snapshot shot;
    EXPECT_TRUE(shot.doorHasFrame(0));
    EXPECT_TRUE(doorShowsThumbnail(shot, 1));
    EXPECT_TRUE(doorShowsBackground(shot, "pud.bmp", 10));
    EXPECT_TRUE(cornerShows(shot, "clikhere.bmp"));

    // The click area's last pixel is in it, the pixel above it is not.
    clickAt(639, 479);
    EXPECT_TRUE(waitForClipDoor(window, 9, 5000));
    EXPECT_EQ(value("LastChecked"), 10u);
    clickAt(530, 379);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}
