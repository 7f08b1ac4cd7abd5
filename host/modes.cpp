#include "host/host.h"

SaverMode readSaverMode(const char *commandLine, const char **rest)
{
    const char *p = commandLine;
    SaverMode mode;

    while (*p == ' ' || *p == '-' || *p == '/')
        p++;
    switch (*p) {
    case '\0':
        *rest = p;
        return MODE_SETTINGS_NO_OWNER;
    case 'S':
    case 's':
        mode = MODE_SAVER;
        break;
    case 'C':
    case 'c':
        mode = MODE_SETTINGS;
        break;
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        mode = MODE_PREVIEW;
        break;
    case 'A':
    case 'a':
        mode = MODE_CHANGE_PASSWORD;
        break;
    default:
        *rest = p;
        return MODE_UNKNOWN;
    }
    p++;
    while (*p == ' ')
        p++;
    *rest = p;
    return mode;
}

HWND parseWindowHandle(const char *text)
{
    unsigned value = 0;

    for (; *text >= '0' && *text <= '9'; text++)
        value = value * 10 + (unsigned)(*text - '0');
    return (HWND)(UINT_PTR)value;
}
