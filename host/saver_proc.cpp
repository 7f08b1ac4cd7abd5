#include <windows.h>

#include "calendar/calendar.h"
#include "host/host.h"
#include "host/password.h"

// Where mouse movement is measured from; none until the cursor could be read.
static POINT savedCursorPos;
static bool cursorPosKnown;
static const unsigned mouseThreshold = 4;
int passwordAccepted;
int verifyInProgress;

typedef HIMC(WINAPI *ImmAssociateContextEntry)(HWND, HIMC);
static HMODULE immLibrary;
static ImmAssociateContextEntry immAssociateContext;
static HIMC savedInputContext;

// The cursor position, leaving *where alone when it cannot be read, as when
// another desktop (a locked workstation) has the input: that is no movement.
static bool readCursor(POINT *where)
{
    POINT now;

    if (!GetCursorPos(&now))
        return false;
    *where = now;
    return true;
}

static void rememberCursor()
{
    if (readCursor(&savedCursorPos))
        cursorPosKnown = true;
}

// The input method is detached from the saver window while it runs, but only
// when some other part of the process has already loaded it.
static void detachInputMethod(HWND window)
{
    immLibrary = GetModuleHandleA("IMM32.DLL");
    if (immLibrary == NULL)
        return;
    immAssociateContext =
        (ImmAssociateContextEntry)(void *)GetProcAddress(immLibrary, "ImmAssociateContext");
    if (immAssociateContext != NULL)
        savedInputContext = immAssociateContext(window, NULL);
}

LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        detachInputMethod(window);
        rememberCursor();
        if (!isPreview)
            SetCursor(NULL);
        break;
    case WM_DESTROY:
        if (immLibrary != NULL && immAssociateContext != NULL && savedInputContext != NULL)
            immAssociateContext(window, savedInputContext);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (passwordAccepted)
            return DefWindowProcA(window, message, wParam, lParam);
        if (!isPreview)
            SetCursor(NULL);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (isPreview) {
            HWND parent = GetParent(window);

            if (parent != NULL && IsWindow(parent))
                PostMessageA(parent, message, (WPARAM)parent, lParam);
            return 1;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (passwordAccepted)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if (!isPreview &&
            (wParam == SC_SCREENSAVE || wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW))
            return 0;
        break;
    case WM_TIMER:
        if (passwordAccepted)
            return 0;
        Sleep(0);
        break;
    case WM_DISPLAYCHANGE:
        // A monitor came, went, moved or changed its size: the window covers
        // them all again before the calendar finds its place on the primary.
        if (!isPreview) {
            RECT all = virtualScreen();

            SetWindowPos(window, NULL, all.left, all.top, all.right - all.left,
                         all.bottom - all.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        break;
    }
    return CalendarProc(window, message, wParam, lParam);
}

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isPreview || passwordAccepted)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        if (verifyPassword(window))
            return DefWindowProcA(window, message, wParam, lParam);
        rememberCursor();
        return 0;
    case MSG_VERIFY_PASSWORD:
        return verifyEntry != NULL ? verifyEntry(window) : 1;
    }
    if (verifyInProgress)
        return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam)
            SetCursor(NULL);
        break;
    case WM_SETCURSOR:
        SetCursor(NULL);
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_MOUSEMOVE: {
        POINT now;
        unsigned distance;

        // Without a position to measure from, this one becomes it.
        if (!cursorPosKnown) {
            rememberCursor();
            break;
        }
        if (!readCursor(&now))
            break;
        distance = (unsigned)(abs(now.x - savedCursorPos.x) + abs(now.y - savedCursorPos.y));
        if (distance > mouseThreshold) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            savedCursorPos = now;
        }
        break;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
