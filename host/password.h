// The desktop's password protection: its provider is asked before the
// full-screen saver may close, and password changes are handed to the system.
#ifndef TINDLE_HOST_PASSWORD_H
#define TINDLE_HOST_PASSWORD_H

#include <windows.h>

typedef BOOL(WINAPI *VerifyScreenSavePwdEntry)(HWND);

extern VerifyScreenSavePwdEntry verifyEntry;
extern DWORD lastVerifyTime;
extern int passwordAccepted;
extern int verifyInProgress;

void loadPasswordProvider();
void releasePasswordProvider();
// Nonzero when the saver window may close.
int verifyPassword(HWND window);
void changePassword(HWND owner);

// The quiet period after a password dialog, during which close requests are
// refused without asking again.
enum { PASSWORD_QUIET_MS = 200 };
// Whether a close request at now falls inside the quiet period that began at
// lastVerify (all ones: no dialog yet); right across the tick-count wrap.
bool inQuietPeriod(DWORD now, DWORD lastVerify);

#endif
