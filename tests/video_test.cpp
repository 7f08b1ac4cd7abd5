// Clips played through MCI in a real window and read off the screen, and the
// "Error" box.  The test clip is 72 x 72: 1 s of red over green, 1 s of blue.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "calendar/calendar_state.h"
#include "image/dib_image.h"
#include "reported.h"
#include "support/report.h"
#include "video/video.h"

static const int X = 100, Y = 50, EDGE = 72;
// As 0x00RRGGBB, which the clip's 15-bit colours keep in their top bits.
static const DWORD RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF;
static std::vector<std::pair<WPARAM, LPARAM>> notices;

// One window for every case: Wine waits two seconds for a window manager
// before it hides or destroys a window.
static HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 20, 30,
                                     400, 240, NULL, NULL, NULL, NULL);

// Handles messages, keeping clip notices, until condition or timeoutMs.
template <class Condition> static bool waitUntil(DWORD timeoutMs, Condition condition)
{
    MSG message;

    for (DWORD start = GetTickCount(); !condition(); Sleep(10)) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            message.message == MM_MCINOTIFY ? notices.push_back({message.wParam, message.lParam})
                                            : (void)DispatchMessageA(&message);
    }
    return true;
}

// The 72 x 72 square of the screen at client point (X, y), as 0x00RRGGBB.
static std::vector<DWORD> grab(int y)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, EDGE, -EDGE, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HDC screen = GetDC(window), memory = CreateCompatibleDC(screen);
    void *bits;
    HGDIOBJ previous = SelectObject(memory, CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0));

    BitBlt(memory, 0, 0, EDGE, EDGE, screen, X, y, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels((DWORD *)bits, (DWORD *)bits + EDGE * EDGE);
    DeleteObject(SelectObject(memory, previous));
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

// Whether the clip at (X, Y) shows top over bottom.
static bool shows(DWORD top, DWORD bottom)
{
    std::vector<DWORD> pixels = grab(Y);

    return ((pixels[10 * EDGE + 36] ^ top) & 0xE0E0E0) == 0 && ((pixels[60 * EDGE + 36] ^ bottom) & 0xE0E0E0) == 0;
}

// The test clip placed, played to its notice, again from the start and stopped;
// each door clip, once shown, is its thumbnail.  reported() answers any box.
TEST(Clip, PlaysToItsNoticeStopsWithoutOneAndEveryDoorStartsWithItsThumbnail)
{
    EXPECT_EQ(reported([] {
                  MCIDEVICEID clip = 0;
                  RECT placed;
                  HDC dc = GetDC(window);

                  ASSERT_TRUE(openClip(window, &clip, VIDEO_TEST_CLIP, X, Y));
                  HWND display = clipWindow(clip, window);
                  EXPECT_FALSE(IsWindowVisible(display));
                  GetWindowRect(display, &placed);
                  MapWindowPoints(HWND_DESKTOP, window, (POINT *)&placed, 2);
                  EXPECT_EQ(std::vector<LONG>({placed.left, placed.top, placed.right, placed.bottom}),
                            std::vector<LONG>({X, Y, X + EDGE, Y + EDGE}));
                  ShowWindow(display, SW_SHOW);
                  ASSERT_TRUE(playClip(clip, window));
                  EXPECT_TRUE(waitUntil(900, [] { return shows(RED, GREEN); }));
                  ASSERT_TRUE(waitUntil(6000, [] { return !notices.empty(); }));
                  EXPECT_EQ(notices, (decltype(notices){{MCI_NOTIFY_SUCCESSFUL, (LPARAM)clip}}));
                  EXPECT_TRUE(waitUntil(200, [] { return shows(BLUE, BLUE); })) << "the last frame stays";
                  notices.clear();
                  ASSERT_TRUE(playClip(clip, window));
                  EXPECT_TRUE(waitUntil(900, [] { return shows(RED, GREEN); })) << "from the start";
                  EXPECT_TRUE(stopClip(clip, window));
                  waitUntil(1200, [] { return false; });
                  EXPECT_TRUE(notices.empty());
                  EXPECT_TRUE(shows(RED, GREEN)) << "a stopped clip keeps its frame";
                  EXPECT_TRUE(closeClip(clip, window));
                  EXPECT_FALSE(IsWindow(display));
                  EXPECT_TRUE(closeClip(0, window));
                  resourceInstance = GetModuleHandleA(NULL);
                  for (int door = 1; door <= DOOR_COUNT; door++) {
                      std::string path = TINDLE_INSTALL_DIR "/" + std::to_string(door / 10) + std::to_string(door % 10) + ".avi";
                      drawImage(DibImage::fromResource("DIB", ("DIB_FIRSTFRAMES" + std::to_string(door - 1)).c_str(),
                                                       resourceInstance),
                                dc, X, Y + 100);
                      ASSERT_TRUE(openClip(window, &clip, path.c_str(), X, Y)) << path;
                      ShowWindow(clipWindow(clip, window), SW_SHOW);
                      EXPECT_TRUE(waitUntil(2000, [] { return grab(Y) == grab(Y + 100); })) << path;
                      closeClip(clip, window);
                  }
                  ReleaseDC(window, dc);
              }),
              "");
}

// What the box shows for a report, and that a failing MCI command, also one
// while a door clip stops, leaves the quit message with -1 for the loop.
TEST(ErrorBox, ShowsEachReportAndAFailedClipCommandEndsTheLoop)
{
    DoorSlot doors[DOOR_COUNT] = {};
    CalendarState state = {0, window, NULL, NULL, NULL, 4321 /* never opened */, 0, {}, 0, doors, 0, NULL};
    MCIDEVICEID stored = 1234;
    MSG quit = {};

    std::string text = reported([] { reportError(28, "%s", std::string(3000, 'x').c_str()); });
    EXPECT_TRUE(std::regex_match(text, std::regex("internal error, out of memory, x{992}"))) << text;
    for (int stop = 0; stop < 2; stop++) {
        text = reported([&] { stop ? stopDoorClip(&state) : (void)openClip(window, &stored, "Z:\\no\\07.avi", X, Y); });
        EXPECT_TRUE(std::regex_match(text, std::regex("(error, MCI error: .+\n?)+"))) << text;
        EXPECT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) && (int)quit.wParam == -1) << stop;
    }
    EXPECT_EQ(stored, 1234u);
}
