// A password provider that lacks the verification entry.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI ChangeScreenSavePwd(HWND)
{
    return FALSE;
}
