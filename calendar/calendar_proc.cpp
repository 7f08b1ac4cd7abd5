#include "calendar/calendar.h"

#include "host/host.h"

// Until the calendar draws anything, the saver is a black screen that closes
// on input like any other.
LRESULT CALLBACK CalendarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultSaverProc(window, message, wParam, lParam);
}
