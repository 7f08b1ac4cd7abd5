#include "harness.h"

#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "dialogs/dialog_ids.h"

namespace harness {

std::string windowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void pumpMessages(DWORD ms)
{
    MSG message;
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
}

bool Child::start(const std::string &program, const std::string &arguments,
                  const std::vector<std::string> &environment)
{
    STARTUPINFOA startup = {};
    std::string line = "\"" + program + "\" " + arguments, block;
    char *inherited = GetEnvironmentStringsA();

    kill();
    for (const char *p = inherited; *p; p += strlen(p) + 1)
        block.append(p).push_back('\0');
    FreeEnvironmentStringsA(inherited);
    for (const std::string &variable : environment)
        block.append(variable).push_back('\0');
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), &line[0], NULL, NULL, FALSE, 0, &block[0], NULL, &startup, &info))
        return false;
    WaitForInputIdle(info.hProcess, 5000);
    return true;
}

bool Child::adopt(DWORD pid)
{
    kill();
    info.hProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    info.dwProcessId = info.hProcess ? pid : 0;
    return info.hProcess != NULL;
}

// A child's dialog owned by one of our windows sends it messages, which are
// answered meanwhile.
DWORD Child::waitExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (info.hProcess && waitUntil(timeoutMs, [&] { return !running(); }))
        GetExitCodeProcess(info.hProcess, &code);
    return code;
}

void Child::kill()
{
    if (running() && TerminateProcess(info.hProcess, 99))
        WaitForSingleObject(info.hProcess, 5000);
    for (HANDLE handle : {info.hProcess, info.hThread})
        if (handle)
            CloseHandle(handle);
    info = PROCESS_INFORMATION();
}

// Top-level windows of a process, or child windows with a title.
struct Search {
    DWORD pid;
    const char *title;
    std::vector<HWND> found;
};

static BOOL CALLBACK collect(HWND window, LPARAM data)
{
    Search *search = (Search *)data;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->title ? windowTitle(window) == search->title : owner == search->pid)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> windowsOf(DWORD pid)
{
    Search search = {pid, nullptr, {}};
    EnumWindows(collect, (LPARAM)&search);
    return search.found;
}

HWND findControl(HWND window, const char *text)
{
    Search search = {0, text, {}};
    EnumChildWindows(window, collect, (LPARAM)&search);
    return search.found.empty() ? NULL : search.found[0];
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

void clickButton(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

static HWND shown(DWORD pid, const char *wantedClass, const char *title)
{
    for (HWND w : windowsOf(pid))
        if (IsWindowVisible(w) && (!wantedClass || className(w) == wantedClass) && (!title || windowTitle(w) == title))
            return w;
    return NULL;
}

HWND waitForWindow(DWORD pid, const char *wantedClass, const char *title, DWORD timeoutMs)
{
    HWND found = NULL;
    waitUntil(timeoutMs, [&] { return (found = shown(pid, wantedClass, title)) != NULL; });
    return found;
}

bool waitForNoWindow(DWORD pid, const char *title, DWORD timeoutMs)
{
    return waitUntil(timeoutMs, [&] { return !shown(pid, NULL, title); });
}

std::string waitForErrorBox(DWORD pid, DWORD timeoutMs, HWND *box)
{
    HWND found = waitForWindow(pid, "#32770", "Error", timeoutMs);
    char text[2048] = "";
    if (box)
        *box = found;
    GetDlgItemTextA(found, 0xFFFF, text, sizeof text); // a message box's text
    return text;
}

void pressOk(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(box, IDOK)); }

// The command must hold no double quotes.
bool startShell(const std::string &command)
{
    STARTUPINFOA startup = {};
    PROCESS_INFORMATION started;
    std::string line = "sh -c \"" + command + "\"";
    startup.cb = sizeof startup;
    return CreateProcessA("Z:\\bin\\sh", &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &started);
}

bool runShell(const std::string &command, DWORD timeoutMs)
{
    const std::string done = windowsPath(TINDLE_BUILD_DIR "/shell-done");
    DeleteFileA(done.c_str());
    return startShell(command + "; : >" TINDLE_BUILD_DIR "/shell-done") &&
           waitUntil(timeoutMs, [&] { return fileExists(done); });
}

const char SETTINGS_TITLE[] = "Tindle Screen Saver Settings", FLOPPY_TITLE[] = "Tindle Advent Screen Saver";

bool duplicateTo(DWORD pid, HWND settings, char drive)
{
    DWORD_PTR answer;
    clickButton(settings, IDC_DUPLICATE);
    HWND drives = waitForWindow(pid, "#32770", FLOPPY_TITLE, 15000);
    if (!drives || SendDlgItemMessageA(drives, IDC_DRIVE_LIST, CB_GETCURSEL, 0, 0) != 0)
        return false;
    SendDlgItemMessageA(drives, IDC_DRIVE_LIST, CB_SETCURSEL, drive - 'A', 0);
    pressOk(drives);
    // The copy handles no messages: the first answer after the drive box has
    // gone comes after the copy, or from its error box's loop.
    return waitUntil(15000, [&] { return !IsWindow(drives); }) &&
           SendMessageTimeoutA(settings, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
}

std::string fileContents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

bool fileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool keyExists(HKEY root, const char *path)
{
    HKEY key;
    bool found = RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (found)
        RegCloseKey(key);
    return found;
}

std::string registryText(HKEY root, const char *path, const char *name)
{
    char text[1024];
    DWORD size = sizeof text;
    return RegGetValueA(root, path, name, RRF_RT_REG_SZ, NULL, text, &size) ? "<missing>" : text;
}

std::string keyValues(HKEY root, const char *path)
{
    std::string all;
    char name[256], data[1024];
    DWORD nameSize = sizeof name, size = sizeof data, type;
    HKEY key;

    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    for (DWORD i = 0; !RegEnumValueA(key, i, name, &nameSize, NULL, &type, (BYTE *)data, &size);
         i++, nameSize = sizeof name, size = sizeof data)
        all += name + ("=" + std::to_string(type)) + ":" + std::string(data, size) + "\n";
    RegCloseKey(key);
    return all;
}

static INPUT input(DWORD type, DWORD flags, WORD key = 0, int dx = 0, int dy = 0)
{
    INPUT in = {};
    in.type = type;
    if (type == INPUT_KEYBOARD)
        in.ki.wVk = key, in.ki.dwFlags = flags;
    else
        in.mi.dx = dx, in.mi.dy = dy, in.mi.dwFlags = flags;
    return in;
}

static void send(std::vector<INPUT> inputs)
{
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    pumpMessages(100);
}

void pressKey(WORD virtualKey, int times)
{
    std::vector<INPUT> inputs;
    for (int i = 0; i < 2 * times; i++)
        inputs.push_back(input(INPUT_KEYBOARD, i % 2 ? KEYEVENTF_KEYUP : 0, virtualKey));
    send(inputs);
}

void moveMouseBy(int dx, int dy) { send({input(INPUT_MOUSE, MOUSEEVENTF_MOVE, 0, dx, dy)}); }
void mouseButton(DWORD downFlag, DWORD upFlag) { send({input(INPUT_MOUSE, downFlag), input(INPUT_MOUSE, upFlag)}); }

void moveMouseTo(int x, int y)
{
    POINT now;
    GetCursorPos(&now);
    moveMouseBy(x - now.x, y - now.y);
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
