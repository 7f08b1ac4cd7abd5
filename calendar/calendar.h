// The Advent calendar's window procedure, second in the saver window's chain.
#ifndef TINDLE_CALENDAR_CALENDAR_H
#define TINDLE_CALENDAR_CALENDAR_H

#include <windows.h>

LRESULT CALLBACK CalendarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
