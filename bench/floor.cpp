// The floor of the start-up measure: a program that only shows a black
// topmost window over the whole screen, as the saver's window stands, and
// waits until it is ended.  What it takes to appear is what Wine and the
// start of a process cost before the saver does anything of its own.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    MSG message;

    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = "BenchFloor";
    RegisterClassA(&windowClass);
    CreateWindowExA(WS_EX_TOPMOST, "BenchFloor", "", WS_POPUP | WS_VISIBLE, 0, 0,
                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                    instance, NULL);
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
