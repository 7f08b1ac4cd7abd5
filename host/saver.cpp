#include <windows.h>

#include "host/host.h"
#include "host/password.h"

int isPreview;
HWND saverWindow;

static const char saverClassName[] = "WindowsScreenSaverClass";
static const char saverTitle[] = "Screen Saver";

// Exit status when there is no window and so no quit code.
enum { NO_SAVER_WINDOW = -1 };

RECT virtualScreen()
{
    RECT all;

    all.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    all.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    all.right = all.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    all.bottom = all.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return all;
}

int runSaver(HWND parent)
{
    WNDCLASSA windowClass = {};
    RECT area;
    DWORD exStyle, style;
    const char *title;
    MSG message;

    windowClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = hostInstance;
    windowClass.hIcon = LoadIconA(hostInstance, MAKEINTRESOURCEA(100));
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = saverClassName;

    if (parent != NULL) {
        GetClientRect(parent, &area);
        isPreview = 1;
        exStyle = 0;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        title = "Preview";
    } else {
        HWND running;

        area = virtualScreen();
        running = FindWindowA(saverClassName, saverTitle);
        if (running != NULL) {
            SetForegroundWindow(running);
            return 0;
        }
        loadPasswordProvider();
        exStyle = WS_EX_TOPMOST;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        title = saverTitle;
    }

    if (!RegisterClassA(&windowClass)) {
        releasePasswordProvider();
        return NO_SAVER_WINDOW;
    }
    saverWindow = CreateWindowExA(exStyle, saverClassName, title, style, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, parent, NULL,
                                  hostInstance, NULL);
    if (saverWindow == NULL) {
        releasePasswordProvider();
        return NO_SAVER_WINDOW;
    }
    if (parent == NULL)
        SetForegroundWindow(saverWindow);

    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    releasePasswordProvider();
    return message.message == WM_QUIT ? (int)message.wParam : NO_SAVER_WINDOW;
}
