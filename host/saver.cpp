#include <windows.h>

#include "host/host.h"
#include "host/password.h"

int isPreview;
HWND saverWindow;

static const char saverClassName[] = "WindowsScreenSaverClass";
static const char saverTitle[] = "Screen Saver";

// Exit status when there is no window and so no quit code.
enum { NO_SAVER_WINDOW = -1 };

int runSaver(HWND parent)
{
    WNDCLASSA windowClass = {};
    RECT area;
    DWORD exStyle, style;
    const char *title;
    int width, height;
    MSG message;

    windowClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverClassProc;
    windowClass.hInstance = hostInstance;
    windowClass.hIcon = LoadIconA(hostInstance, MAKEINTRESOURCEA(100));
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = saverClassName;

    if (parent != NULL) {
        GetClientRect(parent, &area);
        width = area.right;
        height = area.bottom;
        isPreview = 1;
        exStyle = 0;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        title = "Preview";
    } else {
        HWND running;

        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
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
    saverWindow = CreateWindowExA(exStyle, saverClassName, title, style, 0, 0, width, height,
                                  parent, NULL, hostInstance, NULL);
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
