#include "support/platform.h"

#include <stdlib.h>
#include <windows.h>

void platformShowError(const char *text)
{
    MessageBoxA(NULL, text, "Error", MB_ICONHAND | MB_SYSTEMMODAL);
}

void platformQuietAbort()
{
    // The run-time writes its abort notice to the error stream instead of a
    // message box; a GUI program has none, so nothing more is shown.
    _set_error_mode(_OUT_TO_STDERR);
}
