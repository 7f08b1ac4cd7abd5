#include <windows.h>

#include "dialogs/dialogs.h"
#include "host/host.h"
#include "host/password.h"

HINSTANCE hostInstance;

// The last-resort handler for processor faults and the like: the system's
// standard unhandled-exception filter shows its fault report and decides;
// when the handler is to run, the desktop is told that no saver runs and
// that answer becomes the exit status.
struct SehRegistration {
    SehRegistration *previous;
    void *handler;
};

static EXCEPTION_DISPOSITION __cdecl lastResortHandler(EXCEPTION_RECORD *record, void *,
                                                       CONTEXT *context, void *)
{
    EXCEPTION_POINTERS pointers = {record, context};
    BOOL scratch;

    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    switch (UnhandledExceptionFilter(&pointers)) {
    case EXCEPTION_EXECUTE_HANDLER:
        ExitProcess((UINT)SystemParametersInfoA(SPI_SCREENSAVERRUNNING, FALSE, &scratch, 0));
    case EXCEPTION_CONTINUE_EXECUTION:
        return ExceptionContinueExecution;
    default:
        return ExceptionContinueSearch;
    }
}

// The calendar is a picture drawn pixel for pixel, which the system would
// stretch, blurred, on a display scaled above 100 % for a program that does
// not say it follows the scaling itself.  Said at run time, so that the
// preview can leave it unsaid.  Per monitor only where the system also scales
// the dialogs (the second version); the system's scaling elsewhere.
static void declareDpiAware()
{
    typedef BOOL(WINAPI * ContextEntry)(DPI_AWARENESS_CONTEXT);
    typedef BOOL(WINAPI * AwareEntry)();
    HMODULE user32 = GetModuleHandleA("USER32.DLL");
    ContextEntry perMonitorV2 =
        (ContextEntry)(void *)GetProcAddress(user32, "SetProcessDpiAwarenessContext");
    AwareEntry systemAware = (AwareEntry)(void *)GetProcAddress(user32, "SetProcessDPIAware");

    if (perMonitorV2 != NULL && perMonitorV2(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        return;
    if (systemAware != NULL)
        systemAware();
}

static int runMode(const char *commandLine)
{
    const char *rest;
    HWND window;
    SaverMode mode = readSaverMode(commandLine, &rest);

    // The preview stays as it was: a child of another program's window, it
    // shares that program's scaling.
    if (mode != MODE_PREVIEW)
        declareDpiAware();
    switch (mode) {
    case MODE_SETTINGS_NO_OWNER:
        return showSettingsDialog(NULL);
    case MODE_SAVER:
        return runSaver(NULL);
    case MODE_SETTINGS:
        return showSettingsDialog(GetForegroundWindow());
    case MODE_PREVIEW:
        window = parseWindowHandle(rest);
        if (window == NULL || !IsWindow(window))
            return -1;
        return runSaver(window);
    case MODE_CHANGE_PASSWORD:
        window = parseWindowHandle(rest);
        if (window == NULL || !IsWindow(window))
            window = GetForegroundWindow();
        changePassword(window);
        return 0;
    default:
        return -1;
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    SehRegistration registration;
    int status;

    hostInstance = instance;
    // The registration record lives in this frame, so it is removed before
    // the frame goes away.
    registration.handler = (void *)lastResortHandler;
    registration.previous = (SehRegistration *)__readfsdword(0);
    __writefsdword(0, (DWORD)(UINT_PTR)&registration);
    status = runMode(commandLine);
    __writefsdword(0, (DWORD)(UINT_PTR)registration.previous);
    return status;
}
