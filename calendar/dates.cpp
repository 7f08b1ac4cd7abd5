#include "calendar/calendar_state.h"
#include "calendar/clock.h"
#include "support/prefs.h"

CalendarDate calendarDateOf(const struct tm &local)
{
    CalendarDate date;

    date.seconds = local.tm_sec;
    date.minutes = local.tm_min;
    date.hours = local.tm_hour;
    date.dayOfMonth = local.tm_mday;
    date.month = local.tm_mon;
    date.year = local.tm_year;
    date.weekday = local.tm_wday;
    date.dayOfYear = local.tm_yday;
    date.daylight = local.tm_isdst;
    return date;
}

bool isAdvent(const CalendarState *state)
{
    return readDword("Advent", 0) == 1 ||
           (state->today.month == MONTH_DECEMBER && state->today.dayOfMonth < 25);
}

bool isTwelve(const CalendarState *state)
{
    return readDword("Twelve", 0) == 1 ||
           (state->today.month == MONTH_DECEMBER && state->today.dayOfMonth >= 25) ||
           (state->today.month == MONTH_JANUARY && state->today.dayOfMonth <= 5);
}

bool isNovember1996(const CalendarState *state)
{
    return state->today.month == MONTH_NOVEMBER && state->today.year == 96;
}

Presentation presentationOf(const CalendarState *state)
{
    if (isAdvent(state))
        return ADVENT;
    if (isTwelve(state))
        return TWELVE;
    if (isNovember1996(state))
        return NOVEMBER_1996;
    return SEASON_OVER;
}

bool showsDoors(const CalendarState *state, Presentation presentation)
{
    return presentation == ADVENT || (presentation == TWELVE && state->allDoorsOpened);
}

void settleDoors(CalendarState *state)
{
    // Yesterday's door may still have been waiting; whether today's waits
    // is decided afresh.
    state->todayPending = (int32_t)lastCheckedForYear(state->today.year) < state->today.dayOfMonth;
    if (state->todayPending) {
        recordProgress(state->today.year, state->today.dayOfMonth - 1);
        state->today.dayOfMonth--;
    }
    // A forced Advent late in another month has more days than doors.
    for (int door = 0; door < DOOR_COUNT; door++)
        state->doors[door].open = door < state->today.dayOfMonth;
}

void refreshDate(CalendarState *state, bool initial)
{
    CalendarDate now;

    readClock(&now);
    if (!initial && now.dayOfYear == state->today.dayOfYear)
        return;
    // The first refresh of Christmas Day: the old date is still in today.
    if (!initial && now.month == MONTH_DECEMBER && state->today.dayOfMonth < 25 &&
        now.dayOfMonth == 25)
        openAllDoors(state);
    state->today = now;
    // A change of day is drawn with the doors settled for the new day.
    if (!isTwelve(state) && isAdvent(state))
        settleDoors(state);
    // At creation the window is not shown yet; its first paint draws it.
    if (initial)
        return;
    // From here on the saver shows what one started now would show, with the
    // doors opened meanwhile still open: no clips where no doors are shown.
    if (!showsDoors(state, presentationOf(state)))
        stopDoorClip(state);
    drawCalendar(state);
    startFirstClip(state);
}

void startFirstClip(CalendarState *state)
{
    // Door 1 waits on 1 December; a click before the first paint may have
    // started a clip.
    if (showsDoors(state, presentationOf(state)) && state->doors[0].open &&
        state->clipDevice == 0 && !isPreviewSized(state))
        playDoorClip(state, 0);
}
