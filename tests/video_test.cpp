// Clips played through MCI in a real topmost window, read back off the
// screen.  The test clip is 72 x 72 and two seconds long: one second with a
// red top half and a green bottom half, then one second of blue.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "harness.h"
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

class Clip : public ::testing::Test {
protected:
    void SetUp() override
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
        ASSERT_NE(window, (HWND)NULL);
        pumpMessages(300);
        notices.clear();
        path = windowsPath(VIDEO_TEST_CLIP);
    }

    void TearDown() override
    {
        closeClip(device, window);
        DestroyWindow(window);
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
    HWND window = NULL;
    MCIDEVICEID device = 0;
    std::string path;
};

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
