#include "harness.h"

#include <string.h>

#include <fstream>
#include <iterator>

#include "dialogs/dialog_ids.h"

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

bool Child::adopt(DWORD pid)
{
    kill();
    info.hProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                FALSE, pid);
    info.dwProcessId = pid;
    if (info.hProcess == NULL)
        info = PROCESS_INFORMATION();
    return info.hProcess != NULL;
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
    if (info.hThread != NULL)
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

struct ControlSearch {
    const char *text;
    HWND found;
};

static BOOL CALLBACK matchControl(HWND control, LPARAM data)
{
    ControlSearch *search = (ControlSearch *)data;

    if (windowTitle(control) != search->text)
        return TRUE;
    search->found = control;
    return FALSE;
}

HWND findControl(HWND window, const char *text)
{
    ControlSearch search = {text, NULL};

    EnumChildWindows(window, matchControl, (LPARAM)&search);
    return search.found;
}

void clickButton(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool waitForNoWindow(DWORD pid, const char *title, DWORD timeoutMs)
{
    return waitUntil(timeoutMs, [&] {
        for (HWND window : windowsOf(pid))
            if (IsWindowVisible(window) && windowTitle(window) == title)
                return false;
        return true;
    });
}

// The command goes to the shell as one argument, so it must not hold double
// quotes.
bool startShell(const std::string &command)
{
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION started = {};
    std::string commandLine = "sh -c \"" + command + "\"";

    startup.cb = sizeof startup;
    return CreateProcessA("Z:\\bin\\sh", &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL,
                          &startup, &started) != FALSE;
}

bool runShell(const std::string &command, DWORD timeoutMs)
{
    const std::string done = std::string(TINDLE_BUILD_DIR) + "/shell-done";

    DeleteFileA(windowsPath(done).c_str());
    return startShell(command + "; : >" + done) &&
           waitUntil(timeoutMs, [&] { return fileExists(windowsPath(done)); });
}

const char SETTINGS_TITLE[] = "Tindle Screen Saver Settings";
const char FLOPPY_TITLE[] = "Tindle Advent Screen Saver";

bool duplicateTo(DWORD pid, HWND settings, char drive)
{
    HWND drives;
    DWORD_PTR answer;

    clickButton(settings, IDC_DUPLICATE);
    drives = waitForWindow(pid, "#32770", FLOPPY_TITLE, 15000);
    if (drives == NULL || SendDlgItemMessageA(drives, IDC_DRIVE_LIST, CB_GETCURSEL, 0, 0) != 0)
        return false;
    SendDlgItemMessageA(drives, IDC_DRIVE_LIST, CB_SETCURSEL, drive - 'A', 0);
    pressOk(drives);
    // The copy runs without handling messages, so once the drive box is
    // gone, the first message answered is answered after it, or by the
    // loop of its error box.
    return waitUntil(15000, [&] { return !IsWindow(drives); }) &&
           SendMessageTimeoutA(settings, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer) != 0;
}

std::string fileContents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);

    if (!file)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool keyExists(HKEY root, const char *path)
{
    HKEY key;

    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string registryText(HKEY root, const char *path, const char *name)
{
    char text[1024];
    DWORD size = sizeof text - 1, type = 0;
    HKEY key;
    LONG status;

    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    status = RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    text[size] = '\0';
    return text;
}

std::string keyValues(HKEY root, const char *path)
{
    std::string all;
    char name[256];
    BYTE data[1024];
    DWORD nameSize, dataSize, type;
    HKEY key;

    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    for (DWORD i = 0;; i++) {
        nameSize = sizeof name;
        dataSize = sizeof data;
        if (RegEnumValueA(key, i, name, &nameSize, NULL, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        all += std::string(name) + "=" + std::to_string(type) + ":" +
               std::string((const char *)data, dataSize) + "\n";
    }
    RegCloseKey(key);
    return all;
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

void pressKey(WORD virtualKey, int times)
{
    std::vector<INPUT> inputs(2 * times);

    for (size_t i = 0; i < inputs.size(); i++) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = virtualKey;
        inputs[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
    }
    send(inputs.data(), (UINT)inputs.size());
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
