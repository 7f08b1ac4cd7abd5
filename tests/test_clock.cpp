#include "test_clock.h"

#include <stdio.h>
#include <stdlib.h>

#include "calendar/clock.h"

static bool started;
static time_t startTime;
static time_t startedAt;

bool startTestClock(const char *localTime)
{
    struct tm local = {};
    time_t start;

    if (sscanf(localTime, "%d-%d-%d %d:%d:%d", &local.tm_year, &local.tm_mon, &local.tm_mday,
               &local.tm_hour, &local.tm_min, &local.tm_sec) != 6)
        return false;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    start = mktime(&local);
    if (start == (time_t)-1)
        return false;
    startTime = start;
    startedAt = time(NULL);
    started = true;
    return true;
}

void readClock(CalendarDate *now)
{
    time_t seconds;

    if (!started) {
        const char *given = getenv("TINDLE_CLOCK");

        if (given == NULL || !startTestClock(given)) {
            startTime = startedAt = time(NULL);
            started = true;
        }
    }
    seconds = startTime + (time(NULL) - startedAt);
    *now = calendarDateOf(*localtime(&seconds));
}
