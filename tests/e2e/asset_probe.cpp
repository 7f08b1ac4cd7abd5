// A program that looks up the installation directory as the saver does, so
// that its fatal reports and exit status can be checked from outside:
//   asset_probe dir    reads InstallDir
#include <windows.h>

#include "support/prefs.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char dir[MAX_PATH];

    installDir(dir, sizeof dir);
    return 0;
}
