// preview_host SAVER: plays the display settings' preview for ./dev run
// --preview: a window whose client area the saver draws into after
// "SAVER /p <window>", closing the saver with the window as the desktop does.
#include <windows.h>

static LRESULT CALLBACK PreviewHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR saver, int show)
{
    WNDCLASSA windowClass = {};
    RECT area = {0, 0, 320, 240};
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION process;
    char commandLine[MAX_PATH + 64];
    HWND window;
    MSG message;

    if (lstrlenA(saver) > MAX_PATH)
        return 1;
    windowClass.lpfnWndProc = PreviewHostProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    windowClass.lpszClassName = "TindlePreviewHost";
    RegisterClassA(&windowClass);
    AdjustWindowRect(&area, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE);
    window =
        CreateWindowA("TindlePreviewHost", "Tindle Advent preview",
                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                      area.right - area.left, area.bottom - area.top, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;
    ShowWindow(window, show);
    wsprintfA(commandLine, "\"%s\" /p %u", saver, (unsigned)(UINT_PTR)window);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    return 0;
}
