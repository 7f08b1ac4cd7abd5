#include "calendar/calendar_state.h"
#include "host/host.h"
#include "image/assets.h"
#include "image/dib_image.h"
#include "support/report.h"
#include "video/video.h"

enum { PICTURE_WIDTH = 640, PICTURE_HEIGHT = 480 };
enum { PREVIEW_MIN_WIDTH = 200, PREVIEW_MIN_HEIGHT = 150 };

// Palette-relative: on a palette display the nearest colour of the
// calendar's palette, elsewhere orange (255, 95, 0).
static const COLORREF doorColour = 0x02005FFF;

const POINT DoorPositions[DOOR_COUNT] = {
    {148, 17},  {238, 209}, {328, 105}, {59, 299},  {418, 299}, {508, 17},  {328, 283}, {238, 121},
    {148, 283}, {418, 121}, {148, 195}, {59, 121},  {328, 195}, {508, 105}, {238, 299}, {59, 209},
    {418, 209}, {59, 388},  {328, 17},  {148, 105}, {238, 383}, {508, 195}, {418, 388}, {508, 283},
};

// Measured at the first drawing and again when the monitors change; -1
// until then.
static int originX = -1;
static int originY = -1;

bool isPreviewSized(const CalendarState *state)
{
    RECT client;

    GetClientRect(state->window, &client);
    return client.right < PREVIEW_MIN_WIDTH || client.bottom < PREVIEW_MIN_HEIGHT;
}

// Full screen the window spans every monitor and the picture stands in the
// middle of the primary one, whose top-left corner is the screen's origin; a
// preview centres it in its own client area.
static RECT centringArea(const CalendarState *state)
{
    RECT area;

    if (isPreview) {
        GetClientRect(state->window, &area);
    } else {
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        MapWindowPoints(NULL, state->window, (POINT *)&area, 2);
    }
    return area;
}

int pictureOriginX(const CalendarState *state)
{
    if (originX == -1) {
        RECT area = centringArea(state);

        originX = isPreviewSized(state)
                      ? 0
                      : area.left + (area.right - area.left) / 2 - PICTURE_WIDTH / 2;
    }
    return originX;
}

int pictureOriginY(const CalendarState *state)
{
    if (originY == -1) {
        RECT area = centringArea(state);

        originY = isPreviewSized(state)
                      ? 0
                      : area.top + (area.bottom - area.top) / 2 - PICTURE_HEIGHT / 2;
    }
    return originY;
}

void fitToDisplay(CalendarState *state)
{
    RECT client;
    HDC dc;

    originX = originY = -1;
    // The clip moves first, so that the black fill leaves it alone and the
    // place it leaves is painted over.
    if (state->clipDevice != 0) {
        const DoorSlot &door = state->doors[state->currentDoor];

        placeClip(state->clipDevice, state->window, pictureOriginX(state) + door.x,
                  pictureOriginY(state) + door.y);
    }
    GetClientRect(state->window, &client);
    dc = GetDC(state->window);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(state->window, dc);
    drawCalendar(state);
}

static void drawCentred(const CalendarState *state, HDC dc, AssetId asset)
{
    DibImage picture = loadAsset(asset);
    const BITMAPINFOHEADER *header = picture.header();

    drawImage(picture, dc, pictureOriginX(state) + PICTURE_WIDTH / 2 - header->biWidth / 2,
              pictureOriginY(state) + PICTURE_HEIGHT / 2 - header->biHeight / 2);
}

// The bottom-right corner of the picture on the picture space's.
static void drawInCorner(const CalendarState *state, HDC dc, AssetId asset)
{
    DibImage picture = loadAsset(asset);
    const BITMAPINFOHEADER *header = picture.header();

    drawImage(picture, dc, pictureOriginX(state) + PICTURE_WIDTH - header->biWidth,
              pictureOriginY(state) + PICTURE_HEIGHT - header->biHeight);
}

static void drawDoors(const CalendarState *state, HDC dc, Presentation presentation)
{
    int x0 = pictureOriginX(state), y0 = pictureOriginY(state);
    int pending = state->today.dayOfMonth;

    for (int door = 0; door < DOOR_COUNT; door++)
        if (state->doors[door].open)
            drawDoorFrame(state, dc, x0 + state->doors[door].x, y0 + state->doors[door].y);
    // A forced Advent past the 24th has no door left to wait.
    if (presentation == ADVENT && state->todayPending && pending < DOOR_COUNT) {
        int x = x0 + state->doors[pending].x, y = y0 + state->doors[pending].y;

        drawDoorFrame(state, dc, x, y);
        drawDayNumber(state, dc, x + 3, y, pending + 1);
    }
    // An open clip's window covers the current door.
    for (int door = 0; door < DOOR_COUNT; door++)
        if (state->doors[door].open && (door != state->currentDoor || state->clipDevice == 0))
            drawDoorThumbnail(state, dc, door);
}

void drawCalendar(CalendarState *state)
{
    RECT client;
    HDC dc;
    int previousMode;

    GetClientRect(state->window, &client);
    dc = GetDC(state->window);
    if (state->palette != NULL) {
        SelectPalette(dc, state->palette, FALSE);
        RealizePalette(dc);
    }
    previousMode = SetMapMode(dc, MM_ANISOTROPIC);
    if (isPreviewSized(state)) {
        SetWindowExtEx(dc, PICTURE_WIDTH, PICTURE_HEIGHT, NULL);
        SetViewportExtEx(dc, client.right, client.bottom, NULL);
        drawCentred(state, dc, AssetId::Pud);
    } else {
        Presentation presentation = presentationOf(state);

        SetWindowExtEx(dc, client.right, client.bottom, NULL);
        SetViewportExtEx(dc, client.right, client.bottom, NULL);
        switch (presentation) {
        case ADVENT:
            drawCentred(state, dc, AssetId::Pud);
            drawInCorner(state, dc, AssetId::ClickHere);
            drawDoors(state, dc, presentation);
            break;
        case TWELVE:
            drawCentred(state, dc, AssetId::Plate);
            drawInCorner(state, dc, AssetId::ClickAll);
            if (state->allDoorsOpened)
                drawDoors(state, dc, presentation);
            break;
        case NOVEMBER_1996:
            drawCentred(state, dc, AssetId::Pud);
            drawInCorner(state, dc, AssetId::Active);
            break;
        case SEASON_OVER:
            // The rest stays black from the first erase.
            drawCentred(state, dc, AssetId::TheEnd);
            break;
        }
    }
    SetMapMode(dc, previousMode);
    ReleaseDC(state->window, dc);
}

void drawDoorFrame(const CalendarState *state, HDC dc, int x, int y)
{
    int saved = SaveDC(dc);

    SelectObject(dc, state->doorPen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, x - 1, y - 1, x + DOOR_SIZE + 2, y + DOOR_SIZE + 2);
    RestoreDC(dc, saved);
}

void drawDayNumber(const CalendarState *state, HDC dc, int x, int y, int number)
{
    int saved = SaveDC(dc);
    RECT box = {x + 3, y, x + 77, y + DOOR_SIZE};
    char text[16];

    SetTextColor(dc, doorColour);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, state->dayFont);
    wsprintfA(text, "%d", number);
    DrawTextA(dc, text, -1, &box, DT_SINGLELINE | DT_LEFT | DT_BOTTOM | DT_NOCLIP);
    RestoreDC(dc, saved);
}

void drawDoorThumbnail(const CalendarState *state, HDC dc, int door)
{
    if (!state->doors[door].open)
        return;
    drawImage(*state->thumbnails[door], dc, pictureOriginX(state) + state->doors[door].x,
              pictureOriginY(state) + state->doors[door].y);
}

bool hitClickArea(const CalendarState *state, int x, int y)
{
    int left = pictureOriginX(state) + 530, top = pictureOriginY(state) + 380;

    return x >= left && x < left + 110 && y >= top && y < top + 100;
}

HFONT createDayFont()
{
    HDC screen = GetDC(NULL);
    int height = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    HFONT font =
        CreateFontA(height, 0, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");

    ReleaseDC(NULL, screen);
    if (font == NULL)
        reportError(ERR_RESOURCE | ERR_FATAL, "Cannot create tindle font");
    return font;
}

HPEN createDoorPen()
{
    return CreatePen(PS_SOLID, 2, doorColour);
}
