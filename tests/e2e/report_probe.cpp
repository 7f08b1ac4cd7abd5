// A program that makes one report, as the saver does, so that the box, its
// text and the exit status can be checked from outside:
//   report_probe CATEGORY TEXT
#include <stdlib.h>
#include <windows.h>

#include "support/report.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char *text;
    unsigned category = (unsigned)strtoul(commandLine, &text, 10);

    while (*text == ' ')
        text++;
    reportError(category, "%s", text);
    return 42;
}
