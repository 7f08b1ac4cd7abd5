#include "dialogs/dialogs.h"

#include "host/host.h"

int showSettingsDialog(HWND owner)
{
    return (int)DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(2003), owner, NULL, 0);
}
