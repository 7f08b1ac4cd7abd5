// Pictures each presentation of the saver's test variant with the real
// installation:  calendar_screenshots DIRECTORY SCALE  (`./dev screenshots`).
// Scale 1 takes the picture alone on a 1024 x 768 screen, 2 the whole of a
// 1920 x 1080 one.
#include "calendar_fixture.h"

using namespace calendar;
using namespace harness;

int main(int argc, char **argv)
{
    const struct {
        const char *date, *names[2];
        int scale;
    } shots[] = {{"2026-12-10 12:00:00", {"advent-pending", "advent-opened"}, 1},
                 {"2026-12-27 12:00:00", {"twelve-before", "twelve-after"}, 1},
                 {"1996-11-15 12:00:00", {"november-1996", nullptr}, 1},
                 {"2026-07-01 12:00:00", {"season-over", nullptr}, 1},
                 {"2026-12-10 12:00:00", {"advent-1920x1080", nullptr}, 2}};
    std::string directory = argc == 3 ? argv[1] + 2 : "";
    int failed = argc != 3;
    DWORD enlarge = 1;

    scale = argc == 3 ? atoi(argv[2]) : 1;
    for (char &c : directory)
        c = c == '\\' ? '/' : c; // Z:\... as the host sees it
    freshRegistry(windowsPath(TINDLE_INSTALL_DIR));
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Brackwell\\Tindle", "Enlarge", REG_DWORD,
                    &enlarge, 4);
    std::string crop = scale > 1 ? ""
                                 : "-crop 640x480+" + std::to_string(originX()) + "+" +
                                       std::to_string(originY()) + " ";
    for (auto &shot : shots) {
        if (shot.scale != scale)
            continue;
        Child saver;
        setLastChecked(4);
        failed += !startSaver(saver, shot.date);
        for (int i = 0; i < 2 && shot.names[i]; i++) {
            if (i == 1)
                clickAt(585, 430);
            pumpMessages(2000);
            failed += !runShell("/usr/bin/import -window root " + crop + directory + "/" +
                                    shot.names[i] + ".bmp",
                                30000);
        }
        pressKey(VK_ESCAPE);
        saver.waitExit(10000);
    }
    return failed != 0;
}
