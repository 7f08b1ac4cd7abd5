// The host: mouse movement in-process, and a fatal report under protection.
#include <gtest/gtest.h>

#include <process.h>

#include "host/host.h"
#include "host/password.h"
#include "reported.h"
#include "support/report.h"

static const char DESKTOP[] = "Control Panel\\Desktop";

// This program started by FatalReport below: the provider beside it loaded,
// then a fatal report.
static const bool isChild = strstr(GetCommandLineA(), " --fatal-under-protection") && [] {
    SetDllDirectoryA(PROVIDER_DIR);
    loadPasswordProvider();
    reportError(ERR_FATAL, "provider %s", verifyEntry != NULL ? "loaded" : "missing");
    return true;
}();

// DefaultSaverProc for a window of the test's own; a posted WM_CLOSE is the
// request to close, and a refused close remembers the cursor position.
static HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 9, 9, NULL, NULL, NULL, NULL);

static bool closesAt(int x, int y, UINT message = WM_MOUSEMOVE)
{
    MSG close;

    SetCursorPos(x, y);
    verifyInProgress = message == WM_CLOSE;
    DefaultSaverProc(window, message, 0, 0);
    verifyInProgress = 0;
    return PeekMessageA(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE);
}

// The core is linked into this program, so its GetCursorPos is this
// program's import; pointed elsewhere, the reading fails with a stray point.
extern BOOL(WINAPI *importedGetCursorPos)(POINT *) __asm__("__imp__GetCursorPos@4");

static BOOL WINAPI failingGetCursorPos(POINT *where)
{
    where->x = where->y = 10000;
    return FALSE;
}

TEST(Host, MovementBeyondFourPixelsClosesAndAnUnreadableCursorIsNone)
{
    BOOL(WINAPI *original)(POINT *) = importedGetCursorPos;
    DWORD access;

    closesAt(400, 300, WM_CLOSE);
    EXPECT_FALSE(closesAt(402, 302));
    // Slow drift adds up; the close remembers where it was asked for.
    EXPECT_TRUE(closesAt(403, 302));
    EXPECT_FALSE(closesAt(403, 302));
    VirtualProtect(&importedGetCursorPos, sizeof original, PAGE_READWRITE, &access);
    importedGetCursorPos = failingGetCursorPos;
    EXPECT_FALSE(closesAt(403, 302)) << "unreadable";
    closesAt(403, 302, WM_CLOSE);
    importedGetCursorPos = original;
    EXPECT_FALSE(closesAt(403, 302)) << "the position was not kept";
}

// The provider tells the system that a saver runs; a fatal end must take
// that back.  A process reads that flag only once, here after the child.
TEST(Host, AFatalReportUnderProtectionEndsWithThreeAndNoSaverRunning)
{
    DWORD on = 1, status = 0;
    BOOL running = TRUE;

    RegSetKeyValueA(HKEY_CURRENT_USER, DESKTOP, "ScreenSaveUsePassword", REG_DWORD, &on, sizeof on);
    HANDLE child = (HANDLE)_spawnl(_P_NOWAIT, _pgmptr, _pgmptr, "--fatal-under-protection", NULL);
    std::string box = child != INVALID_HANDLE_VALUE ? answerBox(GetProcessId(child), 15000) : "";
    RegDeleteKeyValueA(HKEY_CURRENT_USER, DESKTOP, "ScreenSaveUsePassword");
    EXPECT_EQ(box, "error, provider loaded");
    EXPECT_EQ(WaitForSingleObject(child, 15000), WAIT_OBJECT_0);
    GetExitCodeProcess(child, &status);
    EXPECT_EQ(status, 3u);
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    EXPECT_FALSE(running);
}
