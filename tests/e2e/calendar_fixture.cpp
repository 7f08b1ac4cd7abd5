#include "calendar_fixture.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>

using namespace harness;

namespace calendar {

const POINT doorCorners[24] = {
    {148, 17},  {238, 209}, {328, 105}, {59, 299},  {418, 299}, {508, 17},
    {328, 283}, {238, 121}, {148, 283}, {418, 121}, {148, 195}, {59, 121},
    {328, 195}, {508, 105}, {238, 299}, {59, 209},  {418, 209}, {59, 388},
    {328, 17},  {148, 105}, {238, 383}, {508, 195}, {418, 388}, {508, 283},
};

static const char programKey[] = "Software\\Brackwell\\Tindle";

bool Picture::loadFile(const std::string &path)
{
    FILE *file = fopen(path.c_str(), "rb");
    std::vector<unsigned char> data;
    unsigned char buffer[4096];
    size_t got;

    if (file == NULL)
        return false;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        data.insert(data.end(), buffer, buffer + got);
    fclose(file);
    return parse(data.data(), data.size());
}

bool Picture::loadResource(HMODULE module, const char *type, const char *name)
{
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;

    if (loaded == NULL)
        return false;
    return parse((const unsigned char *)LockResource(loaded), SizeofResource(module, found));
}

bool Picture::parse(const unsigned char *data, size_t size)
{
    size_t start = 0, pixelStart, entries;

    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        start = 14;
    if (size < start + sizeof header)
        return false;
    memcpy(&header, data + start, sizeof header);
    if (header.biSize != 40 || header.biCompression != BI_RGB || header.biHeight <= 0 ||
        (header.biBitCount != 4 && header.biBitCount != 8 && header.biBitCount != 24))
        return false;
    entries = header.biBitCount == 8 ? 256 : header.biBitCount == 4 ? 16 : 0;
    table.assign((const RGBQUAD *)(data + start + 40), (const RGBQUAD *)(data + start + 40) + entries);
    pixelStart = start + 40 + entries * 4;
    if (start == 14)
        memcpy(&pixelStart, data + 10, 4);
    stride = ((size_t)header.biWidth * header.biBitCount + 31) / 32 * 4;
    if (size < pixelStart + stride * header.biHeight)
        return false;
    pixels.assign(data + pixelStart, data + pixelStart + stride * header.biHeight);
    return true;
}

COLORREF Picture::at(int x, int y) const
{
    const unsigned char *row = &pixels[stride * (header.biHeight - 1 - y)];
    unsigned index;

    switch (header.biBitCount) {
    case 24:
        return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case 8:
        index = row[x];
        break;
    default:
        index = x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
        break;
    }
    return RGB(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
}

static HKEY openProgramKey()
{
    HKEY key = NULL;

    RegCreateKeyA(HKEY_LOCAL_MACHINE, programKey, &key);
    return key;
}

void setValue(const char *name, DWORD number)
{
    HKEY key = openProgramKey();

    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&number, sizeof number);
    RegCloseKey(key);
}

void setLastChecked(DWORD day)
{
    setValue("LastCheckedYear", 126);
    setValue("LastChecked", day);
}

std::string julyStartReport(Child &saver, const std::string &installation)
{
    std::string text;
    HWND box;

    freshRegistry(installation);
    if (!saver.start(windowsPath(TINDLE_CLOCK_SCR), "/s", {"TINDLE_CLOCK=2026-07-01 12:00:00"}))
        return "";
    text = waitForErrorBox(saver.pid(), 15000, &box);
    if (!text.empty())
        pressOk(box);
    return text;
}

DWORD value(const char *name)
{
    HKEY key = openProgramKey();
    DWORD number = 0xFFFFFFFF, size = sizeof number;

    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE *)&number, &size) != ERROR_SUCCESS)
        number = 0xFFFFFFFF;
    RegCloseKey(key);
    return number;
}

void freshRegistry(const std::string &directory)
{
    HKEY key = openProgramKey();

    for (const char *name : {"LastChecked", "LastCheckedYear", "Advent", "Twelve"})
        RegDeleteValueA(key, name);
    RegSetValueExA(key, "InstallDir", 0, REG_SZ, (const BYTE *)directory.c_str(),
                   (DWORD)directory.size() + 1);
    RegCloseKey(key);
}

std::string installedFile(const std::string &installation, const std::string &file)
{
    return installation + "\\" + file;
}

std::string makeInstallation(const std::string &name, const std::vector<std::string> &leaveOut)
{
    std::string target = windowsPath(std::string(TINDLE_BUILD_DIR) + "/e2e-install/" + name);
    std::vector<std::string> files = {"active.bmp", "clickall.bmp", "clikhere.bmp", "credits.bmp",
                                      "plate.bmp",  "pud.bmp",      "setup.bmp",    "theend.bmp"};
    char clip[16];

    CreateDirectoryA(windowsPath(std::string(TINDLE_BUILD_DIR) + "/e2e-install").c_str(), NULL);
    CreateDirectoryA(target.c_str(), NULL);
    for (const std::string &file : files) {
        std::string copy = installedFile(target, file);
        DeleteFileA(copy.c_str());
        if (std::find(leaveOut.begin(), leaveOut.end(), file) == leaveOut.end())
            CopyFileA(installedFile(windowsPath(TINDLE_INSTALL_DIR), file).c_str(), copy.c_str(),
                      FALSE);
    }
    for (int door = 1; door <= 24; door++) {
        snprintf(clip, sizeof clip, "%02d.avi", door);
        std::string copy = installedFile(target, clip);
        DeleteFileA(copy.c_str());
        if (std::find(leaveOut.begin(), leaveOut.end(), clip) == leaveOut.end())
            CopyFileA(installedFile(windowsPath(TINDLE_SHORT_CLIPS), clip).c_str(), copy.c_str(),
                      FALSE);
    }
    return target;
}

int originX()
{
    return GetSystemMetrics(SM_CXSCREEN) / 2 - 320;
}

int originY()
{
    return GetSystemMetrics(SM_CYSCREEN) / 2 - 240;
}

HWND startSaver(Child &saver, const char *localTime, const char *arguments)
{
    std::string clock = std::string("TINDLE_CLOCK=") + localTime;

    // Away from the click area, so that a later click there is a real move.
    SetCursorPos(originX() + 20, originY() + 20);
    if (!saver.start(windowsPath(TINDLE_CLOCK_SCR), arguments, {clock}))
        return NULL;
    return waitForWindow(saver.pid(), "WindowsScreenSaverClass", "Screen Saver", 15000);
}

COLORREF pictureSpacePixel(int x, int y)
{
    return screenPixel(originX() + x, originY() + y);
}

bool waitForColour(int x, int y, COLORREF colour, DWORD timeoutMs)
{
    return waitUntil(timeoutMs, [&] { return pictureSpacePixel(x, y) == colour; });
}

struct ClipSearch {
    HWND saver;
    RECT shown;
    bool found;
};

static BOOL CALLBACK findShownChild(HWND child, LPARAM data)
{
    ClipSearch *search = (ClipSearch *)data;

    if (!IsWindowVisible(child))
        return TRUE;
    GetWindowRect(child, &search->shown);
    MapWindowPoints(HWND_DESKTOP, search->saver, (POINT *)&search->shown, 2);
    search->found = true;
    return FALSE;
}

int clipDoor(HWND saver)
{
    ClipSearch search = {saver, {}, false};

    EnumChildWindows(saver, findShownChild, (LPARAM)&search);
    if (!search.found)
        return -1;
    for (int door = 0; door < 24; door++)
        if (search.shown.left == originX() + doorCorners[door].x &&
            search.shown.top == originY() + doorCorners[door].y)
            return door;
    return -2;
}

bool waitForClipDoor(HWND saver, int door, DWORD timeoutMs)
{
    return waitUntil(timeoutMs, [&] { return clipDoor(saver) == door; });
}

Snapshot::Snapshot()
    : width(GetSystemMetrics(SM_CXSCREEN)), height(GetSystemMetrics(SM_CYSCREEN))
{
    BITMAPINFO info = {};
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void *bits;
    HBITMAP bitmap;

    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    pixels.assign((DWORD *)bits, (DWORD *)bits + (size_t)width * height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

COLORREF Snapshot::at(int x, int y) const
{
    x += originX();
    y += originY();
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    DWORD bgrx = pixels[(size_t)y * width + x];
    return RGB((bgrx >> 16) & 255, (bgrx >> 8) & 255, bgrx & 255);
}

int Snapshot::mismatches(const Picture &picture, int left, int top, const RECT &area) const
{
    int count = 0;

    for (int y = area.top; y < area.bottom; y += 5)
        for (int x = area.left; x < area.right; x += 5)
            if (at(x, y) != picture.at(x - left, y - top))
                count++;
    return count;
}

bool Snapshot::doorShows(const Picture &picture, int left, int top, int door) const
{
    RECT area = {doorCorners[door].x + 2, doorCorners[door].y + 2, doorCorners[door].x + 70,
                 doorCorners[door].y + 70};

    return mismatches(picture, left, top, area) == 0;
}

bool Snapshot::doorHasFrame(int door) const
{
    int x = doorCorners[door].x, y = doorCorners[door].y;

    return at(x - 1, y + 36) == ORANGE && at(x + 36, y - 1) == ORANGE &&
           at(x + 73, y + 36) == ORANGE && at(x + 36, y + 73) == ORANGE;
}

int Snapshot::numberPixels(int door) const
{
    int count = 0;

    for (int y = doorCorners[door].y + 40; y < doorCorners[door].y + 72; y++)
        for (int x = doorCorners[door].x + 6; x < doorCorners[door].x + 40; x++)
            if (at(x, y) == ORANGE)
                count++;
    return count;
}

const Picture &installedPicture(const char *name)
{
    static std::map<std::string, Picture> pictures;
    auto found = pictures.find(name);

    if (found == pictures.end()) {
        found = pictures.emplace(name, Picture()).first;
        found->second.loadFile(installedFile(windowsPath(TINDLE_INSTALL_DIR), name));
    }
    return found->second;
}

const Picture &thumbnail(int door)
{
    static std::vector<Picture> pictures;

    if (pictures.empty()) {
        HMODULE saver = LoadLibraryExA(windowsPath(TINDLE_CLOCK_SCR).c_str(), NULL,
                                       LOAD_LIBRARY_AS_DATAFILE);
        char name[32];

        pictures.resize(24);
        for (int i = 0; i < 24; i++) {
            snprintf(name, sizeof name, "DIB_FIRSTFRAMES%d", i);
            pictures[i].loadResource(saver, "DIB", name);
        }
        FreeLibrary(saver);
    }
    return pictures[door];
}

bool doorShowsBackground(const Snapshot &shot, const char *background, int door)
{
    const Picture &p = installedPicture(background);
    RECT around = {doorCorners[door].x - 2, doorCorners[door].y - 2, doorCorners[door].x + 75,
                   doorCorners[door].y + 75};

    return shot.mismatches(p, centredLeft(p), centredTop(p), around) == 0;
}

bool doorShowsThumbnail(const Snapshot &shot, int door)
{
    return shot.doorShows(thumbnail(door), doorCorners[door].x, doorCorners[door].y, door);
}

bool cornerShows(const Snapshot &shot, const char *name)
{
    const Picture &p = installedPicture(name);
    RECT area = {cornerLeft(p), cornerTop(p), 640, 480};

    return shot.mismatches(p, cornerLeft(p), cornerTop(p), area) == 0;
}

bool waitForBackground(const char *name)
{
    const Picture &p = installedPicture(name);

    return waitForColour(320, 240, p.at(p.width() / 2, p.height() / 2), 10000);
}

void clickAt(int x, int y)
{
    SetCursorPos(originX() + x, originY() + y);
    pumpMessages(100);
    mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

void clickCornerPicture()
{
    clickAt(585, 430);
}

} // namespace calendar
