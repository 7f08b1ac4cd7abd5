// The settings dialog and the boxes it opens.
#ifndef TINDLE_DIALOGS_DIALOGS_H
#define TINDLE_DIALOGS_DIALOGS_H

#include <windows.h>

// Shows the settings dialog modally; 1 after OK, 2 after Cancel, -1 when it
// cannot be shown.
int showSettingsDialog(HWND owner);

#endif
