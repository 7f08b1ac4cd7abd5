// The saver host as the desktop sees it: command lines, the full-screen
// window and its closing, the preview child and the error box.
#include <gtest/gtest.h>

#include "calendar_fixture.h"
#include "harness.h"

using namespace harness;

static const DWORD MINUS_ONE = 0xFFFFFFFF;

class Host : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Outside the calendar's seasons the saver closes on any input; the
        // saver's clock variant picks such a day, and every saver started
        // from here inherits it.
        SetEnvironmentVariableA("TINDLE_CLOCK", "2026-07-01 12:00:00");
        calendar::freshRegistry(calendar::makeInstallation("host"));
        // A known cursor position away from the screen's edges.
        SetCursorPos(400, 300);
        pumpMessages(200);
    }

    HWND startFullScreen(const char *arguments)
    {
        if (!saver.start(windowsPath(TINDLE_CLOCK_SCR), arguments))
            return NULL;
        return waitForWindow(saver.pid(), "WindowsScreenSaverClass", "Screen Saver", 15000);
    }

    // The saver is still running a second after the input.
    bool stillRunningAfterInput()
    {
        pumpMessages(1000);
        return saver.running();
    }

    Child saver;
};

TEST_F(Host, UnknownModesEndWithMinusOneAndShowNothing)
{
    for (const char *arguments : {"/x", "?", "/\ts", "/p:1234"}) {
        SCOPED_TRACE(arguments);
        Child child;
        ASSERT_TRUE(child.start(windowsPath(TINDLE_CLOCK_SCR), arguments));
        EXPECT_EQ(child.waitExit(15000), MINUS_ONE);
        EXPECT_TRUE(windowsOf(child.pid()).empty());
    }
}

TEST_F(Host, PreviewOfADeadWindowEndsWithMinusOne)
{
    HWND gone = CreateWindowA("STATIC", "gone", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    char arguments[32];

    ASSERT_NE(gone, (HWND)NULL);
    DestroyWindow(gone);
    wsprintfA(arguments, "/p %u", (unsigned)(UINT_PTR)gone);
    ASSERT_TRUE(saver.start(windowsPath(TINDLE_CLOCK_SCR), arguments));
    EXPECT_EQ(saver.waitExit(15000), MINUS_ONE);
}

TEST_F(Host, PreviewFillsTheParentsClientAreaAndNoInputClosesIt)
{
    HWND parent = CreateWindowA("STATIC", "Display Properties", WS_OVERLAPPED | WS_VISIBLE, 100,
                                100, 300, 250, NULL, NULL, NULL, NULL);
    RECT client, child;
    char arguments[32];
    HWND preview = NULL;

    ASSERT_NE(parent, (HWND)NULL);
    wsprintfA(arguments, "/p %u", (unsigned)(UINT_PTR)parent);
    ASSERT_TRUE(saver.start(windowsPath(TINDLE_CLOCK_SCR), arguments));
    ASSERT_TRUE(waitUntil(15000, [&] {
        preview = FindWindowExA(parent, NULL, "WindowsScreenSaverClass", NULL);
        return preview != NULL;
    }));
    EXPECT_EQ(windowTitle(preview), "Preview");
    EXPECT_EQ((DWORD)GetWindowLongA(preview, GWL_STYLE) & 0xFFFF0000u, 0x52000000u);
    GetClientRect(parent, &client);
    GetWindowRect(preview, &child);
    MapWindowPoints(HWND_DESKTOP, parent, (POINT *)&child, 2);
    EXPECT_EQ(child.left, 0);
    EXPECT_EQ(child.top, 0);
    EXPECT_EQ(child.right, client.right);
    EXPECT_EQ(child.bottom, client.bottom);

    SetForegroundWindow(parent);
    pressKey('Q');
    moveMouseBy(40, 40);
    leftClickAt(150, 150);
    EXPECT_TRUE(stillRunningAfterInput());

    // The desktop ends a preview by destroying its parent.
    DestroyWindow(parent);
    EXPECT_EQ(saver.waitExit(15000), 0u);
}

TEST_F(Host, FullScreenFormsStartATopmostPopupOverTheWholeScreen)
{
    for (const char *arguments : {"/s", "-S", " / s extra"}) {
        SCOPED_TRACE(arguments);
        HWND window = startFullScreen(arguments);
        RECT area;

        ASSERT_NE(window, (HWND)NULL);
        EXPECT_EQ((DWORD)GetWindowLongA(window, GWL_STYLE), 0x96000000u);
        EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        GetWindowRect(window, &area);
        EXPECT_EQ(area.left, 0);
        EXPECT_EQ(area.top, 0);
        EXPECT_EQ(area.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(area.bottom, GetSystemMetrics(SM_CYSCREEN));
        // The title never changes.
        SendMessageA(window, WM_SETTEXT, 0, (LPARAM) "changed");
        EXPECT_EQ(windowTitle(window), "Screen Saver");
        pressKey(VK_SHIFT);
        EXPECT_EQ(saver.waitExit(10000), 0u);
    }
}

TEST_F(Host, AKeyOrAButtonPressClosesTheSaver)
{
    ASSERT_NE(startFullScreen("/s"), (HWND)NULL);
    pressKey('A');
    EXPECT_EQ(saver.waitExit(10000), 0u);

    for (DWORD down : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MIDDLEDOWN}) {
        ASSERT_NE(startFullScreen("/s"), (HWND)NULL);
        mouseButton(down, down << 1);
        EXPECT_EQ(saver.waitExit(10000), 0u);
    }
}

TEST_F(Host, MouseMovementClosesOnlyBeyondFourPixels)
{
    ASSERT_NE(startFullScreen("/s"), (HWND)NULL);
    moveMouseBy(2, 2);
    EXPECT_TRUE(stillRunningAfterInput());
    // Slow drift adds up: one more pixel makes five from where it started.
    moveMouseBy(1, 0);
    EXPECT_EQ(saver.waitExit(10000), 0u);

    ASSERT_NE(startFullScreen("/s"), (HWND)NULL);
    moveMouseBy(0, -5);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}

TEST_F(Host, ASecondFullScreenStartBringsTheFirstToTheFront)
{
    HWND first = startFullScreen("/s");
    Child second;

    ASSERT_NE(first, (HWND)NULL);
    ASSERT_TRUE(second.start(windowsPath(TINDLE_CLOCK_SCR), "/s"));
    EXPECT_EQ(second.waitExit(15000), 0u);
    EXPECT_TRUE(saver.running());
    EXPECT_EQ(GetForegroundWindow(), first);
    pressKey(VK_SPACE);
    EXPECT_EQ(saver.waitExit(10000), 0u);
}

TEST(Report, AFatalReportShowsTheErrorBoxAndEndsWithStatusThree)
{
    Child probe;
    HWND box;

    ASSERT_TRUE(probe.start(windowsPath(REPORT_PROBE), "17 Cannot load asset C:\\x.bmp"));
    EXPECT_EQ(waitForErrorBox(probe.pid(), 15000, &box),
              "error, resource unavailable, Cannot load asset C:\\x.bmp");
    ASSERT_NE(box, (HWND)NULL);
    // System-modal: the box stays on top of everything.
    EXPECT_TRUE(GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    pressOk(box);
    EXPECT_EQ(probe.waitExit(10000), 3u);
}

TEST(Report, APlainReportReturnsToTheCaller)
{
    Child probe;
    HWND box;

    ASSERT_TRUE(probe.start(windowsPath(REPORT_PROBE), "0 just saying"));
    EXPECT_EQ(waitForErrorBox(probe.pid(), 15000, &box), "error, just saying");
    pressOk(box);
    EXPECT_EQ(probe.waitExit(10000), 42u);
}
