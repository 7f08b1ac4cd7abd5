// saver_bench: what the saver costs on the virtual display, printed as rows
// of the table that `./dev bench` shows:
//  - start-up of the saver on 10 December with door 10 pending, from the
//    start of the process to the complete calendar on the screen (the screen
//    that a first, uncounted run settles on), beside the same for
//    bench_floor, which only shows a black topmost window: the median of
//    several runs of each, taken in turn;
//  - processor time over 60 s with the calendar shown and no clip playing
//    (1 December, door 1 pending), and over 60 s while the clips cycle;
//  - peak working set and private bytes after one full clip cycle.
// Each row names the screen, and the rows with clips the factor by which the
// calendar stands enlarged there.  On a large screen `enlarged` measures the
// idle calendar and the clips at that factor, and the clips again with the
// user's choice of the calendar at its own size.
// The saver is bench_saver.scr, tindle.scr with the tests' clock, which
// starts at the local time in TINDLE_CLOCK, on the installation of the build.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

static const char PREFS[] = "Software\\Brackwell\\Tindle";

using harness::pumpMessages;
using harness::waitUntil;
using harness::windowsPath;

static void setValue(const char *name, DWORD value)
{
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, PREFS, name, REG_DWORD, &value, sizeof value);
}

// The user's choice: 0 keeps the calendar at its own size.
static void setEnlarge(DWORD enlarge)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, PREFS, "Enlarge", REG_DWORD, &enlarge, sizeof enlarge);
}

// The calendar's values as the test installation under the build tree has
// them: InstallDir there, the doors settled up to lastChecked in 2026 and
// the seasons as the date makes them.
static void setInstallation(DWORD lastChecked, bool advent)
{
    const std::string directory = windowsPath(TINDLE_INSTALL_DIR);

    RegSetKeyValueA(HKEY_LOCAL_MACHINE, PREFS, "InstallDir", REG_SZ, directory.c_str(),
                    (DWORD)directory.size() + 1);
    setValue("LastCheckedYear", 126);
    setValue("LastChecked", lastChecked);
    setValue("Advent", advent);
    setValue("Twelve", 0);
}

// Starts program without waiting for it; with clock, the saver's bench
// variant starts at that local time ("YYYY-MM-DD HH:MM:SS").
static bool startProcess(const std::string &program, const char *arguments, const char *clock,
                         PROCESS_INFORMATION *process)
{
    STARTUPINFOA startup = {};
    std::string commandLine = "\"" + program + "\" " + arguments;

    startup.cb = sizeof startup;
    SetEnvironmentVariableA("TINDLE_CLOCK", clock);
    return CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL,
                          &startup, process) != FALSE;
}

static void endProcess(PROCESS_INFORMATION *process)
{
    TerminateProcess(process->hProcess, 0);
    WaitForSingleObject(process->hProcess, 5000);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
}

// The screen at one moment, every eighth pixel of every eighth row.
static std::vector<DWORD> screenGrid()
{
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(NULL);
    std::vector<COLORREF> pixels = harness::pixelsOf(screen, 0, 0, width, height);
    std::vector<DWORD> grid;

    ReleaseDC(NULL, screen);
    for (int y = 0; y < height; y += 8)
        for (int x = 0; x < width; x += 8)
            grid.push_back(pixels[y * width + x]);
    return grid;
}

static bool screenIs(COLORREF colour)
{
    std::vector<DWORD> grid = screenGrid();

    return std::all_of(grid.begin(), grid.end(), [&](DWORD pixel) { return pixel == colour; });
}

enum { RUNS = 31, MEASURE_MS = 60000 };
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

// Where the shown clip window stands, or nothing when none is shown.
static BOOL CALLBACK findShownClip(HWND child, LPARAM data)
{
    if (!IsWindowVisible(child))
        return TRUE;
    GetWindowRect(child, (RECT *)data);
    return FALSE;
}

static RECT clipRect(HWND saver)
{
    RECT shown = {-1, -1, -1, -1};

    if (saver != NULL)
        EnumChildWindows(saver, findShownClip, (LPARAM)&shown);
    return shown;
}

// The screen and the factor of the calendar, read off its 72 x 72 clip, as
// the rows name them: "1920 x 1080 at 2 x".
static std::string screenAndScale(HWND saver)
{
    RECT clip = clipRect(saver);
    char text[64];

    snprintf(text, sizeof text, "%d x %d at %ld x", GetSystemMetrics(SM_CXSCREEN),
             GetSystemMetrics(SM_CYSCREEN), (clip.right - clip.left) / 72);
    return text;
}

// Marks what the screen shows where no pixel counts.
static const DWORD ANY = 0xFFFFFFFF;

// Whether the screen shows expected, but for the clip that may play there,
// whose frames change.
static bool screenShows(const std::vector<DWORD> &expected)
{
    RECT clip = clipRect(FindWindowA("WindowsScreenSaverClass", NULL));
    std::vector<DWORD> grid = screenGrid();
    LONG columns = (GetSystemMetrics(SM_CXSCREEN) + 7) / 8;

    for (size_t i = 0; i < grid.size(); i++) {
        POINT point = {(LONG)i % columns * 8, (LONG)i / columns * 8};

        if (grid[i] != expected[i] && expected[i] != ANY && !PtInRect(&clip, point))
            return false;
    }
    return true;
}

// Waits until the screen, but for a playing clip, stays the same for a
// second; what it then shows, with ANY where the clip plays.
static std::vector<DWORD> settledScreen()
{
    std::vector<DWORD> last = screenGrid();
    LONG columns = (GetSystemMetrics(SM_CXSCREEN) + 7) / 8;
    RECT clip;

    for (int tries = 0; tries < 20; tries++) {
        pumpMessages(1000);
        if (screenShows(last))
            break;
        last = screenGrid();
    }
    clip = clipRect(FindWindowA("WindowsScreenSaverClass", NULL));
    for (size_t i = 0; i < last.size(); i++) {
        POINT point = {(LONG)i % columns * 8, (LONG)i / columns * 8};

        last[i] = PtInRect(&clip, point) ? ANY : last[i];
    }
    return last;
}

static bool screenClear()
{
    return screenIs(BACKDROP);
}

// Milliseconds from the start of the program to the first moment the screen
// shows what is expected, or -1 when it does not within 20 s.
static double startUp(const std::string &program, const char *clock,
                      const std::vector<DWORD> &expected)
{
    PROCESS_INFORMATION process;
    double start = milliseconds(), shown = -1;

    if (!startProcess(program, "/s", clock, &process))
        return -1;
    while (shown < 0 && milliseconds() - start < 20000) {
        double now = milliseconds();

        if (screenShows(expected))
            shown = now - start;
        else
            Sleep(1);
    }
    endProcess(&process);
    // The next run starts on a screen that shows nothing of this one.
    if (!waitUntil(10000, screenClear))
        return -1;
    Sleep(300);
    return shown;
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

// The calendar of 10 December with door 10 pending and nine doors open, whose
// clips play: the screen it settles on, read once after a first run that is
// not counted (which also brings the files into memory), is what each run
// must show.  Other builds of the saver (Unix paths), to be compared with
// this one, take their turns in the same runs.
static bool measureStartUp(const std::vector<std::string> &others)
{
    std::vector<std::string> programs = {windowsPath(BENCH_FLOOR), windowsPath(BENCH_SAVER)};
    const char *clock = "2026-12-10 10:00:00";
    std::vector<DWORD> calendar, black;
    PROCESS_INFORMATION process;

    for (const std::string &other : others)
        programs.push_back(windowsPath(other));
    std::vector<std::vector<double>> times(programs.size());
    setInstallation(9, false);
    if (!startProcess(programs[1], "/s", clock, &process))
        return false;
    // Door 1's clip opens a moment after the first paint, longer on a first
    // start under emulation; the screen without it would then be one that
    // later runs show too briefly to be seen.
    if (!waitUntil(20000, [] {
            return clipRect(FindWindowA("WindowsScreenSaverClass", NULL)).left >= 0;
        })) {
        endProcess(&process);
        return false;
    }
    calendar = settledScreen();
    std::string screen = screenAndScale(FindWindowA("WindowsScreenSaverClass", NULL));
    endProcess(&process);
    if (!startProcess(programs[0], "", "", &process))
        return false;
    black = settledScreen();
    endProcess(&process);
    if (!waitUntil(10000, screenClear) || calendar == black)
        return false;
    for (int run = 0; run < RUNS; run++) {
        // Which goes first rotates, so that none gets the quieter turns.
        for (size_t turn = 0; turn < programs.size(); turn++) {
            size_t which = (run + turn) % programs.size();
            double time = which == 0 ? startUp(programs[0], "", black)
                                     : startUp(programs[which], clock, calendar);

            if (time < 0)
                return false;
            times[which].push_back(time);
        }
    }
    double base = median(times[0]), ours = median(times[1]);
    // Under qemu the saver's drawing runs several times slower than the floor's
    // bare window, so the ratio says nothing about the saver there.
    printf("| Start-up to the complete calendar, `tindle.scr /s` with door 10 pending, %s, median"
           " of %d | %.0f ms, %.2f x floor | floor %.0f ms | within 1.2 x floor: %s |\n",
           screen.c_str(), RUNS, ours, ours / base, base,
           harness::emulatedRoute() ? "not comparable under emulation"
           : ours <= 1.2 * base     ? "met"
                                    : "missed");
    for (size_t other = 2; other < programs.size(); other++)
        printf("| Start-up, %s | %.0f ms, %.2f x floor | | |\n", programs[other].c_str(),
               median(times[other]), median(times[other]) / base);
    fprintf(stderr, "start-up runs, ms: floor%s", listed(times[0]).c_str());
    for (size_t which = 1; which < programs.size(); which++)
        fprintf(stderr, "; %s%s", which == 1 ? "saver" : programs[which].c_str(),
                listed(times[which]).c_str());
    fprintf(stderr, "\n");
    fflush(stdout);
    return true;
}

// Wine gives no processor times for other processes (GetProcessTimes reports
// zeros), so they are read from Linux, where a Wine process's command line
// is the Windows one: the first word is the program's path.  On the emulated
// route qemu cannot change its own command line, and the path is the third
// word, after qemu-i386 and Wine's loader.
static int unixPid(const std::string &program)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    int found = 0;

    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string path = std::string("Z:\\proc\\") + entry.cFileName + "\\cmdline";
        char words[3 * MAX_PATH + 1] = "";
        const char *word = words;
        size_t length;
        FILE *file;

        if (atoi(entry.cFileName) <= 0 || (file = fopen(path.c_str(), "rb")) == NULL)
            continue;
        length = fread(words, 1, sizeof words - 1, file);
        fclose(file);
        // The words end in NULs.
        for (int n = 0; n < 3 && word < words + length; n++) {
            if (_stricmp(word, program.c_str()) == 0)
                found = atoi(entry.cFileName);
            word += strlen(word) + 1;
        }
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
    if (fields == NULL || sscanf(fields + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu",
                                 &user, &system) != 2)
        return -1;
    return (user + system) * 10.0;
}

static void printLoad(const std::string &what, double cpuMs, const char *goal)
{
    printf("| Processor time over 60 s, %s | %.3f %% of a core (%.0f ms) | | %s |\n", what.c_str(),
           cpuMs * 100 / MEASURE_MS, cpuMs, goal);
    fflush(stdout);
}

// The calendar of 1 December with door 1 waiting for its click: nothing
// plays and only the date timer ticks.
static bool measureIdle()
{
    PROCESS_INFORMATION process;
    int pid;
    double before;

    setInstallation(0, false);
    if (!startProcess(windowsPath(BENCH_SAVER), "/s", "2026-12-01 10:00:00", &process))
        return false;
    settledScreen();
    pid = unixPid(windowsPath(BENCH_SAVER));
    if ((before = cpuMilliseconds(pid)) < 0) {
        endProcess(&process);
        return false;
    }
    Sleep(MEASURE_MS);
    double used = cpuMilliseconds(pid) - before;
    endProcess(&process);
    // No clip plays, so the factor is the one the screen gives.
    printLoad("calendar shown, no clip (1 December, door 1 pending), " +
                  std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " x " +
                  std::to_string(GetSystemMetrics(SM_CYSCREEN)),
              used, used * 100 / MEASURE_MS < 0.1 ? "under 0.1 %: met" : "under 0.1 %: missed");
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
// the first 60 s of the sequence, the footprint once it has gone round (each
// door's clip in turn, then the first again), beside the floor program's.
static bool measureClips()
{
    PROCESS_INFORMATION saver, floor;
    PROCESS_MEMORY_COUNTERS ours, base;
    std::vector<std::pair<LONG, LONG>> places;
    double start, before, used = -1;
    HWND window = NULL;
    int pid;

    if (!startProcess(windowsPath(BENCH_FLOOR), "", "", &floor))
        return false;
    bool floorShown =
        waitUntil(10000, [] { return screenIs(BLACK); }) && footprint(floor.dwProcessId, &base);
    endProcess(&floor);
    setInstallation(24, false);
    if (!floorShown || !startProcess(windowsPath(BENCH_SAVER), "/s", "2026-12-24 10:00:00", &saver))
        return false;
    if (!waitUntil(20000, [&] {
            window = FindWindowA("WindowsScreenSaverClass", NULL);
            return window != NULL && clipRect(window).left >= 0;
        })) {
        endProcess(&saver);
        return false;
    }
    pid = unixPid(windowsPath(BENCH_SAVER));
    start = milliseconds();
    if ((before = cpuMilliseconds(pid)) < 0) {
        endProcess(&saver);
        return false;
    }
    std::string screen = screenAndScale(window);
    bool cycled = waitUntil(300000, [&] {
        RECT place = clipRect(window);
        std::pair<LONG, LONG> now = {place.left, place.top};

        if (used < 0 && milliseconds() - start >= MEASURE_MS)
            used = cpuMilliseconds(pid) - before;
        if (place.left >= 0 && (places.empty() || places.back() != now))
            places.push_back(now);
        return places.size() > 24 && places.back() == places.front() && used >= 0;
    });
    bool measured = cycled && footprint(saver.dwProcessId, &ours);
    endProcess(&saver);
    if (!measured)
        return false;
    printLoad("clips cycling (24 December, all doors open), " + screen, used, "none set");
    printf("| Peak working set after one clip cycle, %s | %.1f MiB | floor %.1f MiB | none set |\n",
           screen.c_str(), ours.PeakWorkingSetSize / 1048576.0,
           base.PeakWorkingSetSize / 1048576.0);
    printf("| Private bytes after one clip cycle, %s | %.1f MiB | floor %.1f MiB | none set |\n",
           screen.c_str(), ours.PagefileUsage / 1048576.0, base.PagefileUsage / 1048576.0);
    fflush(stdout);
    return true;
}

// With the argument "start-up", only the start-up is measured, of this
// saver and of any others that follow; with "enlarged", the idle calendar
// and the clips, then the clips of the calendar at its own size.
int main(int argc, char **argv)
{
    CloseHandle(CreateThread(NULL, 0, showBackdrop, NULL, 0, NULL));
    if (!waitUntil(10000, screenClear)) {
        fprintf(stderr, "saver_bench: the backdrop did not show\n");
        return 1;
    }
    bool startUpOnly = argc > 1 && strcmp(argv[1], "start-up") == 0;
    bool enlarged = argc > 1 && strcmp(argv[1], "enlarged") == 0;

    setEnlarge(1);
    if (!enlarged &&
        !measureStartUp(std::vector<std::string>(argv + (startUpOnly ? 2 : 1), argv + argc))) {
        fprintf(stderr, "saver_bench: a start-up run did not show its window\n");
        return 1;
    }
    if (startUpOnly)
        return 0;
    if (!measureIdle()) {
        fprintf(stderr, "saver_bench: the idle calendar could not be measured\n");
        return 1;
    }
    if (!measureClips()) {
        fprintf(stderr, "saver_bench: the clip cycle could not be measured\n");
        return 1;
    }
    if (enlarged) {
        setEnlarge(0);
        bool measured = measureClips();
        setEnlarge(1);
        if (!measured) {
            fprintf(stderr, "saver_bench: the clip cycle at 1 x could not be measured\n");
            return 1;
        }
    }
    return 0;
}
