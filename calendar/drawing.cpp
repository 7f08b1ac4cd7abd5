#include <algorithm>

#include "calendar/calendar_state.h"
#include "host/host.h"
#include "image/assets.h"
#include "image/dib_image.h"
#include "support/prefs.h"
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

// The picture's place, measured at the first drawing and again when the
// monitors change; scale 0 until then.
static int scale;
static int originX;
static int originY;

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

// Full screen the picture is enlarged by the largest whole factor that
// leaves it within the primary monitor, unless the user keeps it at its own
// size; a preview-sized window scales it itself.
static void measurePlace(const CalendarState *state)
{
    RECT area;
    int width, height;

    if (scale != 0)
        return;
    if (isPreviewSized(state)) {
        scale = 1;
        originX = originY = 0;
        return;
    }
    area = centringArea(state);
    width = area.right - area.left;
    height = area.bottom - area.top;
    scale =
        readEnlarge() ? std::max(1, std::min(width / PICTURE_WIDTH, height / PICTURE_HEIGHT)) : 1;
    originX = area.left + width / 2 - scale * PICTURE_WIDTH / 2;
    originY = area.top + height / 2 - scale * PICTURE_HEIGHT / 2;
}

int pictureScale(const CalendarState *state)
{
    measurePlace(state);
    return scale;
}

POINT doorCorner(const CalendarState *state, int door)
{
    int k = pictureScale(state);
    POINT corner = {originX + k * state->doors[door].x, originY + k * state->doors[door].y};

    return corner;
}

HDC createPicture(HWND window)
{
    HDC screen = GetDC(window), picture = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, PICTURE_WIDTH, PICTURE_HEIGHT);

    ReleaseDC(window, screen);
    if (picture == NULL || bitmap == NULL)
        reportError(ERR_RESOURCE | ERR_FATAL, "Cannot create the calendar's picture");
    SelectObject(picture, bitmap);
    PatBlt(picture, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT, BLACKNESS);
    return picture;
}

void deletePicture(HDC picture)
{
    HGDIOBJ bitmap = GetCurrentObject(picture, OBJ_BITMAP);

    DeleteDC(picture);
    DeleteObject(bitmap);
}

// On a palette display all drawing goes through the calendar's palette.  The
// window's own device context outlives the palette, so it takes back the
// previous one, which this returns, once the drawing is done.
static HPALETTE usePalette(const CalendarState *state, HDC dc)
{
    HPALETTE previous = NULL;

    if (state->palette != NULL) {
        previous = SelectPalette(dc, state->palette, FALSE);
        RealizePalette(dc);
    }
    return previous;
}

// Puts a part of the picture on the window, each pixel a block of k x k
// screen pixels.
static void showPicture(const CalendarState *state, int left, int top, int width, int height)
{
    HDC dc = GetDC(state->window);
    int k = pictureScale(state);
    HPALETTE previous = usePalette(state, dc);

    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, originX + k * left, originY + k * top, k * width, k * height, state->picture,
               left, top, width, height, SRCCOPY);
    if (previous != NULL)
        SelectPalette(dc, previous, FALSE);
    ReleaseDC(state->window, dc);
}

void fitToDisplay(CalendarState *state)
{
    RECT client;
    HDC dc;

    scale = 0;
    // A preview has no picture of its own size: it draws itself afresh.
    if (isPreviewSized(state)) {
        drawCalendar(state);
        return;
    }
    // The clip moves first, so that the black fill leaves it alone and the
    // place it leaves is painted over.
    if (state->clipDevice != 0) {
        POINT corner = doorCorner(state, state->currentDoor);

        placeClip(state->clipDevice, state->window, corner.x, corner.y, pictureScale(state));
    }
    GetClientRect(state->window, &client);
    dc = GetDC(state->window);
    FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ReleaseDC(state->window, dc);
    // Only the picture's place and size have changed.
    showPicture(state, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT);
}

static void drawCentred(HDC dc, AssetId asset)
{
    DibImage picture = loadAsset(asset);
    const BITMAPINFOHEADER *header = picture.header();

    drawImage(picture, dc, PICTURE_WIDTH / 2 - header->biWidth / 2,
              PICTURE_HEIGHT / 2 - header->biHeight / 2);
}

// The bottom-right corner of the picture on the picture space's.
static void drawInCorner(HDC dc, AssetId asset)
{
    DibImage picture = loadAsset(asset);
    const BITMAPINFOHEADER *header = picture.header();

    drawImage(picture, dc, PICTURE_WIDTH - header->biWidth, PICTURE_HEIGHT - header->biHeight);
}

static void drawThumbnail(const CalendarState *state, HDC dc, int door)
{
    drawImage(*state->thumbnails[door], dc, state->doors[door].x, state->doors[door].y);
}

static void drawDoors(const CalendarState *state, HDC dc, Presentation presentation)
{
    int pending = state->today.dayOfMonth;

    for (int door = 0; door < DOOR_COUNT; door++)
        if (state->doors[door].open)
            drawDoorFrame(state, dc, state->doors[door].x, state->doors[door].y);
    // A forced Advent past the 24th has no door left to wait.
    if (presentation == ADVENT && state->todayPending && pending < DOOR_COUNT) {
        int x = state->doors[pending].x, y = state->doors[pending].y;

        drawDoorFrame(state, dc, x, y);
        drawDayNumber(state, dc, x + 3, y, pending + 1);
    }
    // A playing clip's window covers its door: the window clips its children.
    for (int door = 0; door < DOOR_COUNT; door++)
        if (state->doors[door].open)
            drawThumbnail(state, dc, door);
}

// A preview shows the background alone, scaled into its client area.
static void drawPreview(const CalendarState *state)
{
    RECT client;
    HDC dc = GetDC(state->window);
    HPALETTE previous = usePalette(state, dc);
    int previousMode;

    GetClientRect(state->window, &client);
    previousMode = SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, PICTURE_WIDTH, PICTURE_HEIGHT, NULL);
    SetViewportExtEx(dc, client.right, client.bottom, NULL);
    drawCentred(dc, AssetId::Pud);
    SetMapMode(dc, previousMode);
    if (previous != NULL)
        SelectPalette(dc, previous, FALSE);
    ReleaseDC(state->window, dc);
}

void drawCalendar(CalendarState *state)
{
    HDC dc = state->picture;
    Presentation presentation;

    if (isPreviewSized(state)) {
        drawPreview(state);
        return;
    }
    usePalette(state, dc);
    presentation = presentationOf(state);
    switch (presentation) {
    case ADVENT:
        drawCentred(dc, AssetId::Pud);
        drawInCorner(dc, AssetId::ClickHere);
        break;
    case TWELVE:
        drawCentred(dc, AssetId::Plate);
        drawInCorner(dc, AssetId::ClickAll);
        break;
    case NOVEMBER_1996:
        drawCentred(dc, AssetId::Pud);
        drawInCorner(dc, AssetId::Active);
        break;
    case SEASON_OVER:
        drawCentred(dc, AssetId::TheEnd);
        break;
    }
    if (showsDoors(state, presentation))
        drawDoors(state, dc, presentation);
    showPicture(state, 0, 0, PICTURE_WIDTH, PICTURE_HEIGHT);
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

void showDoor(const CalendarState *state, int door)
{
    showPicture(state, state->doors[door].x, state->doors[door].y, DOOR_SIZE, DOOR_SIZE);
}

bool hitClickArea(const CalendarState *state, int x, int y)
{
    int k = pictureScale(state);
    int left = originX + k * 530, top = originY + k * 380;

    return x >= left && x < left + k * 110 && y >= top && y < top + k * 100;
}

// 12 points at 96 dots per inch: the picture is drawn in its own pixels and
// enlarged as a whole, so the number keeps its size in its tag whatever the
// display's scaling, which the program follows itself.
HFONT createDayFont()
{
    HFONT font =
        CreateFontA(-16, 0, 0, 0, 800, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");

    if (font == NULL)
        reportError(ERR_RESOURCE | ERR_FATAL, "Cannot create tindle font");
    return font;
}

HPEN createDoorPen()
{
    return CreatePen(PS_SOLID, 2, doorColour);
}
