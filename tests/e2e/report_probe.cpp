// Makes one report as the saver does, so that the box, its text and the exit
// status can be seen from outside:  report_probe CATEGORY TEXT
#include <stdlib.h>
#include <windows.h>

#include "support/report.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char *text;
    unsigned category = (unsigned)strtoul(commandLine, &text, 10);

    reportError(category, "%s", text + (*text == ' '));
    return 42;
}
