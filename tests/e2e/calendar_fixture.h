// The calendar's end-to-end tests: the saver's test variant with its clock
// set, a test installation with short clips, the program's registry values,
// and the screen read back door by door.
#ifndef TINDLE_TESTS_CALENDAR_FIXTURE_H
#define TINDLE_TESTS_CALENDAR_FIXTURE_H

#include "harness.h"

namespace calendar
{

// progress() gives "LastCheckedYear LastChecked Advent Twelve", -1 missing.
void setLastChecked(DWORD day); // in 2026
std::string progress();
// A new key, with the rights a new key gets, holding only InstallDir = directory.
void freshRegistry(const std::string &directory);
// A test installation (Windows path) of the pictures and short clips, less leaveOut.
std::string makeInstallation(const std::string &name, const std::string &leaveOut = "");
// The saver's test variant at localTime ("YYYY-MM-DD HH:MM:SS"): its window or null.
HWND startSaver(harness::Child &saver, const char *localTime, const char *arguments = "/s");

// A bitmap read independently of the saver, its pixels as pixelsOf gives them.
struct Picture {
    int width, height;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const; // from the top-left corner; CLR_INVALID outside
};
const Picture &installedPicture(const char *name);

// The factor by which the calendar is expected enlarged: each point of the picture space a block
// of scale x scale pixels.
extern int scale;
// The picture space on the primary monitor, and a click exactly at one of its points.
int originX();
int originY();
void clickAt(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN);

// The rectangle around the monitors.
RECT allMonitors();
void moveTo(const RECT &monitor); // the cursor to its middle
// "WxH+X+Y" (0x0: off) for \\.\DISPLAY1, 2, ... in one change, as the
// display settings make it; false when refused.
bool setLayout(const char *layout);
// A white window of the user's over every monitor, below the saver; again
// after each change of the monitors.
void coverDesktop();

// The whole screen at one moment, in picture-space coordinates.
class Snapshot
{
  public:
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

  private:
    // Grid points of area unlike picture at (left, top); skipDoors leaves out
    // the doors with their frames and the corner picture.
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
