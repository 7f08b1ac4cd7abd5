// saver_bench: what the saver costs on the virtual display, printed as rows
// of the table that `./dev bench` shows:
//  - start-up of `tindle.scr /s` on an Advent day, from the start of the
//    process to the first complete calendar on the screen, beside the same
//    for bench_floor, which only shows a black topmost window: the median of
//    several runs of each, taken in turn;
//  - processor time over 60 s with the calendar shown and no clip playing
//    (1 December, door 1 pending), and over 60 s while the clips cycle;
//  - peak working set and private bytes after one full clip cycle.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

enum { RUNS = 21, MEASURE_MS = 60000 };
static const COLORREF BLACK = RGB(0, 0, 0);
// No installed picture or thumbnail holds this colour. It fills a window
// under all others, so the screen shows it whenever no measured program
// shows a window.
static const COLORREF BACKDROP = RGB(12, 34, 56);

static double milliseconds()
{
    LARGE_INTEGER now, frequency;

    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000.0 / frequency.QuadPart;
}

// The backdrop has a thread of its own that answers its messages at once,
// also while the main thread waits for a program being started.
static DWORD WINAPI showBackdrop(void *)
{
    WNDCLASSA windowClass = {};
    MSG message;

    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = CreateSolidBrush(BACKDROP);
    windowClass.lpszClassName = "BenchBackdrop";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "BenchBackdrop", "", WS_POPUP | WS_VISIBLE, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                    windowClass.hInstance, NULL);
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

static COLORREF pictureSpacePixel(int x, int y)
{
    return screenPixel(originX() + x, originY() + y);
}

static bool screenClear()
{
    return pictureSpacePixel(320, 240) == BACKDROP;
}

// What the screen must show, and a point that is read first and often
// because it is among the last to be painted, before the whole screen is read.
struct Expected {
    POINT probe;
    COLORREF probeColour;
    bool (*complete)(const Snapshot &shot);
};

// Milliseconds from the start of the program to the first moment the screen
// shows what is expected, or -1 when it does not within 20 s.  The harness's
// Child waits until the program is idle before it returns, by which time the
// screen is long painted, so the process is started here without waiting.
static double startUp(const std::string &program, const char *arguments, const Expected &expected)
{
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION process;
    std::string commandLine = "\"" + program + "\" " + arguments;
    double start = milliseconds(), shown = -1;

    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL,
                        &startup, &process))
        return -1;
    while (shown < 0 && milliseconds() - start < 20000) {
        double now = milliseconds();

        if (pictureSpacePixel(expected.probe.x, expected.probe.y) == expected.probeColour &&
            expected.complete(Snapshot()))
            shown = now - start;
        else
            Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // The next run starts on a screen that shows nothing of this one.
    if (!waitUntil(10000, screenClear))
        return -1;
    Sleep(300);
    return shown;
}

static bool screenBlack(const Snapshot &shot)
{
    for (int y = 0; y < GetSystemMetrics(SM_CYSCREEN); y += 32)
        for (int x = 0; x < GetSystemMetrics(SM_CXSCREEN); x += 32)
            if (shot.at(x - originX(), y - originY()) != BLACK)
                return false;
    return true;
}

// Doors 1 to openDoors are open, door 1 under its playing clip.
static int openDoors;

static bool calendarComplete(const Snapshot &shot)
{
    const Picture &pud = installedPicture("pud.bmp");
    RECT top = {0, 0, 640, 14}, bottom = {0, 466, 530, 480};

    return (originX() == 0 || shot.at(-1, -1) == BLACK) && shot.shows("clikhere.bmp", true) &&
           shot.mismatches(pud, 0, 0, top) == 0 && shot.mismatches(pud, 0, 0, bottom) == 0 &&
           shot.doors("pud.bmp") == std::string(openDoors, 'o') + std::string(24 - openDoors, '.');
}

static double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

static std::string listed(const std::vector<double> &values)
{
    std::string text;
    char figure[16];

    for (double value : values) {
        snprintf(figure, sizeof figure, " %.0f", value);
        text += figure;
    }
    return text;
}

// The shipped saver with Advent forced, today's door already opened, so that
// the doors up to today are open and door 1's clip plays.
static bool measureStartUp()
{
    const std::string saver = windowsPath(TINDLE_SCR), floor = windowsPath(BENCH_FLOOR);
    const Expected black = {{320, 240}, BLACK, screenBlack};
    Expected calendar = {{585, 430}, installedPicture("clikhere.bmp").at(55, 50), calendarComplete};
    std::vector<double> saverTimes, floorTimes;
    SYSTEMTIME today;

    GetLocalTime(&today);
    // Forced Advent in the Twelve days shows no doors.
    if ((today.wMonth == 12 && today.wDay >= 25) || (today.wMonth == 1 && today.wDay <= 5))
        openDoors = 0;
    else
        openDoors = std::min<int>(today.wDay, 24);
    if (openDoors >= 2) {
        int last = openDoors - 1;

        calendar.probe = {doorCorners[last].x + 36, doorCorners[last].y + 36};
        calendar.probeColour = thumbnail(last).at(36, 36);
    }
    freshRegistry(windowsPath(TINDLE_INSTALL_DIR));
    setValue("Advent", 1);
    setValue("LastCheckedYear", today.wYear - 1900);
    setValue("LastChecked", 31);

    // A first run of each, not counted, brings the files into memory.
    if (startUp(saver, "/s", calendar) < 0 || startUp(floor, "", black) < 0)
        return false;
    for (int run = 0; run < RUNS; run++) {
        // Which goes first alternates, so that neither gets the quieter turn.
        for (int turn = 0; turn < 2; turn++) {
            bool saverNow = (run + turn) % 2 == 0;
            double time = saverNow ? startUp(saver, "/s", calendar) : startUp(floor, "", black);

            if (time < 0)
                return false;
            (saverNow ? saverTimes : floorTimes).push_back(time);
        }
    }
    double ours = median(saverTimes), base = median(floorTimes);
    printf("| Start-up to the complete calendar, `tindle.scr /s` with %d doors open, median of %d"
           " | %.0f ms, %.2f x floor | floor %.0f ms | within 1.5 x floor: %s |\n",
           openDoors, RUNS, ours, ours / base, base, ours <= 1.5 * base ? "met" : "missed");
    fprintf(stderr, "start-up runs, ms: saver%s; floor%s\n", listed(saverTimes).c_str(),
            listed(floorTimes).c_str());
    fflush(stdout);
    return true;
}

// Wine gives no processor times for other processes (GetProcessTimes reports
// zeros), so they are read from Linux, where a Wine process's command line
// is the Windows one: the first word is the program's path.
static int unixPid(const std::string &program)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    int found = 0;

    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string path = std::string("Z:\\proc\\") + entry.cFileName + "\\cmdline";
        char firstWord[MAX_PATH + 1] = "";
        FILE *file;

        if (atoi(entry.cFileName) <= 0 || (file = fopen(path.c_str(), "rb")) == NULL)
            continue;
        firstWord[fread(firstWord, 1, MAX_PATH, file)] = 0;
        fclose(file);
        if (_stricmp(firstWord, program.c_str()) == 0)
            found = atoi(entry.cFileName);
    } while (found == 0 && FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

// User and system time of a Linux process, all its threads past and
// present, in milliseconds; -1 when it cannot be read.
static double cpuMilliseconds(int pid)
{
    char path[64], text[1024] = "";
    unsigned long user, system;
    const char *fields;
    FILE *file;

    snprintf(path, sizeof path, "Z:\\proc\\%d\\stat", pid);
    if ((file = fopen(path, "rb")) == NULL)
        return -1;
    text[fread(text, 1, sizeof text - 1, file)] = 0;
    fclose(file);
    // The name in parentheses may hold anything; the fields after it are
    // numbers, the 14th and 15th of the line being the times in ticks of
    // 1/100 s.
    fields = strrchr(text, ')');
    if (fields == NULL ||
        sscanf(fields + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
               &system) != 2)
        return -1;
    return (user + system) * 10.0;
}

static void printLoad(const char *what, double cpuMs, const char *goal)
{
    printf("| Processor time over 60 s, %s | %.3f %% of a core (%.0f ms) | | %s |\n", what,
           cpuMs * 100 / MEASURE_MS, cpuMs, goal);
    fflush(stdout);
}

// The calendar of 1 December with door 1 waiting for its click: nothing
// plays and only the date timer ticks.
static bool measureIdle()
{
    Child saver;
    int pid;
    double before;

    freshRegistry(windowsPath(TINDLE_INSTALL_DIR));
    setValue("LastCheckedYear", 126);
    setValue("LastChecked", 0);
    if (startSaver(saver, "2026-12-01 10:00:00") == NULL ||
        !waitUntil(20000, [] { return Snapshot().doors("pud.bmp")[0] == 'p'; }))
        return false;
    pumpMessages(2000);
    pid = unixPid(windowsPath(TINDLE_CLOCK_SCR));
    if ((before = cpuMilliseconds(pid)) < 0)
        return false;
    Sleep(MEASURE_MS);
    double used = cpuMilliseconds(pid) - before;
    printLoad("calendar shown, no clip (1 December, door 1 pending)", used,
              used * 100 / MEASURE_MS < 0.1 ? "under 0.1 %: met" : "under 0.1 %: missed");
    return true;
}

static bool footprint(DWORD pid, PROCESS_MEMORY_COUNTERS *memory)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    bool read;

    memory->cb = sizeof *memory;
    read = process != NULL && GetProcessMemoryInfo(process, memory, sizeof *memory);
    if (process != NULL)
        CloseHandle(process);
    return read;
}

// All 24 doors open on 24 December with the installed clips: the load over
// the first 60 s of the sequence, the footprint once it has gone round,
// beside the floor program's.
static bool measureClips()
{
    Child saver, floor;
    HWND window;
    PROCESS_MEMORY_COUNTERS ours, base;
    double start, before, used = -1;
    int pid, last = 0;

    if (!floor.start(windowsPath(BENCH_FLOOR), "") ||
        !waitUntil(10000, [] { return pictureSpacePixel(320, 240) == BLACK; }) ||
        !footprint(floor.pid(), &base))
        return false;
    floor.kill();
    freshRegistry(windowsPath(TINDLE_INSTALL_DIR));
    setValue("LastCheckedYear", 126);
    setValue("LastChecked", 24);
    window = startSaver(saver, "2026-12-24 10:00:00");
    if (window == NULL || !waitForClipDoor(window, 0, 20000))
        return false;
    pid = unixPid(windowsPath(TINDLE_CLOCK_SCR));
    start = milliseconds();
    if ((before = cpuMilliseconds(pid)) < 0)
        return false;
    // A cycle: every door's clip in turn, then door 1's again.
    if (!waitUntil(300000, [&] {
            int door = clipDoor(window);

            if (used < 0 && milliseconds() - start >= MEASURE_MS)
                used = cpuMilliseconds(pid) - before;
            last = std::max(last, door);
            return last == 23 && door == 0 && used >= 0;
        }))
        return false;
    printLoad("clips cycling (24 December, all doors open)", used, "none set");
    if (!footprint(saver.pid(), &ours))
        return false;
    printf("| Peak working set after one clip cycle | %.1f MiB | floor %.1f MiB | none set |\n",
           ours.PeakWorkingSetSize / 1048576.0, base.PeakWorkingSetSize / 1048576.0);
    printf("| Private bytes after one clip cycle | %.1f MiB | floor %.1f MiB | none set |\n",
           ours.PagefileUsage / 1048576.0, base.PagefileUsage / 1048576.0);
    fflush(stdout);
    return true;
}

int main()
{
    CloseHandle(CreateThread(NULL, 0, showBackdrop, NULL, 0, NULL));
    if (!waitUntil(10000, screenClear)) {
        fprintf(stderr, "saver_bench: the backdrop did not show\n");
        return 1;
    }
    if (!measureStartUp()) {
        fprintf(stderr, "saver_bench: a start-up run did not show its window\n");
        return 1;
    }
    if (!measureIdle()) {
        fprintf(stderr, "saver_bench: the idle calendar could not be measured\n");
        return 1;
    }
    if (!measureClips()) {
        fprintf(stderr, "saver_bench: the clip cycle could not be measured\n");
        return 1;
    }
    return 0;
}
