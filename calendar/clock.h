// Where the calendar learns the local date and time. The shipped saver links
// the system clock; the test variant links a clock that starts where a test
// says and runs on from there.
#ifndef TINDLE_CALENDAR_CLOCK_H
#define TINDLE_CALENDAR_CLOCK_H

#include <time.h>

#include "calendar/calendar_state.h"

void readClock(CalendarDate *now);

// The C library's broken-down time as the calendar keeps it.
CalendarDate calendarDateOf(const struct tm &local);

#endif
