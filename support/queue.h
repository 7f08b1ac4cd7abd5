// Taking single messages out of the thread's message queue.
#ifndef TINDLE_SUPPORT_QUEUE_H
#define TINDLE_SUPPORT_QUEUE_H

#include <windows.h>

// Removes one waiting message of that number for window; false when there
// is none.  A pending WM_QUIT stays queued with its code.
bool removeQueuedMessage(HWND window, UINT message);

#endif
