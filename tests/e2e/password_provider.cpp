// A stand-in for the desktop's password provider, which Wine lacks: each
// question adds a byte to the file named by TINDLE_PASSWORD_CALLS, and the
// password is right once that name with ".yes" behind it names a file.
#include <stdio.h>
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    char calls[MAX_PATH] = "";
    FILE *log;

    GetEnvironmentVariableA("TINDLE_PASSWORD_CALLS", calls, sizeof calls);
    if ((log = fopen(calls, "a")) != NULL) {
        fputc('?', log);
        fclose(log);
    }
    return GetFileAttributesA((std::string(calls) + ".yes").c_str()) != INVALID_FILE_ATTRIBUTES;
}
