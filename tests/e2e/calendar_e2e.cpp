// The saver's test variant as the user sees it, a row per start: the screen, clip and registry
// at the start, after a click and after each change of the monitors; then the input that closes
// it, or its error box and exit status.  256 colours: the palette rows; three monitors: layouts.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

static const char PROGRAM[] = "Software\\Brackwell\\Tindle";
enum Close { KEY, RIGHT_BUTTON, LEFT_OUTSIDE, LEFT_ABOVE, LEFT_ELSEWHERE, MOVE };
// Clicks in the picture space: none, the corner picture's middle, its top-left and bottom-right.
enum Place { NO_CLICK, MIDDLE, TOP_LEFT, BOTTOM_RIGHT };
static const POINT places[] = {{0, 0}, {585, 430}, {530, 380}, {639, 479}};
enum Flags { PALETTE = 1, READ_ONLY = 2 }; // READ_ONLY: the key as a standard user may find it

struct Row {
    const char *what, *date;
    int lastDay;                                        // -1: no values at all
    const char *background, *corner, *doors, *progress; // null: not read
    int clip;                                           // -1: none
    Place click, again;
    const char *doorsAfter, *progressAfter;
    int clipAfter;
    Close close;
    const char *leaveOut = ""; // from the test installation
    int flags = 0;
    // "K[-]:layout|...": the factor expected at each layout (setLayout), '-' where the user keeps
    // the calendar at its own size; the first before the start, the others after the click.
    const char *layouts = nullptr;
};

static const std::string none(24, '.');
static const std::string all(24, 'o');
static const char *const OPEN = "ooooooooop..............";
static const char *const OPENED = "oooooooooo..............";
static const Row rows[] = {
    {"10 December", "2026-12-10 12:00:00", 4, "pud.bmp", "clikhere.bmp", OPEN, "126 9 0 0", 0,
     BOTTOM_RIGHT, TOP_LEFT, OPENED, "126 10 0 0", 9, LEFT_ABOVE},
    {"a first run on 1 December", "1996-12-01 08:00:00", -1, "pud.bmp", "clikhere.bmp",
     "p.......................", "96 0 0 0", -1, TOP_LEFT, MIDDLE, "o.......................",
     "96 1 0 0", 0, LEFT_OUTSIDE},
    {"Twelve days", "2026-12-27 20:00:00", 0, "plate.bmp", "clickall.bmp", none.c_str(),
     "126 0 0 0", -1, MIDDLE, MIDDLE, all.c_str(), "126 0 0 0", 0, RIGHT_BUTTON},
    {"November 1996", "1996-11-15 10:00:00", 0, "pud.bmp", "active.bmp", none.c_str(), "126 0 0 0",
     -1, NO_CLICK, NO_CLICK, nullptr, nullptr, -1, MOVE},
    {"season over; no corner picture needed", "2027-01-06 00:00:30", 0, "theend.bmp", nullptr,
     nullptr, "126 0 0 0", -1, NO_CLICK, NO_CLICK, nullptr, nullptr, -1, MOVE, "clikhere.bmp"},
    // Five seconds before midnight: a click comes before it, and the screen is read after
    // the first date check past it (00:00:05), the mouse left alone.
    {"into Christmas: every door opens", "2026-12-24 23:59:55", 20, "plate.bmp", "clickall.bmp",
     all.c_str(), "126 23 0 0", 0, NO_CLICK, NO_CLICK, nullptr, nullptr, -1, KEY},
    {"door 1 waited on 1 December, opens on the 2nd", "2026-12-01 23:59:55", 0, "pud.bmp",
     "clikhere.bmp", "op......................", "126 1 0 0", 0, NO_CLICK, NO_CLICK, nullptr,
     nullptr, -1, KEY},
    {"out of the Twelve days with the clips playing", "2027-01-05 23:59:55", 0, "theend.bmp",
     nullptr, none.c_str(), "126 0 0 0", -1, MIDDLE, NO_CLICK, nullptr, nullptr, -1, KEY},
    // Nothing recorded, and last year's door 24 is not this year's.
    {"a key the user may only read", "2027-12-10 12:00:00", 24, "pud.bmp", "clikhere.bmp", OPEN,
     "126 24 -1 -1", 0, MIDDLE, NO_CLICK, OPENED, "126 24 -1 -1", 9, KEY, "", READ_ONLY},
    {"256 colours", "2026-12-10 12:00:00", 4, nullptr, nullptr, nullptr, "126 9 0 0", 0, MIDDLE,
     NO_CLICK, nullptr, "126 10 0 0", 9, KEY, "", PALETTE},
    {"three monitors", "2026-12-10 12:00:00", 4, "pud.bmp", "clikhere.bmp", OPEN, "126 9 0 0", 0,
     MIDDLE, NO_CLICK, OPENED, "126 10 0 0", 9, LEFT_ELSEWHERE, "", 0,
     "2:1920x1080+0+0 800x600-800+0 640x480+1920+0|1:1024x768+0+0 800x600-800+0 640x480+1024+0|"
     "1:1024x768+0+0 0x0+0+0 640x480+1024+0|1:800x600+0+0 0x0+0+0 640x480+800+0|"
     "1:800x600+0+0 800x600-800+0 640x480+800+0|4:3840x2160+0+0 800x600-800+0 640x480+3840+0|"
     "2:1920x1080+0+0 800x600-800+0 640x480+1920+0|1-:3840x2160+0+0 800x600-800+0 0x0+0+0|"
     "2:1920x1080+0+0 800x600-800+0 640x480+1920+0"},
};

// Starts that end in an "Error" box: its text (a left-out picture's path behind it) and the
// exit status; "-" the test installation less leaveOut.
static const std::string longDir = "C:\\" + std::string(250, 'd') + "\\";
static const char *const ASSET = "error, resource unavailable, Cannot load asset ";
static const struct {
    const char *what, *date;
    Place click;
    const char *leaveOut;
    std::string installDir, box;
    DWORD status;
    bool palette;
} boxes[] = {
    {"a missing clip", "2026-12-05 12:00:00", MIDDLE, "05.avi", "-",
     "error, MCI error: ", 0xFFFFFFFF, false},
    {"no installation directory", "2026-07-01 12:00:00", NO_CLICK, "", "",
     "error, Invalid installation - cannot find installation directory", 3, false},
    {"a long directory", "2026-07-01 12:00:00", NO_CLICK, "", longDir,
     ASSET + (longDir + "theend.bmp").substr(0, MAX_PATH - 1), 3, false},
    {"the palette comes from the corner picture", "2026-07-01 12:00:00", NO_CLICK, "clikhere.bmp",
     "-", ASSET, 3, true},
};

static bool cursorShown()
{
    CURSORINFO cursor = {sizeof cursor};
    return GetCursorInfo(&cursor) && cursor.hCursor && (cursor.flags & CURSOR_SHOWING);
}

// Wine, like Windows, maps the GDI handle table into the process and points to it from the PEB;
// a live object's entry (24 bytes) has a type at byte 14.  A 32-bit process of a 64-bit prefix
// has it in its 64-bit PEB, which Wine keeps a page below.
static int gdiObjects(HANDLE process)
{
    static std::vector<BYTE> table(0x10000 * 24);
    PROCESS_BASIC_INFORMATION basic;
    unsigned long long address = 0;
    int count = 0;

    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, NULL) ||
        !ReadProcessMemory(process, (char *)basic.PebBaseAddress + 0x94, &address, 4, NULL) ||
        (!address && !ReadProcessMemory(process, (char *)basic.PebBaseAddress - 0x1000 + 0xF8,
                                        &address, 8, NULL)) ||
        !ReadProcessMemory(process, (void *)(UINT_PTR)address, table.data(), table.size(), NULL))
        return -1;
    for (size_t type = 14; type < table.size(); type += 24)
        count += table[type] != 0;
    return count;
}

// The kernel handles pid holds (Wine answers GetProcessHandleCount with 0).
static int handleCount(DWORD pid)
{
    static std::vector<char> list(1 << 22);
    const SYSTEM_HANDLE_INFORMATION *handles = (const SYSTEM_HANDLE_INFORMATION *)list.data();

    if (NtQuerySystemInformation(SystemHandleInformation, list.data(), list.size(), NULL))
        return -1;
    return std::count_if(handles->Handle, handles->Handle + handles->Count,
                         [&](const SYSTEM_HANDLE_ENTRY &e) { return e.OwnerPid == pid; });
}

// The soak: with all doors open the clips play 1 to 24 over and over, with a pause after doors 1
// and 22, and neither GDI objects, handles nor memory grow.  Under qemu the emulator's code cache
// grows in the saver's private bytes with every cycle, so there only what the saver owns counts.
static void watchCycles(HWND window, DWORD pid, int cycles)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    bool emulated = emulatedRoute();
    PROCESS_MEMORY_COUNTERS first = {}, now = {};
    std::vector<int> order;
    std::vector<DWORD> since;
    std::vector<size_t> starts; // where door 1's clip comes round again
    int firstGdi = -1, firstHandles = -1;

    EXPECT_TRUE(waitUntil(cycles * 40000, [&] {
        int door = clipDoor(window), gdi = -1, handles = -1;
        if (door < 0 || (!order.empty() && order.back() == door))
            return false;
        order.push_back(door);
        since.push_back(GetTickCount());
        if (door == 0 && order.size() > 1) {
            starts.push_back(order.size() - 1);
            GetProcessMemoryInfo(process, firstGdi < 0 ? &first : &now, sizeof now);
            // A clip being opened holds objects for a moment; a leak stays.
            for (int tries = 0; tries < 10; tries++) {
                gdi = gdiObjects(process);
                handles = handleCount(pid);
                if (firstGdi < 0 || (gdi <= firstGdi && handles <= firstHandles))
                    break;
                Sleep(20);
            }
            printf("cycle %2d: private %6lu KB%s, GDI objects %d, handles %d\n", (int)starts.size(),
                   (unsigned long)(std::max(first.PagefileUsage, now.PagefileUsage) / 1024),
                   emulated ? " (not checked)" : "", gdi, handles);
            if (firstGdi < 0) {
                firstGdi = gdi;
                firstHandles = handles;
            }
            EXPECT_TRUE(gdi > 0 && gdi <= firstGdi) << gdi;
            EXPECT_TRUE(handles > 0 && handles <= firstHandles) << handles;
            EXPECT_TRUE(emulated || now.PagefileUsage <= first.PagefileUsage + 256 * 1024);
        }
        return starts.size() == (size_t)cycles;
    }));
    for (size_t door = 0, start = starts[0]; door < 24 && starts.size() > 1; door++) {
        EXPECT_EQ(order[start + door], (int)door);
        EXPECT_EQ(since[start + door + 1] - since[start + door] >= 1000, door == 0 || door == 21)
            << door + 1;
    }
    CloseHandle(process);
}

// "WxH+X+Y" (0x0: off) for \\.\DISPLAY1, 2, ... in one change, as the display settings make it.
static bool setLayout(const char *layout)
{
    DEVMODEA mode = {};
    char name[32];
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
    for (int display = 1, n;
         sscanf(layout, " %lux%lu%ld%ld%n", &mode.dmPelsWidth, &mode.dmPelsHeight,
                &mode.dmPosition.x, &mode.dmPosition.y, &n) == 4;
         display++) {
        layout += n;
        snprintf(name, sizeof name, "\\\\.\\DISPLAY%d", display);
        if (ChangeDisplaySettingsExA(name, &mode, NULL, CDS_UPDATEREGISTRY | CDS_NORESET, NULL))
            return false;
    }
    return ChangeDisplaySettingsExA(NULL, NULL, NULL, 0, NULL) == DISP_CHANGE_SUCCESSFUL;
}

// A white window of the user's over every monitor, below the saver.
static void coverDesktop()
{
    static HWND cover = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 0, 0, 0,
                                      0, NULL, NULL, NULL, NULL);
    RECT all = allMonitors();
    SetWindowPos(cover, NULL, all.left, all.top, all.right - all.left, all.bottom - all.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages(100);
}

static void (*const closers[])() = {
    [] { pressKey(VK_SPACE); },
    [] { clickAt(585, 430, MOUSEEVENTF_RIGHTDOWN); },
    [] { clickAt(529, 380); },
    [] { clickAt(530, 379); },
    [] {
        moveTo(monitors().back());
        mouseButton();
    },
    [] { moveMouseBy(20, 20); },
};

TEST(Calendar, Rows)
{
    ASSERT_TRUE(monitorsAsSetUp());
    HDC screen = GetDC(NULL);
    bool palette = GetDeviceCaps(screen, BITSPIXEL) == 8, several = monitors().size() > 1;
    ReleaseDC(NULL, screen);

    for (const auto &row : boxes) {
        if (row.palette != palette || several)
            continue;
        SCOPED_TRACE(row.what);
        std::string dir =
            row.installDir == "-" ? makeInstallation("calendar", row.leaveOut) : row.installDir;
        std::string expected =
            row.box + (strstr(row.leaveOut, ".bmp") ? dir + "\\" + row.leaveOut : "");
        Child saver;
        HWND box;
        freshRegistry(dir);
        if (dir.empty())
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, PROGRAM, "InstallDir");
        setLastChecked(4);
        if (row.click) {
            HWND window = startSaver(saver, row.date);
            EXPECT_TRUE(waitUntil(20000, [&] { return clipDoor(window) == 0; }));
            clickAt(places[row.click].x, places[row.click].y);
        } else {
            saver.start(windowsPath(TINDLE_CLOCK_SCR), "/s",
                        {"TINDLE_CLOCK=" + std::string(row.date)});
        }
        EXPECT_EQ(waitForErrorBox(saver.pid(), 15000, &box).substr(0, expected.size()), expected);
        EXPECT_TRUE(!dir.empty() || registryText(HKEY_LOCAL_MACHINE, PROGRAM, "InstallDir") == "");
        pressOk(box);
        EXPECT_EQ(saver.waitExit(10000), row.status);
    }
    for (const Row &row : rows) {
        if ((row.flags & PALETTE) != palette * PALETTE || !row.layouts == several)
            continue;
        SCOPED_TRACE(row.what);
        bool midnight = strstr(row.date, " 23:59:55") != nullptr;
        Child saver;
        HWND window = NULL;
        freshRegistry(makeInstallation("calendar", row.leaveOut));
        if (row.lastDay >= 0)
            setLastChecked(row.lastDay);
        if (row.flags & READ_ONLY) // readable by all and, for the next row, removable
            setKeyRights(PROGRAM, "D:P(A;;KR;;;WD)(A;;SD;;;WD)");
        // The next layout of the row, with the user's choice, which the calendar reads with it.
        const char *layout = row.layouts;
        auto arrange = [&] {
            DWORD enlarge = layout[1] != '-';
            RegSetKeyValueA(HKEY_CURRENT_USER, PROGRAM, "Enlarge", REG_DWORD, &enlarge, 4);
            scale = layout[0] - '0';
            bool set = setLayout(strchr(layout, ':') + 1);
            layout = strchr(layout, '|') ? strchr(layout, '|') + 1 : nullptr;
            return set;
        };
        scale = 1;
        ASSERT_TRUE(!layout || arrange());
        coverDesktop();
        ASSERT_NE(window = startSaver(saver, row.date), (HWND)NULL);
        DWORD started = GetTickCount();
        if (midnight && row.click)
            clickAt(places[row.click].x, places[row.click].y);
        EXPECT_TRUE(waitUntil(20000, [&] { return clipDoor(window) == row.clip; }));
        // The picture, black around it on every monitor, the corner picture and the doors.
        Snapshot shot, plain;
        auto expectShown = [&](const char *doors) {
            EXPECT_TRUE(waitUntil(20000,
                                  [&] {
                                      shot = Snapshot();
                                      return shot.shows(row.background, false) &&
                                             shot.litAround() == 0 &&
                                             (!row.corner || shot.shows(row.corner, true)) &&
                                             (!doors || shot.doors(row.background) == doors);
                                  }))
                << shot.litAround() << " " << shot.doors(row.background);
        };
        if (row.background)
            expectShown(row.doors);
        // The date is checked every ten seconds from the start, not as soon as midnight passes,
        // and what it shows then stays, a few clips later.
        EXPECT_TRUE(!midnight || GetTickCount() - started >= 6000) << GetTickCount() - started;
        if (midnight) {
            pumpMessages(2000);
            expectShown(row.doors);
        }
        EXPECT_STREQ(row.progress ? progress().c_str() : nullptr, row.progress);
        DWORD lastInput = GetTickCount();
        // The seasons keep the mouse and show the arrow on every monitor, looked for while the
        // mouse moves: a clip's change repaints the window, and the host's paint hides the cursor.
        for (size_t i = 0; row.close != MOVE && !midnight && i < monitors().size(); i++) {
            moveTo(monitors()[i]);
            moveMouseBy(40, 40);
            EXPECT_TRUE(waitUntil(2000, [] {
                moveMouseBy(1, 0);
                return cursorShown();
            }));
        }
        if (row.click && !midnight) {
            clickAt(places[row.click].x, places[row.click].y);
            EXPECT_TRUE(row.clipAfter < 0 ||
                        waitUntil(5000, [&] { return clipDoor(window) == row.clipAfter; }));
            if (row.doorsAfter)
                expectShown(row.doorsAfter);
            EXPECT_STREQ(row.progressAfter ? progress().c_str() : nullptr, row.progressAfter);
            if (row.again)
                clickAt(places[row.again].x, places[row.again].y);
            lastInput = GetTickCount();
        }
        int next = -1; // after door 10's clip, door 1's
        EXPECT_TRUE(row.clipAfter != 9 || (row.flags & PALETTE) ||
                    (waitUntil(5000, [&] { return (next = clipDoor(window)) >= 0 && next != 9; }) &&
                     next == 0))
            << next;
        while (layout) {
            SCOPED_TRACE(layout);
            ASSERT_TRUE(arrange());
            coverDesktop();
            expectShown(row.doorsAfter);
            // At 1 x, two snapshots in turn that agree, which no clip was changing in, are the
            // plain screen; enlarged, the screen is the plain one, block for block.
            EXPECT_TRUE(scale > 1 || waitUntil(15000, [&] {
                            plain = shot;
                            shot = Snapshot();
                            return shot.differences(plain) == 0;
                        }));
            EXPECT_TRUE(scale == 1 ||
                        waitUntil(15000, [&] { return Snapshot().differences(plain) == 0; }))
                << Snapshot().differences(plain);
        }
        if (row.doorsAfter == all.c_str())
            watchCycles(window, saver.pid(),
                        getenv("TINDLE_SOAK_CYCLES") ? atoi(getenv("TINDLE_SOAK_CYCLES")) : 2);
        // Input that closes the saver takes its window down at once; outside the seasons the host
        // closes as on any day, and its own tests wait for that end.
        int quiet = std::max(0, 1000 - (int)(GetTickCount() - lastInput));
        EXPECT_TRUE(row.close == MOVE ? !cursorShown() : !waitUntil(quiet, [&] {
            return !IsWindowVisible(window);
        }));
        closers[row.close]();
        EXPECT_TRUE(row.close == MOVE ? waitUntil(3000, [&] { return !IsWindowVisible(window); })
                                      : saver.waitExit(10000) == 0);
    }
}
