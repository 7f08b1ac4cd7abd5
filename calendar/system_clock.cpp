#include "calendar/clock.h"

void readClock(CalendarDate *now)
{
    time_t seconds = time(NULL);

    *now = calendarDateOf(*localtime(&seconds));
}
