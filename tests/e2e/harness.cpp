#include "harness.h"

#include <string.h>

namespace harness {

std::string windowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;

    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void pumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    MSG message;

    do {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

Child::~Child()
{
    kill();
}

bool Child::start(const std::string &program, const std::string &arguments,
                  const std::vector<std::string> &environment)
{
    STARTUPINFOA startup = {};
    std::string commandLine = "\"" + program + "\" " + arguments;
    std::string block;
    char *inherited;

    kill();
    startup.cb = sizeof startup;
    // The child gets this process's environment with the given variables added.
    if (!environment.empty()) {
        inherited = GetEnvironmentStringsA();
        for (const char *p = inherited; *p; p += strlen(p) + 1)
            block.append(p).push_back('\0');
        FreeEnvironmentStringsA(inherited);
        for (const std::string &variable : environment)
            block.append(variable).push_back('\0');
        block.push_back('\0');
    }
    if (!CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0,
                        environment.empty() ? NULL : &block[0], NULL, &startup, &info)) {
        info = PROCESS_INFORMATION();
        return false;
    }
    WaitForInputIdle(info.hProcess, 5000);
    return true;
}

DWORD Child::waitExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;

    if (info.hProcess == NULL)
        return code;
    // A child whose dialog is owned by one of our windows sends that window
    // messages as it closes (re-enabling its owner): keep answering them.
    if (waitUntil(timeoutMs, [&] { return !running(); }))
        GetExitCodeProcess(info.hProcess, &code);
    return code;
}

bool Child::running()
{
    return info.hProcess != NULL && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void Child::kill()
{
    if (info.hProcess == NULL)
        return;
    if (running()) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    info = PROCESS_INFORMATION();
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

static BOOL CALLBACK collectWindow(HWND window, LPARAM data)
{
    WindowSearch *search = (WindowSearch *)data;
    DWORD owner = 0;

    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> windowsOf(DWORD pid)
{
    WindowSearch search = {pid, {}};

    EnumWindows(collectWindow, (LPARAM)&search);
    return search.found;
}

std::string className(HWND window)
{
    char text[256] = "";

    GetClassNameA(window, text, sizeof text);
    return text;
}

std::string windowTitle(HWND window)
{
    char text[256] = "";

    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND waitForWindow(DWORD pid, const char *wantedClass, const char *title, DWORD timeoutMs)
{
    HWND result = NULL;

    waitUntil(timeoutMs, [&] {
        for (HWND window : windowsOf(pid)) {
            if (!IsWindowVisible(window))
                continue;
            if (wantedClass && className(window) != wantedClass)
                continue;
            if (title && windowTitle(window) != title)
                continue;
            result = window;
            return true;
        }
        return false;
    });
    return result;
}

std::string waitForErrorBox(DWORD pid, DWORD timeoutMs, HWND *box)
{
    HWND found = waitForWindow(pid, "#32770", "Error", timeoutMs);
    char text[2048] = "";

    if (box)
        *box = found;
    if (found == NULL)
        return "";
    // The static control that holds a message box's text.
    GetDlgItemTextA(found, 0xFFFF, text, sizeof text);
    return text;
}

void pressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
}

static void send(INPUT *inputs, UINT count)
{
    SendInput(count, inputs, sizeof(INPUT));
    pumpMessages(100);
}

void pressKey(WORD virtualKey)
{
    INPUT inputs[2] = {};

    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    send(inputs, 2);
}

void moveMouseBy(int dx, int dy)
{
    INPUT input = {};

    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    send(&input, 1);
}

void moveMouseTo(int x, int y)
{
    POINT now;

    GetCursorPos(&now);
    moveMouseBy(x - now.x, y - now.y);
}

void mouseButton(DWORD downFlag, DWORD upFlag)
{
    INPUT inputs[2] = {};

    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = downFlag;
    inputs[1].mi.dwFlags = upFlag;
    send(inputs, 2);
}

void leftClickAt(int x, int y)
{
    moveMouseTo(x, y);
    mouseButton(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
}

COLORREF screenPixel(int x, int y)
{
    HDC screen = GetDC(NULL);
    COLORREF colour = GetPixel(screen, x, y);

    ReleaseDC(NULL, screen);
    return colour;
}

} // namespace harness
