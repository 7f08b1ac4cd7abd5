#include "calendar/calendar.h"

#include <exception>
#include <new>
#include <stdio.h>

#include "calendar/calendar_state.h"
#include "host/host.h"
#include "image/assets.h"
#include "image/dib_image.h"
#include "support/report.h"
#include "video/video.h"

static const char stateProperty[] = "WndProp";
// Stored in place of the state once the window is destroyed.
static CalendarState *const destroyedMarker = (CalendarState *)(INT_PTR)-1;

// The first clip waits for a timer of its own: timers come only once the
// queue is empty, so the first paint is on the screen before the clip opens.
// A change of the monitors is sent while a clip command may be waiting with
// the clip half closed; the calendar moves at a timer, after the command.
enum { DATE_TIMER = 1, DATE_TIMER_MS = 10000, FIRST_CLIP_TIMER = 2, DISPLAY_TIMER = 3 };

// Once per process: only the first paint draws and only the first erase
// blackens; after that the calendar draws for itself.
static int paintedOnce;
static int erasedOnce;
static int displayDepth;

int displayBitsPerPixel()
{
    if (displayDepth == 0) {
        HWND desktop = GetDesktopWindow();
        HDC dc = GetDC(desktop);

        displayDepth = GetDeviceCaps(dc, BITSPIXEL);
        if (displayDepth == 1 && GetDeviceCaps(dc, PLANES) == 4)
            displayDepth = 4;
        ReleaseDC(desktop, dc);
    }
    return displayDepth;
}

static CalendarState *createState(HWND window)
{
    CalendarState *state = new (std::nothrow) CalendarState();

    if (state == NULL)
        reportError(ERR_NOMEM | ERR_FATAL, "Out of memory");
    SetPropA(window, stateProperty, state);
    state->palette = NULL;
    state->window = window;
    state->currentDoor = 0;
    state->todayPending = 0;
    state->clipDevice = 0;
    state->doorPen = createDoorPen();
    state->dayFont = createDayFont();
    state->picture = createPicture(window);
    state->allDoorsOpened = 0;
    state->doors = new (std::nothrow) DoorSlot[DOOR_COUNT];
    if (state->doors == NULL)
        reportError(ERR_NOMEM | ERR_FATAL, "");
    resourceInstance = hostInstance;
    state->thumbnails = new (std::nothrow) DibImage *[DOOR_COUNT];
    if (state->thumbnails == NULL)
        reportError(ERR_NOMEM | ERR_FATAL, "");
    for (int door = 0; door < DOOR_COUNT; door++) {
        char name[32];

        snprintf(name, sizeof name, "DIB_FIRSTFRAMES%d", door);
        state->thumbnails[door] =
            new (std::nothrow) DibImage(DibImage::fromResource("DIB", name, resourceInstance));
        if (state->thumbnails[door] == NULL)
            reportError(ERR_NOMEM | ERR_FATAL, "");
        if (state->thumbnails[door]->isEmpty())
            reportError(ERR_RESOURCE | ERR_FATAL, "Cannot load resource DIB:%s", name);
    }
    for (int door = 0; door < DOOR_COUNT; door++) {
        state->doors[door].open = 0;
        state->doors[door].x = DoorPositions[door].x;
        state->doors[door].y = DoorPositions[door].y;
    }
    return state;
}

static void freeState(HWND window, CalendarState *state)
{
    for (int door = 0; door < DOOR_COUNT; door++)
        delete state->thumbnails[door];
    delete[] state->thumbnails;
    delete[] state->doors;
    DeleteObject(state->doorPen);
    DeleteObject(state->dayFont);
    delete state;
    SetPropA(window, stateProperty, destroyedMarker);
}

static void createCalendar(CalendarState *state)
{
    if (displayBitsPerPixel() <= 8) {
        DibImage picture = loadAsset(AssetId::ClickHere);

        state->palette = picture.createPalette();
        if (state->palette == NULL)
            reportError(ERR_FATAL, "Error creating palette");
    }
    SetTimer(state->window, DATE_TIMER, DATE_TIMER_MS, NULL);
    refreshDate(state, true);
}

// 1 when realising the palette changed colours.
static LRESULT realizeCalendarPalette(CalendarState *state)
{
    HDC dc = GetDC(state->window);
    HPALETTE previous = SelectPalette(dc, state->palette, FALSE);
    int changed = (int)RealizePalette(dc);

    SelectPalette(dc, previous, FALSE);
    ReleaseDC(state->window, dc);
    if (changed > 0)
        drawCalendar(state);
    if (state->clipDevice != 0)
        realizeClipPalette(state->clipDevice, state->window);
    return changed != 0;
}

// The calendar keeps mouse movement and its click area while a season lasts.
static bool inSeason(const CalendarState *state)
{
    return isAdvent(state) || isTwelve(state);
}

static LRESULT handleCalendarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     CalendarState *state)
{
    switch (message) {
    case WM_CREATE:
        createCalendar(state);
        return 0;
    case WM_DESTROY:
        if (state->clipDevice != 0) {
            stopClip(state->clipDevice, window);
            closeClip(state->clipDevice, window);
            state->clipDevice = 0;
        }
        // The picture holds the palette, so it goes first.
        deletePicture(state->picture);
        if (state->palette != NULL)
            DeleteObject(state->palette);
        KillTimer(window, DATE_TIMER);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;

        BeginPaint(window, &paint);
        if (!paintedOnce) {
            drawCalendar(state);
            paintedOnce = 1;
            // Opening a clip loads the video libraries: the calendar is
            // shown first.
            SetTimer(window, FIRST_CLIP_TIMER, USER_TIMER_MINIMUM, NULL);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        if (!erasedOnce) {
            RECT client;

            erasedOnce = 1;
            GetClientRect(window, &client);
            FillRect((HDC)wParam, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
        }
        return 1;
    case WM_SETCURSOR:
        if (inSeason(state)) {
            SetCursor(LoadCursorA(NULL, IDC_ARROW));
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == DATE_TIMER) {
            refreshDate(state, false);
        } else if (wParam == FIRST_CLIP_TIMER) {
            KillTimer(window, FIRST_CLIP_TIMER);
            startFirstClip(state);
        } else if (wParam == DISPLAY_TIMER) {
            KillTimer(window, DISPLAY_TIMER);
            fitToDisplay(state);
        }
        break;
    case WM_MOUSEMOVE:
        if (inSeason(state))
            return 0;
        break;
    case WM_LBUTTONDOWN:
        if (inSeason(state) && hitClickArea(state, LOWORD(lParam), HIWORD(lParam)))
            return 0;
        break;
    case WM_LBUTTONUP:
        if (inSeason(state) && hitClickArea(state, LOWORD(lParam), HIWORD(lParam))) {
            clickCornerPicture(state);
            return 0;
        }
        break;
    case WM_DISPLAYCHANGE:
        SetTimer(window, DISPLAY_TIMER, USER_TIMER_MINIMUM, NULL);
        break;
    case WM_QUERYNEWPALETTE:
        return realizeCalendarPalette(state);
    case WM_PALETTECHANGED:
        if ((HWND)wParam == window)
            return 0;
        return realizeCalendarPalette(state);
    case MM_MCINOTIFY:
        if (wParam == MCI_NOTIFY_SUCCESSFUL) {
            if (!isPreviewSized(state))
                advanceClip(state);
        } else if (wParam == MCI_NOTIFY_FAILURE) {
            reportError(ERR_FATAL, "MCI failure on device id %d", (int)lParam);
        }
        break;
    }
    state->passToDefault = 1;
    return 0;
}

LRESULT CALLBACK CalendarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handOn = true;

    try {
        CalendarState *state = (CalendarState *)GetPropA(window, stateProperty);

        if (state == NULL)
            state = createState(window);
        if (state != destroyedMarker) {
            state->passToDefault = 0;
            result = handleCalendarMessage(window, message, wParam, lParam, state);
            handOn = state->passToDefault != 0;
            if (message == WM_DESTROY)
                freeState(window, state);
        }
    } catch (const std::exception &e) {
        reportError(ERR_FATAL, "Exception caught %s", e.what());
    } catch (...) {
        reportError(ERR_FATAL, "Unknown exception caught");
    }
    return handOn ? DefaultSaverProc(window, message, wParam, lParam) : result;
}
