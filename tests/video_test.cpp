// Clips played through MCI in a real topmost window, read back off the
// screen.  The test clip is 72 x 72 and two seconds long: one second with a
// red top half and a green bottom half, then one second of blue.  The door
// clips of the installation are checked against their thumbnails.
#include <gtest/gtest.h>

#include <stdio.h>

#include <mutex>
#include <string>
#include <vector>

#include "harness.h"
#include "image/dib_image.h"
#include "video/video.h"

using namespace harness;

static const int CLIP_X = 100, CLIP_Y = 50, CLIP_SIZE = 72;
static const COLORREF RED = RGB(255, 0, 0), GREEN = RGB(0, 255, 0), BLUE = RGB(0, 0, 255);

// The completion notices that reached the test window.
struct Notice {
    WPARAM flags;
    LPARAM device;
};
static std::vector<Notice> notices;

static LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == MM_MCINOTIFY) {
        notices.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Answers every "Error" box of this process from a thread of its own, since
// the box blocks the thread that reports, and keeps the texts.
class ErrorBoxAnswerer {
public:
    ErrorBoxAnswerer() { thread = CreateThread(NULL, 0, run, this, 0, NULL); }
    ~ErrorBoxAnswerer()
    {
        InterlockedExchange(&stopping, 1);
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    // The texts seen since the last call.
    std::vector<std::string> take()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<std::string> texts;

        texts.swap(seen);
        return texts;
    }

private:
    static DWORD WINAPI run(void *self)
    {
        ErrorBoxAnswerer *answerer = (ErrorBoxAnswerer *)self;
        HWND box;

        while (!InterlockedCompareExchange(&answerer->stopping, 0, 0)) {
            std::string text = waitForErrorBox(GetCurrentProcessId(), 100, &box);
            if (!box)
                continue;
            {
                std::lock_guard<std::mutex> lock(answerer->mutex);
                answerer->seen.push_back(text);
            }
            pressOk(box);
            waitUntil(5000, [box] { return !IsWindow(box); });
        }
        return 0;
    }

    HANDLE thread;
    volatile LONG stopping = 0;
    std::mutex mutex;
    std::vector<std::string> seen;
};

static bool closeTo(COLORREF a, COLORREF b)
{
    // The clip's 15-bit colours may come back with their low bits changed.
    return abs(GetRValue(a) - GetRValue(b)) <= 16 && abs(GetGValue(a) - GetGValue(b)) <= 16 &&
           abs(GetBValue(a) - GetBValue(b)) <= 16;
}

// One topmost test window for all the cases of a suite: hiding or destroying
// a window that Wine's X11 driver has mapped waits two seconds for a window
// manager that Xvfb does not have.
class Clip : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass = {};

        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
        windowClass.lpszClassName = "VideoTestWindow";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(WS_EX_TOPMOST, "VideoTestWindow", "Video test",
                                 WS_POPUP | WS_VISIBLE, 20, 30, 320, 240, NULL, NULL,
                                 windowClass.hInstance, NULL);
        pumpMessages(300);
    }

    static void TearDownTestSuite() { DestroyWindow(window); }

    void SetUp() override
    {
        ASSERT_NE(window, (HWND)NULL);
        notices.clear();
        path = windowsPath(VIDEO_TEST_CLIP);
    }

    void TearDown() override
    {
        closeClip(device, window);
        for (const std::string &text : answerer.take())
            ADD_FAILURE() << "unexpected box: " << text;
    }

    // The screen colour at a point of the clip's 72 x 72 square.
    COLORREF clipPixel(int x, int y)
    {
        POINT point = {CLIP_X + x, CLIP_Y + y};

        ClientToScreen(window, &point);
        return screenPixel(point.x, point.y);
    }

    bool shows(COLORREF top, COLORREF bottom)
    {
        return closeTo(clipPixel(36, 10), top) && closeTo(clipPixel(36, 60), bottom);
    }

    bool waitForNotice(DWORD timeoutMs)
    {
        return waitUntil(timeoutMs, [] { return !notices.empty(); });
    }

    void openAndShow()
    {
        ASSERT_TRUE(openClip(window, &device, path.c_str(), CLIP_X, CLIP_Y));
        ShowWindow(clipWindow(device, window), SW_SHOW);
    }

    ErrorBoxAnswerer answerer;
    static HWND window;
    MCIDEVICEID device = 0;
    std::string path;
};
HWND Clip::window;

TEST_F(Clip, OpensAsAHiddenChildPlacedAtItsSourceSizeAndClosesWithIt)
{
    int width = 0, height = 0;
    HWND display;
    RECT placed;

    ASSERT_TRUE(openClip(window, &device, path.c_str(), CLIP_X, CLIP_Y));
    ASSERT_NE(device, 0u);
    ASSERT_TRUE(clipSourceSize(device, window, &width, &height));
    EXPECT_EQ(width, CLIP_SIZE);
    EXPECT_EQ(height, CLIP_SIZE);

    display = clipWindow(device, window);
    ASSERT_NE(display, (HWND)NULL);
    EXPECT_EQ(GetParent(display), window);
    EXPECT_TRUE(GetWindowLongA(display, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(IsWindowVisible(display));
    GetWindowRect(display, &placed);
    MapWindowPoints(HWND_DESKTOP, window, (POINT *)&placed, 2);
    EXPECT_EQ(placed.left, CLIP_X);
    EXPECT_EQ(placed.top, CLIP_Y);
    EXPECT_EQ(placed.right - placed.left, CLIP_SIZE);
    EXPECT_EQ(placed.bottom - placed.top, CLIP_SIZE);

    EXPECT_TRUE(closeClip(device, window));
    device = 0;
    EXPECT_FALSE(IsWindow(display));
}

TEST_F(Clip, PlaysToTheEndWithANoticeAndAgainFromTheFirstFrame)
{
    DWORD started, returned;

    openAndShow();
    started = GetTickCount();
    ASSERT_TRUE(playClip(device, window));
    returned = GetTickCount();
    // Playing does not wait for the clip.
    EXPECT_LT(returned - started, 500u);
    EXPECT_TRUE(waitUntil(900, [&] { return shows(RED, GREEN); }))
        << std::hex << clipPixel(36, 10) << " " << clipPixel(36, 60);
    ASSERT_TRUE(waitForNotice(6000));
    EXPECT_GE(GetTickCount() - started, 1500u);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].flags, (WPARAM)MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(notices[0].device, (LPARAM)device);
    // The last frame stays on screen.
    pumpMessages(200);
    EXPECT_TRUE(shows(BLUE, BLUE)) << std::hex << clipPixel(36, 10);

    notices.clear();
    started = GetTickCount();
    ASSERT_TRUE(playClip(device, window));
    EXPECT_TRUE(waitUntil(800, [&] { return shows(RED, GREEN); }))
        << std::hex << clipPixel(36, 10) << " " << clipPixel(36, 60);
    ASSERT_TRUE(waitForNotice(6000));
    EXPECT_GE(GetTickCount() - started, 1500u);
    EXPECT_EQ(notices[0].flags, (WPARAM)MCI_NOTIFY_SUCCESSFUL);
}

TEST_F(Clip, StoppingOrClosingAPlayingClipLeavesNoNotice)
{
    MCI_STATUS_PARMS mode = {};

    openAndShow();
    ASSERT_TRUE(playClip(device, window));
    pumpMessages(300);
    EXPECT_TRUE(stopClip(device, window));
    mode.dwItem = MCI_STATUS_MODE;
    ASSERT_EQ(mciSendCommandA(device, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, (DWORD_PTR)&mode), 0u);
    EXPECT_EQ(mode.dwReturn, (DWORD_PTR)MCI_MODE_STOP);
    // Well past the clip's end the first second's picture is still shown.
    pumpMessages(2500);
    EXPECT_TRUE(shows(RED, GREEN)) << std::hex << clipPixel(36, 10);
    EXPECT_TRUE(notices.empty());

    ASSERT_TRUE(playClip(device, window));
    pumpMessages(300);
    EXPECT_TRUE(closeClip(device, window));
    device = 0;
    pumpMessages(2500);
    EXPECT_TRUE(notices.empty());
}

TEST_F(Clip, ClosingNoDeviceSendsNothing)
{
    MSG quit;

    EXPECT_TRUE(closeClip(0, window));
    pumpMessages(300);
    EXPECT_FALSE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(Clip, AMissingFileIsReportedAndEndsTheMessageLoop)
{
    MCIDEVICEID stored = 1234;
    std::vector<std::string> texts;
    MSG quit;

    EXPECT_FALSE(openClip(window, &stored, "Z:\\no\\such\\directory\\07.avi", CLIP_X, CLIP_Y));
    EXPECT_EQ(stored, 1234u);
    // The box is modal: it has been answered by the time the open returns.
    texts = answerer.take();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("error, MCI error: ", 0), 0u) << texts[0];
    EXPECT_GT(texts[0].size(), strlen("error, MCI error: ")) << "no text from the library";
    ASSERT_TRUE(PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ((int)quit.wParam, -1);
}

// A 72 x 72 square as 0x00RRGGBB, top row first, of what draw puts into a
// 32-bit bitmap at (0, 0).
template <class Draw> static std::vector<DWORD> square(Draw draw)
{
    BITMAPINFO info = {};
    HDC memory = CreateCompatibleDC(NULL);
    void *bits;
    HBITMAP bitmap;
    HGDIOBJ previous;
    std::vector<DWORD> pixels;

    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = CLIP_SIZE;
    info.bmiHeader.biHeight = -CLIP_SIZE;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    previous = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    pixels.assign((DWORD *)bits, (DWORD *)bits + CLIP_SIZE * CLIP_SIZE);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// Where two squares differ: "" when they are the same.
static std::string difference(const std::vector<DWORD> &shown, const std::vector<DWORD> &wanted)
{
    int count = 0, first = -1;
    char text[120] = "";

    for (int i = 0; i < CLIP_SIZE * CLIP_SIZE; i++)
        if (shown[i] != wanted[i] && count++ == 0)
            first = i;
    if (count)
        snprintf(text, sizeof text, "%d pixels differ, the first at (%d, %d): %06lx for %06lx",
                 count, first % CLIP_SIZE, first / CLIP_SIZE, shown[first], wanted[first]);
    return text;
}

class DoorClip : public Clip, public ::testing::WithParamInterface<int> {};

// Each installed door clip is 72 x 72, and once its window is shown the
// screen holds exactly the door's thumbnail as the calendar draws it: an
// opened clip stands at its first frame.
TEST_P(DoorClip, IsShownAtItsSizeStartingWithItsThumbnail)
{
    int door = GetParam(), width = 0, height = 0;
    char clip[MAX_PATH], thumbnailName[40];
    std::vector<DWORD> thumbnail;
    std::string shown;
    RECT placed;

    snprintf(clip, sizeof clip, "%s/%02d.avi", TINDLE_INSTALL_DIR, door);
    path = windowsPath(clip);
    ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path << " is missing";
    snprintf(thumbnailName, sizeof thumbnailName, "DIB_FIRSTFRAMES%d", door - 1);
    resourceInstance = GetModuleHandleA(NULL);
    DibImage image = DibImage::fromResource("DIB", thumbnailName, resourceInstance);
    ASSERT_FALSE(image.isEmpty()) << thumbnailName << " is missing";
    thumbnail = square([&](HDC memory) { drawImage(image, memory, 0, 0); });

    openAndShow();
    ASSERT_TRUE(clipSourceSize(device, window, &width, &height));
    EXPECT_EQ(width, CLIP_SIZE);
    EXPECT_EQ(height, CLIP_SIZE);
    GetWindowRect(clipWindow(device, window), &placed);
    auto fromScreen = [&](HDC memory) {
        HDC screen = GetDC(NULL);

        BitBlt(memory, 0, 0, CLIP_SIZE, CLIP_SIZE, screen, placed.left, placed.top, SRCCOPY);
        ReleaseDC(NULL, screen);
    };
    waitUntil(2000, [&] {
        shown = difference(square(fromScreen), thumbnail);
        return shown.empty();
    });
    EXPECT_TRUE(shown.empty()) << path << ": " << shown;
}

INSTANTIATE_TEST_SUITE_P(Installed, DoorClip, ::testing::Range(1, 25));
