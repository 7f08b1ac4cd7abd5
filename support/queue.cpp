#include "support/queue.h"

bool removeQueuedMessage(HWND window, UINT message)
{
    MSG taken;

    if (!PeekMessageA(&taken, window, message, message, PM_REMOVE | PM_NOYIELD))
        return false;
    // Wine hands back a pending WM_QUIT whatever the filter; the loop that
    // ends with it has not seen it yet.
    if (taken.message != WM_QUIT)
        return true;
    PostQuitMessage((int)taken.wParam);
    return false;
}
