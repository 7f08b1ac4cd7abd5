// The calendar's state for one saver window and the operations that share
// it: the date rules, the layout and drawing, and the door clips.
#ifndef TINDLE_CALENDAR_CALENDAR_STATE_H
#define TINDLE_CALENDAR_CALENDAR_STATE_H

#include <windows.h>
#include <mmsystem.h>
#include <stdint.h>

class DibImage;

// A broken-down local time, field for field the C library's struct tm.
struct CalendarDate {
    int32_t seconds;
    int32_t minutes;
    int32_t hours;
    int32_t dayOfMonth; // 1-31; lowered by one while today's door waits
    int32_t month;      // 0-11
    int32_t year;       // years since 1900
    int32_t weekday;    // 0 = Sunday
    int32_t dayOfYear;  // 0-365
    int32_t daylight;
};

enum { MONTH_JANUARY = 0, MONTH_NOVEMBER = 10, MONTH_DECEMBER = 11 };

// Door index 0 is door 1.
enum { DOOR_COUNT = 24, DOOR_SIZE = 72 };

struct DoorSlot {
    int32_t open;
    int32_t x; // top-left corner in the 640 x 480 picture space
    int32_t y;
};

struct CalendarState {
    int32_t passToDefault; // the handler's verdict: hand the message on
    HWND window;
    HPALETTE palette; // only on displays of 8 bits per pixel or fewer
    HPEN doorPen;
    HFONT dayFont;
    MCIDEVICEID clipDevice; // 0: no clip open
    int32_t allDoorsOpened;
    CalendarDate today;
    int32_t todayPending;
    DoorSlot *doors;
    int32_t currentDoor; // the door whose clip plays or played last
    DibImage **thumbnails;
    // Full screen the calendar is drawn here at its own size, then put on
    // the window enlarged (pictureScale).
    HDC picture;
};

// What the calendar shows, in order of precedence.
enum Presentation { ADVENT, TWELVE, NOVEMBER_1996, SEASON_OVER };

// Date rules. The two season tests read the registry's forcing values anew
// each time.
bool isAdvent(const CalendarState *state);
bool isTwelve(const CalendarState *state);
bool isNovember1996(const CalendarState *state);
Presentation presentationOf(const CalendarState *state);
// Advent shows its doors, the Twelve days theirs once all are opened.
bool showsDoors(const CalendarState *state, Presentation presentation);
// Opens the doors before today and makes today's door wait when the user
// has not opened it this year; Advent only.
void settleDoors(CalendarState *state);
void refreshDate(CalendarState *state, bool initial);
// Door 1's clip where doors are shown and none plays: once the calendar is
// first on the screen, and again after a change of day.
void startFirstClip(CalendarState *state);

// Layout and drawing.
extern const POINT DoorPositions[DOOR_COUNT];
bool isPreviewSized(const CalendarState *state);
// Full screen each pixel of the 640 x 480 picture becomes a block of k x k
// pixels of the window, k = pictureScale, the picture centred on the
// primary monitor.
int pictureScale(const CalendarState *state);
// A door's top-left corner in the client area, where its clip plays.
POINT doorCorner(const CalendarState *state, int door);
// The picture in its own pixels, drawn off the screen; fatal when it cannot be made.
HDC createPicture(HWND window);
void deletePicture(HDC picture);
// The monitors changed and the host has fitted the window to them: the
// picture moves to the middle of the primary monitor, its open clip with it,
// on black everywhere else.
void fitToDisplay(CalendarState *state);
void drawCalendar(CalendarState *state);
void drawDoorFrame(const CalendarState *state, HDC dc, int x, int y);
void drawDayNumber(const CalendarState *state, HDC dc, int x, int y, int number);
// Puts a door's place of the picture on the window, as when its clip has gone.
void showDoor(const CalendarState *state, int door);
bool hitClickArea(const CalendarState *state, int x, int y);
HFONT createDayFont();
HPEN createDoorPen();

// Doors and clips.
void clickCornerPicture(CalendarState *state);
void openTodaysDoor(CalendarState *state);
void openAllDoors(CalendarState *state);
bool startDoorClip(CalendarState *state, int door);
// startDoorClip, then plays the clip; nothing is played after a failed
// start, which has already been reported.
void playDoorClip(CalendarState *state, int door);
void stopDoorClip(CalendarState *state);
void advanceClip(CalendarState *state);

int displayBitsPerPixel();

#endif
