// Pictures each presentation of the saver's test variant with the real
// installation:  calendar_screenshots DIRECTORY  (`./dev screenshots`).
// On a 1920 x 1080 screen it takes only the last, the whole screen.
#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

int main(int argc, char **argv)
{
    const char *shots[][3] = {{"2026-12-10 12:00:00", "advent-pending", "advent-opened"},
                              {"2026-12-27 12:00:00", "twelve-before", "twelve-after"},
                              {"1996-11-15 12:00:00", "november-1996", nullptr},
                              {"2026-07-01 12:00:00", "season-over", nullptr},
                              {"2026-12-10 12:00:00", "advent-1920x1080", nullptr}};
    bool large = GetSystemMetrics(SM_CXSCREEN) == 1920;
    std::string directory = argc == 2 ? argv[1] + 2 : "",
                crop = large ? ""
                             : "-crop 640x480+" + std::to_string(originX()) + "+" +
                                   std::to_string(originY());
    int failed = argc != 2;
    DWORD enlarge = 1;

    for (char &c : directory)
        c = c == '\\' ? '/' : c; // Z:\... as the host sees it
    freshRegistry(windowsPath(TINDLE_INSTALL_DIR));
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Brackwell\\Tindle", "Enlarge", REG_DWORD,
                    &enlarge, 4);
    scale = large ? 2 : 1;
    for (auto &shot : shots) {
        if (large != (&shot == &shots[4]))
            continue;
        Child saver;
        setLastChecked(4);
        failed += !startSaver(saver, shot[0]);
        for (int i = 1; i < 3 && shot[i]; i++) {
            if (i == 2)
                clickAt(585, 430);
            pumpMessages(2000);
            failed += !runShell("/usr/bin/import -window root " + crop + " " + directory + "/" +
                                    shot[i] + ".bmp",
                                30000);
        }
        pressKey(VK_ESCAPE);
        saver.waitExit(10000);
    }
    return failed != 0;
}
