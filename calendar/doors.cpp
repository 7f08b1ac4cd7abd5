#include "calendar/calendar_state.h"
#include "calendar/clock.h"
#include "support/prefs.h"
#include "support/report.h"
#include "video/video.h"

// Clips 1 and 22 are followed by a pause.
enum { PAUSE_AFTER_DOOR_1 = 0, PAUSE_AFTER_DOOR_22 = 21, PAUSE_MS = 1000 };

void clickCornerPicture(CalendarState *state)
{
    // Twelve first: with both seasons forced the click opens all doors.
    if (isTwelve(state)) {
        if (isPreviewSized(state) || state->allDoorsOpened)
            return;
        openAllDoors(state);
        InvalidateRect(state->window, NULL, FALSE);
        drawCalendar(state);
        return;
    }
    if (!state->todayPending || isPreviewSized(state))
        return;
    openTodaysDoor(state);
}

void openTodaysDoor(CalendarState *state)
{
    CalendarDate now;
    int door;

    readClock(&now);
    recordProgress(now.year, now.dayOfMonth);
    state->todayPending = 0;
    door = now.dayOfMonth - 1;
    // A forced Advent past the 24th records the day but has no door for it;
    // the clips go on as they were.
    if (door < DOOR_COUNT) {
        if (state->clipDevice != 0)
            stopDoorClip(state);
        playDoorClip(state, door);
        state->doors[door].open = 1;
    }
    drawCalendar(state);
}

void openAllDoors(CalendarState *state)
{
    state->allDoorsOpened = 1;
    for (int door = 0; door < DOOR_COUNT; door++)
        state->doors[door].open = 1;
    if (state->clipDevice != 0)
        stopDoorClip(state);
    playDoorClip(state, 0);
}

bool startDoorClip(CalendarState *state, int door)
{
    char directory[MAX_PATH];

    if (door < 0 || door >= DOOR_COUNT)
        return true;
    installDir(directory, sizeof directory);
    if (state->clipDevice == 0) {
        const char *path = formatScratch("%s\\%02d.avi", directory, door + 1);
        POINT corner = doorCorner(state, door);

        if (!openClip(state->window, &state->clipDevice, path, corner.x, corner.y,
                      pictureScale(state)))
            return false;
        if (!setClipPalette(state->clipDevice, state->window, state->palette))
            return false;
    }
    ShowWindow(clipWindow(state->clipDevice, state->window), SW_SHOW);
    return true;
}

void playDoorClip(CalendarState *state, int door)
{
    state->currentDoor = door;
    if (startDoorClip(state, door) && state->clipDevice != 0)
        playClip(state->clipDevice, state->window);
}

void stopDoorClip(CalendarState *state)
{
    if (state->clipDevice == 0)
        return;
    ShowWindow(clipWindow(state->clipDevice, state->window), SW_HIDE);
    showDoor(state, state->currentDoor);
    // Closing also drops the closed clip's late notices, which would end the
    // next clip at once, and keeps a quit that a failed command has posted.
    closeClip(state->clipDevice, state->window);
    state->clipDevice = 0;
}

void advanceClip(CalendarState *state)
{
    int next = state->currentDoor + 1;

    if (state->currentDoor == PAUSE_AFTER_DOOR_1 || state->currentDoor == PAUSE_AFTER_DOOR_22) {
        DWORD start = GetTickCount();

        // Nothing else happens meanwhile, but the processor is left alone.
        while (GetTickCount() - start < PAUSE_MS)
            Sleep(10);
    }
    if (state->clipDevice != 0)
        stopDoorClip(state);
    if (next >= DOOR_COUNT || !state->doors[next].open)
        next = 0;
    playDoorClip(state, next);
}
