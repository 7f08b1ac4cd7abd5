#include "test_clock.h"

#include <stdio.h>
#include <stdlib.h>

#include "calendar/clock.h"

static time_t startTime, startedAt = -1;

bool startTestClock(const char *localTime)
{
    struct tm local = {};
    if (sscanf(localTime, "%d-%d-%d %d:%d:%d", &local.tm_year, &local.tm_mon, &local.tm_mday,
               &local.tm_hour, &local.tm_min, &local.tm_sec) != 6)
        return false;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    startedAt = time(NULL);
    startTime = mktime(&local);
    return startTime != (time_t)-1;
}

void readClock(CalendarDate *now)
{
    const char *given = getenv("TINDLE_CLOCK");
    if (startedAt == -1 && (!given || !startTestClock(given)))
        startTime = startedAt = time(NULL);
    time_t seconds = startTime + (time(NULL) - startedAt);
    *now = calendarDateOf(*localtime(&seconds));
}
