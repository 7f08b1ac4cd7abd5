// The host and its clips, played in a real window and read off the screen.  The test clip is
// 72 x 72: 1 s of red over green, 1 s of blue.
#include <process.h>

#include <regex>
#include <vector>

#include "calendar/calendar_state.h"
#include "host/host.h"
#include "harness.h"
#include "host/password.h"
#include "reported.h"
#include "support/report.h"
#include "video/video.h"

static const int X = 100, Y = 50, EDGE = 72;
static const COLORREF RED = RGB(255, 0, 0), GREEN = RGB(0, 255, 0), BLUE = RGB(0, 0, 255);
static std::vector<std::pair<WPARAM, LPARAM>> notices;

using harness::waitUntil;

static LRESULT CALLBACK keepNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MM_MCINOTIFY)
        notices.push_back({wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

// One window for all: Wine waits 2 s for a window manager to hide or destroy one.
static HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 30,
                                     400, 240, NULL, NULL, NULL, NULL);
static const LONG_PTR keeping = SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)keepNotices);

// Whether the clip, played twice its size at (X, Y), shows top over bottom in its 15-bit colours,
// read at its first and last pixels, so that a clip out of place or short of a row is seen.
static bool shows(COLORREF top, COLORREF bottom)
{
    HDC dc = GetDC(window);
    bool seen = ((GetPixel(dc, X, Y) ^ top) & 0xE0E0E0) == 0 &&
                ((GetPixel(dc, X + 2 * EDGE - 1, Y + 2 * EDGE - 1) ^ bottom) & 0xE0E0E0) == 0;
    ReleaseDC(window, dc);
    return seen;
}

TEST(Clip, PlaysToItsNoticeAgainFromTheStartAndStopsWithoutOne)
{
    MCIDEVICEID clip = 0;
    EXPECT_EQ(reported([&] {
                  ASSERT_TRUE(openClip(window, &clip, VIDEO_TEST_CLIP, X, Y, 2));
                  HWND display = clipWindow(clip, window);
                  EXPECT_FALSE(IsWindowVisible(display));
                  ShowWindow(display, SW_SHOW);
                  ASSERT_TRUE(playClip(clip, window));
                  EXPECT_TRUE(waitUntil(900, [] { return shows(RED, GREEN); }));
                  ASSERT_TRUE(waitUntil(6000, [] { return !notices.empty(); }));
                  EXPECT_EQ(notices, (decltype(notices){{MCI_NOTIFY_SUCCESSFUL, (LPARAM)clip}}));
                  EXPECT_TRUE(waitUntil(200, [] { return shows(BLUE, BLUE); }))
                      << "the last frame stays";
                  notices.clear();
                  ASSERT_TRUE(playClip(clip, window));
                  EXPECT_TRUE(waitUntil(900, [] { return shows(RED, GREEN); })) << "from the start";
                  EXPECT_TRUE(stopClip(clip, window) &&
                              !waitUntil(1200, [] { return !notices.empty(); }));
                  EXPECT_TRUE(shows(RED, GREEN)) << "a stopped clip keeps its frame";
                  EXPECT_TRUE(closeClip(clip, window));
                  EXPECT_FALSE(IsWindow(display));
                  EXPECT_TRUE(closeClip(0, window));
              }),
              "");
}

// A failing MCI command, also while a door clip stops, leaves WM_QUIT(-1), which a refused password
// check meanwhile (IsWindow answers 0 for the question) keeps.
TEST(ErrorBox, ShowsEachReportAndAFailedClipCommandEndsTheLoop)
{
    DoorSlot doors[DOOR_COUNT] = {};
    CalendarState state = {};
    state.window = window;
    state.clipDevice = 4321; // never opened
    state.doors = doors;
    MCIDEVICEID stored = 1234;
    MSG quit = {};
    std::string text = reported([] { reportError(28, "%s", std::string(3000, 'x').c_str()); });
    EXPECT_TRUE(std::regex_match(text, std::regex("internal error, out of memory, x{992}")))
        << text;
    for (int stop = 0; stop < 2; stop++) {
        if (stop)
            text = reported([&] { stopDoorClip(&state); });
        else
            text = reported([&] { openClip(window, &stored, "Z:\\no.avi", 0, 0, 1); });
        EXPECT_TRUE(std::regex_match(text, std::regex("(error, MCI error: .+\n?)+"))) << text;
        verifyEntry = (VerifyScreenSavePwdEntry)IsWindow;
        lastVerifyTime = ~0u;
        EXPECT_FALSE(verifyPassword(window));
        verifyEntry = NULL;
        EXPECT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) &&
                    (int)quit.wParam == -1)
            << stop;
    }
    EXPECT_EQ(stored, 1234u);
}

// This program as the child of the fatal report's test below.
static const bool isChild = strstr(GetCommandLineA(), " --fatal-under-protection") && [] {
    SetDllDirectoryA(PROVIDER_DIR);
    loadPasswordProvider();
    reported([] { reportError(ERR_FATAL, "provider %s", verifyEntry ? "loaded" : "missing"); });
    return true;
}();

TEST(Host, PreviewLetterWindowHandleWrapAndQuietPeriod)
{
    const char *rest = NULL;
    EXPECT_TRUE(readSaverMode("L", &rest) == MODE_PREVIEW &&
                readSaverMode(" -/l  12", &rest) == MODE_PREVIEW && !strcmp(rest, "12"));
    EXPECT_EQ(parseWindowHandle("4294967303x"), (HWND)7) << "2^32 + 7 wraps in unsigned 32 bits";
    // 200 ms from the last dialog (all ones: none yet), across the tick wrap.
    EXPECT_TRUE(inQuietPeriod(1199, 1000) && inQuietPeriod(50, 0xFFFFFFF0u));
    EXPECT_FALSE(inQuietPeriod(1200, 1000) || inQuietPeriod(300, 0xFFFFFFF0u) ||
                 inQuietPeriod(5, ~0u));
}

// A refused close request (verifyInProgress) remembers the cursor.
static bool closesAt(int x, int y, UINT message = WM_MOUSEMOVE)
{
    MSG close;
    SetCursorPos(x, y);
    verifyInProgress = message == WM_CLOSE;
    DefaultSaverProc(window, message, 0, 0);
    verifyInProgress = 0;
    return PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE);
}

// The core's GetCursorPos is this program's import.
extern BOOL(WINAPI *importedGetCursorPos)(POINT *) __asm__("__imp__GetCursorPos@4");

static BOOL WINAPI failingGetCursorPos(POINT *where)
{
    where->x = where->y = 10000;
    return FALSE;
}

TEST(Host, MovementBeyondFourPixelsClosesAndAnUnreadableCursorIsNone)
{
    // Unreadable, as when another desktop has the input.
    auto original = patchImport(importedGetCursorPos, failingGetCursorPos);
    EXPECT_FALSE(closesAt(403, 302) || closesAt(403, 302, WM_CLOSE)) << "unreadable";
    patchImport(importedGetCursorPos, original);
    EXPECT_FALSE(closesAt(20, 302)) << "the first reading only sets the position";
    closesAt(400, 300, WM_CLOSE);
    // Slow drift adds up; the close remembers where it was asked for.
    EXPECT_TRUE(!closesAt(402, 302) && closesAt(403, 302) && !closesAt(403, 302));
    patchImport(importedGetCursorPos, failingGetCursorPos);
    EXPECT_FALSE(closesAt(403, 302) || closesAt(403, 302, WM_CLOSE)) << "unreadable";
    patchImport(importedGetCursorPos, original);
    EXPECT_FALSE(closesAt(403, 302)) << "the position was not kept";
}

// The provider tells the system that a saver runs; a fatal end must take that back.  A process
// reads that flag only once, here after the child.
TEST(Host, AFatalReportUnderProtectionEndsWithThreeAndNoSaverRunning)
{
    DWORD on = 1, status = 0, running = TRUE;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", REG_DWORD,
                    &on, 4);
    HANDLE child = (HANDLE)_spawnl(_P_NOWAIT, _pgmptr, _pgmptr, "--fatal-under-protection", NULL);
    EXPECT_TRUE(WaitForSingleObject(child, 15000) == WAIT_OBJECT_0 &&
                GetExitCodeProcess(child, &status) && status == 3)
        << status;
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
    EXPECT_EQ(readFile("reported.txt"), "error, provider loaded\n");
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    EXPECT_FALSE(running);
}
