// The full-screen calendar and its preview as the user sees them: the saver's
// test variant starts on a chosen date, with the real registry and a test
// installation of short clips, and the screen is read back pixel by pixel.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

static const DWORD MINUS_ONE = 0xFFFFFFFF;

class Calendar : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installation = makeInstallation("calendar"); }

    void SetUp() override { freshRegistry(installation); }

    void TearDown() override
    {
        if (saver.running())
            pressKey(VK_ESCAPE);
        saver.waitExit(5000);
    }

    bool stillRunningAfterInput()
    {
        pumpMessages(800);
        return saver.running();
    }

    static std::string installation;
    Child saver;
    HWND window = NULL;
};

std::string Calendar::installation;

TEST_F(Calendar, TenthOfDecemberOpensNineDoorsAndTheClickOpensTheTenth)
{
    setLastChecked(4);
    window = startSaver(saver, "2026-12-10 12:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    EXPECT_EQ(value("LastChecked"), 9u);
    EXPECT_EQ(value("LastCheckedYear"), 126u);
    ASSERT_TRUE(waitUntil(5000, [] { return Snapshot().doorHasFrame(9); }));

    Snapshot shot;
    for (int door = 0; door < 9; door++) {
        SCOPED_TRACE(door + 1);
        EXPECT_TRUE(shot.doorHasFrame(door));
        if (door > 0 && door != clipDoor(window)) {
            EXPECT_TRUE(doorShowsThumbnail(shot, door));
        }
    }
    const Picture &pud = installedPicture("pud.bmp");
    RECT aboveNumber = {doorCorners[9].x + 2, doorCorners[9].y + 2, doorCorners[9].x + 70,
                        doorCorners[9].y + 36};
    EXPECT_EQ(shot.mismatches(pud, centredLeft(pud), centredTop(pud), aboveNumber), 0);
    EXPECT_GT(shot.numberPixels(9), 10);
    for (int door = 10; door < 24; door++) {
        SCOPED_TRACE(door + 1);
        EXPECT_TRUE(doorShowsBackground(shot, "pud.bmp", door));
    }
    EXPECT_TRUE(cornerShows(shot, "clikhere.bmp"));

    clickCornerPicture();
    EXPECT_TRUE(waitForClipDoor(window, 9, 5000));
    EXPECT_EQ(value("LastChecked"), 10u);
    EXPECT_EQ(value("LastCheckedYear"), 126u);
    EXPECT_TRUE(saver.running());
    EXPECT_TRUE(doorShowsThumbnail(Snapshot(), 0));
    // After door 10's clip the sequence wraps to door 1, and door 10 keeps
    // its picture.
    EXPECT_TRUE(waitForClipDoor(window, 0, 5000));
    EXPECT_TRUE(doorShowsThumbnail(Snapshot(), 9));
    pressKey(VK_SPACE);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}

TEST_F(Calendar, FirstOfDecemberWaitsForTheClickBeforeAnyClip)
{
    setLastChecked(0);
    window = startSaver(saver, "2026-12-01 08:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitUntil(5000, [] { return Snapshot().doorHasFrame(0); }));
    pumpMessages(1000);
    EXPECT_EQ(clipDoor(window), -1);
    EXPECT_GT(Snapshot().numberPixels(0), 5);
    EXPECT_FALSE(Snapshot().doorHasFrame(1));
    EXPECT_EQ(value("LastChecked"), 0u);

    clickCornerPicture();
    EXPECT_TRUE(waitForClipDoor(window, 0, 5000));
    EXPECT_EQ(value("LastChecked"), 1u);
}

TEST_F(Calendar, AFirstRunCreatesTheValuesWithTheirDefaults)
{
    window = startSaver(saver, "1996-12-03 09:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    EXPECT_EQ(value("Advent"), 0u);
    EXPECT_EQ(value("Twelve"), 0u);
    // Created as 96 and 0, then door 3 became the waiting one.
    EXPECT_EQ(value("LastCheckedYear"), 96u);
    EXPECT_EQ(value("LastChecked"), 2u);
    ASSERT_TRUE(waitUntil(5000, [] { return Snapshot().doorHasFrame(2); }));
    Snapshot shot;
    EXPECT_TRUE(doorShowsThumbnail(shot, 1));
    EXPECT_GT(shot.numberPixels(2), 5);
}

TEST_F(Calendar, ANewYearForgetsLastYearsDoors)
{
    setValue("LastCheckedYear", 125);
    setValue("LastChecked", 24);
    window = startSaver(saver, "2026-12-03 09:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    EXPECT_EQ(value("LastCheckedYear"), 126u);
    EXPECT_EQ(value("LastChecked"), 2u);
    ASSERT_TRUE(waitUntil(5000, [] { return Snapshot().doorHasFrame(2); }));
    EXPECT_GT(Snapshot().numberPixels(2), 5);
    EXPECT_TRUE(doorShowsBackground(Snapshot(), "pud.bmp", 3));
}

TEST_F(Calendar, TwelveDaysShowNoDoorsUntilTheClickOpensAll)
{
    window = startSaver(saver, "2026-12-27 20:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForBackground("plate.bmp"));
    pumpMessages(500);
    Snapshot before;
    for (int door = 0; door < 24; door++) {
        SCOPED_TRACE(door + 1);
        EXPECT_TRUE(doorShowsBackground(before, "plate.bmp", door));
    }
    EXPECT_TRUE(cornerShows(before, "clickall.bmp"));
    EXPECT_EQ(clipDoor(window), -1);
    moveMouseBy(30, 30);
    EXPECT_TRUE(stillRunningAfterInput());

    clickCornerPicture();
    ASSERT_TRUE(waitForClipDoor(window, 0, 5000));
    ASSERT_TRUE(waitUntil(3000, [] { return Snapshot().doorHasFrame(23); }));
    Snapshot after;
    for (int door = 0; door < 24; door++) {
        SCOPED_TRACE(door + 1);
        EXPECT_TRUE(after.doorHasFrame(door));
        if (door > 0 && door != clipDoor(window)) {
            EXPECT_TRUE(doorShowsThumbnail(after, door));
        }
    }
    // Later clicks change nothing and keep the saver.
    clickCornerPicture();
    EXPECT_TRUE(stillRunningAfterInput());
    EXPECT_NE(clipDoor(window), -1);
}

TEST_F(Calendar, November1996ShowsTheActivationPictureAndClosesOnMovement)
{
    window = startSaver(saver, "1996-11-15 10:00:00");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForBackground("pud.bmp"));
    pumpMessages(300);
    Snapshot shot;
    EXPECT_TRUE(cornerShows(shot, "active.bmp"));
    EXPECT_TRUE(doorShowsBackground(shot, "pud.bmp", 0));
    EXPECT_EQ(clipDoor(window), -1);
    moveMouseBy(20, 20);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}

TEST_F(Calendar, AfterTheSeasonTheHappyNewYearPictureStandsOnBlack)
{
    window = startSaver(saver, "2027-01-06 00:00:30");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitForBackground("theend.bmp"));
    const Picture &end = installedPicture("theend.bmp");
    Snapshot shot;
    RECT area = {centredLeft(end), centredTop(end), centredLeft(end) + end.width(),
                 centredTop(end) + end.height()};
    EXPECT_EQ(shot.mismatches(end, centredLeft(end), centredTop(end), area), 0);
    // The screen's corner, outside the picture space.
    EXPECT_EQ(shot.at(-originX(), -originY()), RGB(0, 0, 0));
    // Outside the seasons the cursor stays hidden and a movement closes.
    CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
    GetCursorInfo(&cursor);
    EXPECT_EQ(cursor.hCursor, (HCURSOR)NULL);
    moveMouseBy(20, 0);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}

TEST_F(Calendar, InTheSeasonsOnlyKeysAndOtherClicksClose)
{
    setLastChecked(5);
    for (const char *date : {"2026-12-05 10:00:00", "2027-01-02 10:00:00"}) {
        SCOPED_TRACE(date);
        window = startSaver(saver, date);
        ASSERT_NE(window, (HWND)NULL);
        moveMouseBy(40, 40);
        EXPECT_TRUE(stillRunningAfterInput());
        CURSORINFO cursor = {};
    cursor.cbSize = sizeof cursor;
        GetCursorInfo(&cursor);
        // The saver's cursor handle means nothing in this process; shown is
        // what can be seen from here (the host hides it otherwise).
        EXPECT_NE(cursor.hCursor, (HCURSOR)NULL);
        EXPECT_TRUE(cursor.flags & CURSOR_SHOWING);
        clickCornerPicture();
        EXPECT_TRUE(stillRunningAfterInput());
        // The click area's top-left pixel is in, the one left of it is out.
        clickAt(530, 380);
        EXPECT_TRUE(stillRunningAfterInput());
        clickAt(529, 380);
        EXPECT_EQ(saver.waitExit(10000), 0u);

        window = startSaver(saver, date);
        ASSERT_NE(window, (HWND)NULL);
        SetCursorPos(originX() + 585, originY() + 430);
        mouseButton(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
        EXPECT_EQ(saver.waitExit(10000), 0u);

        window = startSaver(saver, date);
        ASSERT_NE(window, (HWND)NULL);
        pressKey('A');
        EXPECT_EQ(saver.waitExit(10000), 0u);
    }
}

// Time spans in which the clip window stood on one door, in order.
struct Stay {
    int door;
    DWORD ms;
};

static std::vector<Stay> watchClips(HWND window, size_t count, DWORD timeoutMs)
{
    std::vector<Stay> stays;
    DWORD start = GetTickCount(), since = start;

    waitUntil(timeoutMs, [&] {
        int door = clipDoor(window);
        DWORD now = GetTickCount();

        // Between two clips no window is shown for a moment.
        if (door < 0)
            return false;
        if (stays.empty() || stays.back().door != door) {
            if (!stays.empty())
                stays.back().ms = now - since;
            stays.push_back({door, 0});
            since = now;
        }
        return stays.size() > count;
    });
    if (stays.size() > count)
        stays.pop_back();
    return stays;
}

TEST_F(Calendar, TheClipsOfTheOpenDoorsFollowEachOtherWithAPauseAfterDoorOne)
{
    setLastChecked(3);
    window = startSaver(saver, "2026-12-03 18:00:00");
    ASSERT_NE(window, (HWND)NULL);
    std::vector<Stay> stays = watchClips(window, 7, 20000);
    ASSERT_EQ(stays.size(), 7u);
    for (size_t i = 0; i < stays.size(); i++)
        EXPECT_EQ(stays[i].door, (int)i % 3) << "clip " << i;
    for (size_t i = 0; i < 6; i += 3) {
        EXPECT_GE(stays[i].ms, 1000u) << "door 1, round " << i / 3;
        EXPECT_GE(stays[i].ms, stays[i + 1].ms + 800) << "round " << i / 3;
    }
}

TEST_F(Calendar, AtMidnightBeforeChristmasAllDoorsOpenAndTheClipsStartAgain)
{
    const Picture &plate = installedPicture("plate.bmp");
    // A point where the Twelve-days picture differs from the calendar's.
    const Picture &pud = installedPicture("pud.bmp");
    int x = 320, y = 10;
    while (x < 620 && plate.at(x - centredLeft(plate), y - centredTop(plate)) ==
                          pud.at(x - centredLeft(pud), y - centredTop(pud)))
        x++;
    ASSERT_LT(x, 620);

    setLastChecked(20);
    DWORD started = GetTickCount();
    window = startSaver(saver, "2026-12-24 23:59:55");
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(waitUntil(5000, [] { return Snapshot().doorHasFrame(23); }));
    EXPECT_GT(Snapshot().numberPixels(23), 5);
    ASSERT_TRUE(waitForColour(x, y, plate.at(x - centredLeft(plate), y - centredTop(plate)),
                              20000));
    EXPECT_EQ(clipDoor(window), 0);
    EXPECT_LE(GetTickCount() - started, 18000u);
    pumpMessages(300);
    Snapshot shot;
    for (int door = 0; door < 24; door++) {
        SCOPED_TRACE(door + 1);
        EXPECT_TRUE(shot.doorHasFrame(door));
        if (door > 0 && door != clipDoor(window)) {
            EXPECT_TRUE(doorShowsThumbnail(shot, door));
        }
    }
    EXPECT_TRUE(cornerShows(shot, "clickall.bmp"));
    EXPECT_EQ(value("LastChecked"), 23u);
}

TEST_F(Calendar, APreviewShowsOnlyTheScaledBackgroundAndIgnoresClicks)
{
    setLastChecked(4);
    // Like the display settings' preview box, the parent does not paint
    // over its child: the saver draws only once.
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                                152, 112, NULL, NULL, NULL, NULL);
    char arguments[32];
    HWND preview = NULL;

    ASSERT_NE(parent, (HWND)NULL);
    snprintf(arguments, sizeof arguments, "/p %u", (unsigned)(UINT_PTR)parent);
    std::string clock = "TINDLE_CLOCK=2026-12-10 12:00:00";
    ASSERT_TRUE(saver.start(windowsPath(TINDLE_CLOCK_SCR), arguments, {clock}));
    ASSERT_TRUE(waitUntil(15000, [&] {
        preview = FindWindowExA(parent, NULL, "WindowsScreenSaverClass", NULL);
        return preview != NULL;
    }));
    pumpMessages(1500);
    EXPECT_EQ(clipDoor(preview), -1);

    // Wine shows nothing of a child window that another process draws, so
    // the scaled background cannot be read off the screen here; that there
    // is no clip and that clicks change nothing can.
    POINT corner = {0, 0};
    ClientToScreen(preview, &corner);

    // A click where the corner picture would be, scaled or not, changes
    // nothing.
    for (POINT click : {POINT{140, 105}, POINT{130, 100}}) {
        SetCursorPos(corner.x + click.x, corner.y + click.y);
        mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
        pumpMessages(500);
    }
    EXPECT_EQ(clipDoor(preview), -1);
    EXPECT_EQ(value("LastChecked"), 9u);
    EXPECT_TRUE(saver.running());
    DestroyWindow(parent);
    EXPECT_EQ(saver.waitExit(15000), 0u);
}

TEST_F(Calendar, AMissingPictureIsReportedAndEndsTheSaverWithStatusThree)
{
    std::string installation = makeInstallation("no-theend", {"theend.bmp"});

    EXPECT_EQ(julyStartReport(saver, installation),
              "error, resource unavailable, Cannot load asset " +
                  installedFile(installation, "theend.bmp"));
    EXPECT_EQ(saver.waitExit(10000), 3u);
}

TEST_F(Calendar, OnATrueColourDisplayTheCornerPictureIsLoadedOnlyToBeShown)
{
    freshRegistry(makeInstallation("no-clikhere", {"clikhere.bmp"}));
    window = startSaver(saver, "2026-07-01 12:00:00");
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_TRUE(waitForBackground("theend.bmp"));
    EXPECT_TRUE(saver.running());
}

TEST_F(Calendar, AMissingClipIsReportedOnceAndEndsTheSaver)
{
    std::string broken = makeInstallation("no-clip", {"01.avi"});
    HWND box;

    freshRegistry(broken);
    setLastChecked(5);
    ASSERT_TRUE(saver.start(windowsPath(TINDLE_CLOCK_SCR), "/s",
                            {"TINDLE_CLOCK=2026-12-05 12:00:00"}));
    EXPECT_EQ(waitForErrorBox(saver.pid(), 15000, &box).rfind("error, MCI error: ", 0), 0u);
    pressOk(box);
    EXPECT_EQ(saver.waitExit(10000), MINUS_ONE);
}
