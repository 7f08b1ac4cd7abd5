// What the calendar's end-to-end tests share: the saver's test variant with
// its clock set, a test installation with short clips, the program's
// registry values, the pictures the screen should show, and where the clip
// window stands.
#ifndef TINDLE_TESTS_CALENDAR_FIXTURE_H
#define TINDLE_TESTS_CALENDAR_FIXTURE_H

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace calendar {

// The door corners of the 640 x 480 picture space, door 1 first.
extern const POINT doorCorners[24];

// Orange, the colour of door frames and day numbers on a true-colour display.
const COLORREF ORANGE = RGB(255, 95, 0);

// A bitmap as the saver draws it, read independently of the saver's own code
// from a file or a "DIB" resource: 4, 8 or 24 bits per pixel, uncompressed.
class Picture {
public:
    bool loadFile(const std::string &path);
    bool loadResource(HMODULE module, const char *type, const char *name);
    int width() const { return header.biWidth; }
    int height() const { return header.biHeight; }
    // The colour at (x, y), counted from the top-left corner.
    COLORREF at(int x, int y) const;

private:
    bool parse(const unsigned char *data, size_t size);

    BITMAPINFOHEADER header = {};
    std::vector<RGBQUAD> table;
    std::vector<unsigned char> pixels;
    size_t stride = 0;
};

// The program's values under HKEY_LOCAL_MACHINE "Software\Brackwell\Tindle".
void setValue(const char *name, DWORD value);
// The value, or all ones when it does not exist.
DWORD value(const char *name);
// Records that the doors up to day were last opened in December 2026.
void setLastChecked(DWORD day);
// Removes the calendar's four values and points InstallDir at directory.
void freshRegistry(const std::string &directory);

// A test installation directory (Windows path) under the build tree with the
// installed pictures and short clips, without the files named in leaveOut.
std::string makeInstallation(const std::string &name, const std::vector<std::string> &leaveOut = {});
std::string installedFile(const std::string &installation, const std::string &file);

// Where the picture space lies on a screen of the current size.
// Starts the saver in July on installation and answers its "Error" box;
// the box's text, or "" when none came.
std::string julyStartReport(harness::Child &saver, const std::string &installation);

int originX();
int originY();

// Starts the test variant of the saver at localTime ("YYYY-MM-DD HH:MM:SS")
// with the given command line; null when no saver window came.
HWND startSaver(harness::Child &saver, const char *localTime, const char *arguments = "/s");
// Waits until the screen at picture point (x, y) shows colour.
bool waitForColour(int x, int y, COLORREF colour, DWORD timeoutMs);

// The door whose corner the shown clip window's top-left is on, -1 when no
// clip window is shown, -2 when it stands anywhere else.
int clipDoor(HWND saver);
bool waitForClipDoor(HWND saver, int door, DWORD timeoutMs);

// Screen colour at a point of the picture space.
COLORREF pictureSpacePixel(int x, int y);

// The whole screen at one moment, read in picture-space coordinates.
class Snapshot {
public:
    Snapshot();
    COLORREF at(int x, int y) const;
    // How many of a grid of points in the picture-space rectangle area differ
    // from picture placed with its top-left corner at (left, top).
    int mismatches(const Picture &picture, int left, int top, const RECT &area) const;
    // The door's square, less the two pixels next to its frame, shows picture.
    bool doorShows(const Picture &picture, int left, int top, int door) const;
    bool doorHasFrame(int door) const;
    // Orange pixels in the door's bottom-left corner, where the day number is.
    int numberPixels(int door) const;

private:
    std::vector<DWORD> pixels;
    int width, height;
};

// The installed picture file of that name, and the thumbnail of a door
// compiled into the saver, both read once.
const Picture &installedPicture(const char *name);
const Picture &thumbnail(int door);

// Where the saver puts a picture of that size: centred in the picture space,
// or with its bottom-right corner on the picture space's.
inline int centredLeft(const Picture &p) { return 320 - p.width() / 2; }
inline int centredTop(const Picture &p) { return 240 - p.height() / 2; }
inline int cornerLeft(const Picture &p) { return 640 - p.width(); }
inline int cornerTop(const Picture &p) { return 480 - p.height(); }

// The door and its frame's place show the centred background, unframed.
bool doorShowsBackground(const Snapshot &shot, const char *background, int door);
bool doorShowsThumbnail(const Snapshot &shot, int door);
bool cornerShows(const Snapshot &shot, const char *name);
// Waits for the first drawing: the background's colour at the centre.
bool waitForBackground(const char *name);
// A left click at a point of the picture space, exactly there: relative
// mouse movements are accelerated.
void clickAt(int x, int y);
// A left click in the middle of the corner picture.
void clickCornerPicture();

} // namespace calendar

#endif
