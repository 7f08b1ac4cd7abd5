// The screen-saver host: start-up, run modes, the saver window and its
// message loop.
#ifndef TINDLE_HOST_HOST_H
#define TINDLE_HOST_HOST_H

#include <windows.h>

extern HINSTANCE hostInstance;
extern int isPreview;
extern HWND saverWindow;

// What the command line asks for.
enum SaverMode {
    MODE_SETTINGS_NO_OWNER, // empty command line
    MODE_SAVER,             // "S": full screen
    MODE_SETTINGS,          // "C": settings owned by the foreground window
    MODE_PREVIEW,           // "P" or "L" with a window handle
    MODE_CHANGE_PASSWORD,   // "A" with a window handle
    MODE_UNKNOWN
};

// Reads the mode letter after any blanks, "-" and "/"; *rest is set to the
// text behind the letter and the blanks that follow it.
SaverMode readSaverMode(const char *commandLine, const char **rest);

// The decimal window handle at the start of text; 0 when there are no digits.
HWND parseWindowHandle(const char *text);

// Registers the class, creates the saver window (full screen when parent is
// null, a preview child otherwise), runs the message loop and returns the
// exit status.
int runSaver(HWND parent);

// The full-screen window's place: the rectangle around every monitor, whose
// origin lies left of or above the primary monitor's when others do.
RECT virtualScreen();

// The host's two window procedures: the class procedure of the saver window,
// and the default procedure that the calendar hands unclaimed messages to.
LRESULT CALLBACK SaverClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sent to the saver window to ask the password provider.
enum { MSG_VERIFY_PASSWORD = 0x8000 };

#endif
