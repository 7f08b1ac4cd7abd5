// Renders each presentation of the real saver (its test variant, on the
// chosen dates, with the real installation) into bitmap files:
//   calendar_screenshots DIRECTORY
// `./dev screenshots` turns them into the pictures in docs/.
#include <stdio.h>

#include <string>
#include <vector>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

static bool saveScreen(const std::string &path, int left, int top, int width, int height)
{
    BITMAPINFO info = {};
    BITMAPFILEHEADER file = {};
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    void *bits;
    DWORD size = (DWORD)((width * 3 + 3) / 4 * 4 * height);
    FILE *out;

    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biSizeImage = size;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    GdiFlush();
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    out = fopen(path.c_str(), "wb");
    if (out != NULL) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(bits, size, 1, out);
        fclose(out);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    printf("%s%s\n", out ? "" : "cannot write ", path.c_str());
    return out != NULL;
}

static std::string directory;

static bool savePictureSpace(const char *name)
{
    return saveScreen(directory + "\\" + name + ".bmp", originX(), originY(), 640, 480);
}

// Starts the saver on a date, lets it settle and saves the screen.
// null when the saver did not start or the screen could not be saved.
static HWND show(Child &saver, const char *localTime, DWORD lastChecked, const char *name)
{
    setLastChecked(lastChecked);
    HWND window = startSaver(saver, localTime);
    pumpMessages(2500);
    return window != NULL && savePictureSpace(name) ? window : NULL;
}

static void close(Child &saver)
{
    pressKey(VK_ESCAPE);
    saver.waitExit(10000);
}

int main(int argc, char **argv)
{
    Child saver;
    HWND window;
    int failed = 0;

    if (argc != 2) {
        fprintf(stderr, "usage: calendar_screenshots DIRECTORY\n");
        return 2;
    }
    directory = argv[1];
    freshRegistry(windowsPath(TINDLE_INSTALL_DIR));

    window = show(saver, "2026-12-10 12:00:00", 4, "advent-pending");
    clickCornerPicture();
    failed += window == NULL || !waitForClipDoor(window, 9, 5000);
    pumpMessages(400);
    failed += !savePictureSpace("advent-opened");
    close(saver);

    window = show(saver, "2026-12-27 12:00:00", 0, "twelve-before");
    clickCornerPicture();
    failed += window == NULL || !waitForClipDoor(window, 0, 5000);
    pumpMessages(400);
    failed += !savePictureSpace("twelve-after");
    close(saver);

    failed += show(saver, "1996-11-15 12:00:00", 0, "november-1996") == NULL;
    close(saver);
    failed += show(saver, "2026-07-01 12:00:00", 0, "season-over") == NULL;
    close(saver);
    return failed ? 1 : 0;
}
