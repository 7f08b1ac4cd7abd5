// A program that looks up the installation directory or loads one picture
// asset as the saver does, so that the fatal reports and the exit status can
// be checked from outside:
//   asset_probe dir    reads InstallDir
//   asset_probe ID     loads the asset with number ID
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "image/assets.h"
#include "support/prefs.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char dir[MAX_PATH];

    if (strcmp(commandLine, "dir") == 0) {
        installDir(dir, sizeof dir);
        return 0;
    }
    return loadAsset((AssetId)atoi(commandLine)).isEmpty() ? 1 : 0;
}
