#include "video/video.h"

#include <digitalv.h>

#include "support/queue.h"
#include "support/report.h"

// The end of every command: a failure is shown and ends the message loop.
static bool succeeded(MCIERROR result)
{
    // Stays empty when the library has no text for the code.
    char text[128] = "";

    if (result == 0)
        return true;
    mciGetErrorStringA(result, text, sizeof text - 1);
    reportError(0, "MCI error: %s", text);
    PostQuitMessage(-1);
    return false;
}

bool mciSend(MCIDEVICEID device, UINT command, DWORD_PTR flags, void *record)
{
    return succeeded(mciSendCommandA(device, command, flags, (DWORD_PTR)record));
}

// Wine tells the window that a clip played to its end also when the clip
// was stopped or closed before, with the device id that the next clip gets
// again; that notice would make the calendar move on from a clip that it has
// just started.  With one clip open at a time, every notice still queued
// when a clip stops belongs to it.  This is the only place that drops them.
static void dropNotices(HWND window)
{
    while (removeQueuedMessage(window, MM_MCINOTIFY)) {
    }
}

bool openClip(HWND window, MCIDEVICEID *device, const char *path, int x, int y, int scale)
{
    MCI_DGV_OPEN_PARMSA open = {};

    open.dwCallback = (DWORD_PTR)window;
    // MCI only reads the name.
    open.lpstrElementName = const_cast<char *>(path);
    open.dwStyle = WS_CHILD;
    open.hWndParent = window;
    if (!mciSend(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT | MCI_DGV_OPEN_WS | MCI_DGV_OPEN_PARENT,
                 &open))
        return false;
    *device = open.wDeviceID;
    return placeClip(open.wDeviceID, window, x, y, scale);
}

bool placeClip(MCIDEVICEID device, HWND window, int x, int y, int scale)
{
    MCI_DGV_PUT_PARMS destination = {};
    int width, height;
    HWND display;

    if (!clipSourceSize(device, window, &width, &height))
        return false;
    // The player draws the frames into this part of its window, at first the
    // source's own size; MCI's rectangle holds a width and a height.
    destination.dwCallback = (DWORD_PTR)window;
    destination.rc.right = scale * width;
    destination.rc.bottom = scale * height;
    if (!mciSend(device, MCI_PUT, MCI_WAIT | MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &destination))
        return false;
    display = clipWindow(device, window);
    if (!display)
        return false;
    return SetWindowPos(display, nullptr, x, y, scale * width, scale * height, SWP_NOZORDER) != 0;
}

bool clipSourceSize(MCIDEVICEID device, HWND window, int *width, int *height)
{
    MCI_DGV_RECT_PARMS where = {};

    where.dwCallback = (DWORD_PTR)window;
    if (!mciSend(device, MCI_WHERE, MCI_WAIT | MCI_DGV_WHERE_SOURCE, &where))
        return false;
    *width = where.rc.right - where.rc.left;
    *height = where.rc.bottom - where.rc.top;
    return true;
}

HWND clipWindow(MCIDEVICEID device, HWND window)
{
    MCI_STATUS_PARMS status = {};

    status.dwCallback = (DWORD_PTR)window;
    status.dwItem = MCI_DGV_STATUS_HWND;
    if (!mciSend(device, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &status))
        return nullptr;
    return (HWND)status.dwReturn;
}

bool playClip(MCIDEVICEID device, HWND window)
{
    MCI_PLAY_PARMS play = {};

    play.dwCallback = (DWORD_PTR)window;
    play.dwFrom = 0;
    return mciSend(device, MCI_PLAY, MCI_NOTIFY | MCI_FROM, &play);
}

bool stopClip(MCIDEVICEID device, HWND window)
{
    MCI_GENERIC_PARMS stop = {};
    MCIERROR result;

    stop.dwCallback = (DWORD_PTR)window;
    result = mciSendCommandA(device, MCI_STOP, MCI_WAIT, (DWORD_PTR)&stop);
    // Wine stops a playing clip but then answers with a code of its wave
    // output, MMSYSERR_INVALHANDLE, which no MCI command returns otherwise
    // and for which the library has no text.
    if (result == MMSYSERR_INVALHANDLE)
        result = 0;
    dropNotices(window);
    return succeeded(result);
}

bool closeClip(MCIDEVICEID device, HWND window)
{
    MCI_GENERIC_PARMS close = {};
    bool closed;

    if (device == 0)
        return true;
    close.dwCallback = (DWORD_PTR)window;
    closed = mciSend(device, MCI_CLOSE, MCI_WAIT, &close);
    // Also after a failure: the device's notices must not start another clip
    // while the quit that the failure posted waits in the queue.
    dropNotices(window);
    return closed;
}

bool setClipPalette(MCIDEVICEID device, HWND window, HPALETTE palette)
{
    return true;
}

bool realizeClipPalette(MCIDEVICEID device, HWND window)
{
    return true;
}
