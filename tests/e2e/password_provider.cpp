// A stand-in for the desktop's password provider, which Wine lacks.  The
// test that starts the saver says what it answers and where each call is
// counted, through the saver's environment:
//   TINDLE_PASSWORD_ANSWER  "accept" accepts, anything else refuses
//   TINDLE_PASSWORD_CALLS   a file that gets one line per call
#include <windows.h>

#include <stdio.h>
#include <string.h>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner)
{
    char answer[32] = "", calls[MAX_PATH] = "";
    FILE *log;

    GetEnvironmentVariableA("TINDLE_PASSWORD_ANSWER", answer, sizeof answer);
    if (GetEnvironmentVariableA("TINDLE_PASSWORD_CALLS", calls, sizeof calls) != 0 &&
        (log = fopen(calls, "a")) != NULL) {
        fprintf(log, "%u\n", (unsigned)GetTickCount());
        fclose(log);
    }
    return strcmp(answer, "accept") == 0;
}
