#include "calendar_fixture.h"

#include <stdio.h>

#include <algorithm>
#include <map>

using namespace harness;

namespace calendar
{

static const POINT doorCorners[24] = {
    // in the picture space
    {148, 17},  {238, 209}, {328, 105}, {59, 299},  {418, 299}, {508, 17},  {328, 283}, {238, 121},
    {148, 283}, {418, 121}, {148, 195}, {59, 121},  {328, 195}, {508, 105}, {238, 299}, {59, 209},
    {418, 209}, {59, 388},  {328, 17},  {148, 105}, {238, 383}, {508, 195}, {418, 388}, {508, 283},
};
static const COLORREF ORANGE = RGB(255, 95, 0);
static const char key[] = "Software\\Brackwell\\Tindle";

void setLastChecked(DWORD day)
{
    DWORD year = 126;
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "LastCheckedYear", REG_DWORD, &year, 4);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "LastChecked", REG_DWORD, &day, 4);
}

std::string progress()
{
    std::string text;
    for (const char *name : {"LastCheckedYear", "LastChecked", "Advent", "Twelve"}) {
        std::string value = registryText(HKEY_LOCAL_MACHINE, key, name);
        text += (value == "<missing>" ? "-1" : value) + (name[0] == 'T' ? "" : " ");
    }
    return text;
}

void freshRegistry(const std::string &directory)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "InstallDir", REG_SZ, directory.c_str(),
                    directory.size() + 1);
}

std::string makeInstallation(const std::string &name, const std::string &leaveOut)
{
    std::string target = windowsPath(TINDLE_BUILD_DIR "/e2e-install/" + name);
    WIN32_FIND_DATAA found;

    CreateDirectoryA(windowsPath(TINDLE_BUILD_DIR "/e2e-install").c_str(), NULL);
    CreateDirectoryA(target.c_str(), NULL);
    for (const char *from : {TINDLE_INSTALL_DIR "/*.bmp", TINDLE_SHORT_CLIPS "/*.avi"}) {
        std::string pattern = windowsPath(from);
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileA(search, &found)) {
            std::string file = target + "\\" + found.cFileName;
            DeleteFileA(file.c_str());
            if (leaveOut != found.cFileName)
                CopyFileA((pattern.substr(0, pattern.size() - 5) + found.cFileName).c_str(),
                          file.c_str(), FALSE);
        }
        FindClose(search);
    }
    return target;
}

HWND startSaver(Child &saver, const char *localTime, const char *arguments)
{
    jumpTo(originX() + 20, originY() + 20); // so that a click there is a move
    if (!saver.start(windowsPath(TINDLE_CLOCK_SCR), arguments,
                     {"TINDLE_CLOCK=" + std::string(localTime)}))
        return NULL;
    return waitForWindow(saver.pid(), "WindowsScreenSaverClass", "Screen Saver", 15000);
}

// Windows' own reading of a bitmap, not the saver's.
static Picture pictureOf(HBITMAP bitmap)
{
    BITMAP size = {};
    HDC dc = CreateCompatibleDC(NULL);
    GetObjectA(bitmap, sizeof size, &size);
    SelectObject(dc, bitmap);
    Picture picture = {size.bmWidth, size.bmHeight,
                       pixelsOf(dc, 0, 0, size.bmWidth, size.bmHeight)};
    DeleteDC(dc);
    DeleteObject(bitmap);
    return picture;
}

COLORREF Picture::at(int x, int y) const
{
    return x < 0 || y < 0 || x >= width || y >= height ? CLR_INVALID : pixels[y * width + x];
}

const Picture &installedPicture(const char *name)
{
    static std::map<std::string, Picture> pictures;
    std::string path = windowsPath(TINDLE_INSTALL_DIR "/") + name;
    if (!pictures.count(name))
        pictures[name] = pictureOf((HBITMAP)LoadImageA(NULL, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                       LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    return pictures[name];
}

static const Picture &thumbnail(int door) // compiled into the saver
{
    static std::vector<Picture> pictures(24);
    static HMODULE saver =
        LoadLibraryExA(windowsPath(TINDLE_CLOCK_SCR).c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    char name[32];
    snprintf(name, sizeof name, "DIB_FIRSTFRAMES%d", door);
    if (pictures[door].pixels.empty()) {
        const BITMAPFILEHEADER *file = (const BITMAPFILEHEADER *)LockResource(
            LoadResource(saver, FindResourceA(saver, name, "DIB")));
        const BITMAPINFO *dib = (const BITMAPINFO *)(file + 1);
        const char *bits = (const char *)file + file->bfOffBits;
        HDC screen = GetDC(NULL);
        pictures[door] =
            pictureOf(CreateDIBitmap(screen, &dib->bmiHeader, CBM_INIT, bits, dib, DIB_RGB_COLORS));
        ReleaseDC(NULL, screen);
    }
    return pictures[door];
}

int scale = 1;

int originX()
{
    return GetSystemMetrics(SM_CXSCREEN) / 2 - 320 * scale;
}
int originY()
{
    return GetSystemMetrics(SM_CYSCREEN) / 2 - 240 * scale;
}

// Relative movements are accelerated; this lands exactly.
void clickAt(int x, int y, DWORD down)
{
    jumpTo(originX() + scale * x, originY() + scale * y);
    mouseButton(down);
}

RECT allMonitors()
{
    RECT all = {};
    for (const RECT &monitor : monitors())
        UnionRect(&all, &all, &monitor);
    return all;
}

void moveTo(const RECT &monitor)
{
    jumpTo((monitor.left + monitor.right) / 2, (monitor.top + monitor.bottom) / 2);
}

static bool shownClip(HWND saver, RECT *shown)
{
    HWND clip = GetWindow(saver, GW_CHILD);
    while (clip && !IsWindowVisible(clip))
        clip = GetWindow(clip, GW_HWNDNEXT);
    return clip && GetWindowRect(clip, shown);
}

Snapshot::Snapshot()
    : left(GetSystemMetrics(SM_XVIRTUALSCREEN)), top(GetSystemMetrics(SM_YVIRTUALSCREEN)),
      width(GetSystemMetrics(SM_CXVIRTUALSCREEN)), height(GetSystemMetrics(SM_CYVIRTUALSCREEN)),
      x0(originX()), y0(originY()), k(scale)
{
    if (shownClip(FindWindowA("WindowsScreenSaverClass", NULL), &clip))
        SetRect(&clip, (clip.left - x0) / k, (clip.top - y0) / k, (clip.right - x0) / k,
                (clip.bottom - y0) / k);
    HDC screen = GetDC(NULL);
    pixels = pixelsOf(screen, left, top, width, height);
    ReleaseDC(NULL, screen);
}

COLORREF Snapshot::at(int x, int y) const
{
    COLORREF first = CLR_INVALID;
    for (int i = 0; i < k * k; i++) {
        int sx = x0 - left + k * x + i % k;
        int sy = y0 - top + k * y + i / k;
        COLORREF colour =
            sx < 0 || sy < 0 || sx >= width || sy >= height ? CLR_INVALID : pixels[sy * width + sx];
        if (i > 0 && colour != first)
            return CLR_INVALID;
        first = colour;
    }
    return first;
}

int Snapshot::differences(const Snapshot &plain) const
{
    int count = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            POINT p = {x, y};
            count += !PtInRect(&clip, p) && !PtInRect(&plain.clip, p) && at(x, y) != plain.at(x, y);
        }
    return count;
}

int Snapshot::litAround() const
{
    int count = 0;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            int px = x + left - x0, py = y + top - y0;
            count += (px < 0 || py < 0 || px >= 640 * k || py >= 480 * k) &&
                     (pixels[y * width + x] & 0xFFFFFF);
        }
    return count;
}

static bool skipped(int x, int y)
{
    for (const POINT &c : doorCorners)
        if (x >= c.x - 3 && x < c.x + 75 && y >= c.y - 3 && y < c.y + 75)
            return true;
    return x >= 530 && y >= 380;
}

int Snapshot::mismatches(const Picture &picture, int left, int top, RECT area, bool skipDoors) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; y += 5)
        for (int x = area.left; x < area.right; x += 5)
            count += !(skipDoors && skipped(x, y)) && at(x, y) != picture.at(x - left, y - top);
    return count;
}

bool Snapshot::shows(const char *name, bool inCorner) const
{
    const Picture &p = installedPicture(name);
    int left = inCorner ? 640 - p.width : 320 - p.width / 2,
        top = inCorner ? 480 - p.height : 240 - p.height / 2;
    return mismatches(p, left, top, {left, top, left + p.width, top + p.height}, !inCorner) == 0;
}

std::string Snapshot::doors(const char *background) const
{
    const Picture &back = installedPicture(background);
    int bx = 320 - back.width / 2, by = 240 - back.height / 2;
    std::string shown;

    for (int door = 0; door < 24; door++) {
        int x = doorCorners[door].x, y = doorCorners[door].y, number = 0;
        bool frame = at(x - 1, y + 36) == ORANGE && at(x + 36, y - 1) == ORANGE &&
                     at(x + 73, y + 36) == ORANGE && at(x + 36, y + 73) == ORANGE;
        for (int ny = y + 40; ny < y + 72; ny++) // the day number's corner
            for (int nx = x + 6; nx < x + 40; nx++)
                number += at(nx, ny) == ORANGE;
        if (!frame)
            shown += mismatches(back, bx, by, {x - 2, y - 2, x + 75, y + 75}) ? '?' : '.';
        else if (!mismatches(thumbnail(door), x, y, {x + 2, y + 2, x + 70, y + 70}))
            shown += 'o';
        else if (mismatches(back, bx, by, {x + 2, y + 2, x + 70, y + 36}))
            shown += 'c';
        else
            shown += number > 5 ? 'p' : '?'; // not an open door's closed picture
    }
    if (std::count(shown.begin(), shown.end(), 'c') == 1)
        shown[shown.find('c')] = 'o';
    return shown;
}

int clipDoor(HWND saver)
{
    RECT shown;
    if (!shownClip(saver, &shown))
        return -1;
    for (int door = 0; door < 24; door++)
        if (shown.left == originX() + scale * doorCorners[door].x &&
            shown.top == originY() + scale * doorCorners[door].y &&
            shown.right - shown.left == 72 * scale && shown.bottom - shown.top == 72 * scale)
            return door;
    return -2;
}

} // namespace calendar
