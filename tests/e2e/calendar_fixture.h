// The calendar's end-to-end tests: the saver's test variant with its clock
// set, a test installation with short clips, the registry, and the screen
// read back door by door.
#ifndef TINDLE_TESTS_CALENDAR_FIXTURE_H
#define TINDLE_TESTS_CALENDAR_FIXTURE_H

#include "harness.h"

namespace calendar
{

void setLastChecked(DWORD day); // in 2026
// "LastCheckedYear LastChecked Advent Twelve", -1 missing.
std::string progress();
// A new key holding only InstallDir = directory.
void freshRegistry(const std::string &directory);
// A test installation (Windows path) of the pictures and short clips, less leaveOut.
std::string makeInstallation(const std::string &name, const std::string &leaveOut = "");
// The saver's test variant at localTime ("YYYY-MM-DD HH:MM:SS"): its window or null.
HWND startSaver(harness::Child &saver, const char *localTime, const char *arguments = "/s");

// A bitmap as Windows reads it, top row first.
struct Picture {
    int width, height;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const; // CLR_INVALID outside
};
const Picture &installedPicture(const char *name);

// The expected enlargement: each point of the picture space a block of scale x scale pixels.
extern int scale;
// The picture space's top-left corner on the screen, and a click exactly at one of its points.
int originX();
int originY();
void clickAt(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN);

RECT allMonitors();
void moveTo(const RECT &monitor); // the cursor to its middle

// The whole screen at one moment, in picture-space coordinates.
struct Snapshot {
    Snapshot();
    COLORREF at(int x, int y) const; // CLR_INVALID where its block is not of one colour
    // Picture-space points unlike plain's, outside the clip shown in either.
    int differences(const Snapshot &plain) const;
    bool shows(const char *name, bool inCorner) const; // else centred
    int litAround() const; // pixels outside the picture space, on any monitor, not black
    // Per door: '.' the background unframed, 'o' framed with its thumbnail
    // (or the one clip), 'p' framed and numbered, 'c' framed with anything
    // but the background, '?' none of these.
    std::string doors(const char *background) const;
    // Grid points of area unlike picture at (left, top), less the doors and corner if skipDoors.
    int mismatches(const Picture &picture, int left, int top, RECT area,
                   bool skipDoors = false) const;

    std::vector<COLORREF> pixels;
    int left, top, width, height, x0, y0, k;
    RECT clip = {}; // in picture space
};
// The door on whose corner the shown clip stands, at scale times its size; -1 none, -2 elsewhere.
int clipDoor(HWND saver);

} // namespace calendar

#endif
