#include "harness.h"

#include <aclapi.h>
#include <sddl.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "dialogs/dialog_ids.h"

namespace harness
{

bool emulatedRoute()
{
    const char *route = getenv("TINDLE_ROUTE");
    return route && strcmp(route, "emulated") == 0;
}

std::string windowsPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<COLORREF> pixelsOf(HDC dc, int left, int top, int width, int height)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB}};
    HDC memory = CreateCompatibleDC(dc);
    DWORD *bits;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, dc, left, top, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(width * height);
    for (size_t i = 0; i < pixels.size(); i++) // 0x00RRGGBB in, 0x00BBGGRR out
        pixels[i] = RGB(bits[i] >> 16 & 255, bits[i] >> 8 & 255, bits[i] & 255);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
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
    STARTUPINFOA startup = {sizeof startup};
    std::string line = "\"" + program + "\" " + arguments;

    kill();
    for (const std::string &variable : environment)
        SetEnvironmentVariableA(variable.substr(0, variable.find('=')).c_str(),
                                variable.substr(variable.find('=') + 1).c_str());
    // As the 64-bit desktop, past the redirection of this 32-bit program's system32.
    void *redirection = NULL;
    bool started, undo = Wow64DisableWow64FsRedirection(&redirection);
    started = CreateProcessA(program.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                             &info);
    if (undo)
        Wow64RevertWow64FsRedirection(redirection);
    if (!started)
        return false;
    WaitForInputIdle(info.hProcess, 5000);
    return true;
}

// A child's dialog owned by one of our windows sends it messages, answered meanwhile.
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

static BOOL CALLBACK addMonitor(HMONITOR, HDC, RECT *area, LPARAM list)
{
    ((std::vector<RECT> *)list)->push_back(*area);
    return TRUE;
}

std::vector<RECT> monitors()
{
    std::vector<RECT> all;
    EnumDisplayMonitors(NULL, NULL, addMonitor, (LPARAM)&all);
    return all;
}

bool monitorsAsSetUp()
{
    static const RECT three[] = {{0, 0, 1024, 768}, {-800, 0, 0, 600}, {1024, 0, 1664, 480}};
    const char *set = getenv("TINDLE_MONITORS");
    std::vector<RECT> seen = monitors();
    return set && *set == '1' ? seen.size() == 3 && !memcmp(seen.data(), three, sizeof three)
                              : seen.size() == 1;
}

void clickButton(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HWND waitForWindow(DWORD pid, const char *wantedClass, const char *title, DWORD timeoutMs)
{
    HWND found = NULL;
    DWORD owner = 0;
    waitUntil(timeoutMs, [&] {
        while ((found = FindWindowExA(NULL, found, wantedClass, title)) != NULL) {
            GetWindowThreadProcessId(found, &owner);
            if ((!pid || owner == pid) && IsWindowVisible(found))
                return true;
        }
        return false;
    });
    return found;
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

void pressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, IDOK, (LPARAM)GetDlgItem(box, IDOK));
}

bool runShell(const std::string &command, DWORD timeoutMs)
{
    const std::string done = windowsPath(TINDLE_BUILD_DIR "/shell-done");
    std::string line = "sh -c \"" + command + "; : >" TINDLE_BUILD_DIR "/shell-done\"";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION started;
    DeleteFileA(done.c_str());
    return CreateProcessA("Z:\\bin\\sh", &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                          &started) &&
           waitUntil(timeoutMs, [&] { return fileExists(done); });
}

const char SETTINGS_TITLE[] = "Tindle Screen Saver Settings",
           FLOPPY_TITLE[] = "Tindle Advent Screen Saver";

bool duplicateTo(DWORD pid, HWND settings, char drive)
{
    DWORD_PTR answer;
    clickButton(settings, IDC_DUPLICATE);
    HWND drives = waitForWindow(pid, "#32770", FLOPPY_TITLE, 15000);
    if (!drives || SendDlgItemMessageA(drives, IDC_DRIVE_LIST, CB_GETCURSEL, 0, 0) != 0)
        return false;
    SendDlgItemMessageA(drives, IDC_DRIVE_LIST, CB_SETCURSEL, drive - 'A', 0);
    pressOk(drives);
    // The copy handles no messages: the first answer comes after it, or from its error box.
    return waitUntil(15000, [&] { return !IsWindow(drives); }) &&
           SendMessageTimeoutA(settings, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
}

std::string fileContents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "<missing>";
}

bool fileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string registryText(HKEY root, const char *path, const char *name)
{
    char data[1024] = "";
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(root, path, name, RRF_RT_REG_SZ | RRF_RT_REG_MULTI_SZ | RRF_RT_REG_DWORD,
                     &type, data, &size))
        return "<missing>";
    return type == REG_DWORD ? std::to_string(*(DWORD *)data) : data;
}

unsigned long long keyWritten(HKEY root, const char *path)
{
    HKEY key;
    ULARGE_INTEGER time = {};
    if (!RegOpenKeyExA(root, path, 0, KEY_READ, &key)) {
        RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
                         (FILETIME *)&time);
        RegCloseKey(key);
    }
    return time.QuadPart;
}

std::string keyRights(const char *path)
{
    PSECURITY_DESCRIPTOR descriptor = NULL;
    char *text = NULL;
    std::string rights = "<missing>";
    if (!GetNamedSecurityInfoA(("MACHINE\\" + std::string(path)).c_str(), SE_REGISTRY_KEY,
                               DACL_SECURITY_INFORMATION, NULL, NULL, NULL, NULL, &descriptor) &&
        ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, NULL))
        rights = text;
    LocalFree(text);
    LocalFree(descriptor);
    return rights;
}

void setKeyRights(const char *path, const std::string &rights)
{
    PSECURITY_DESCRIPTOR descriptor = NULL;
    HKEY key;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(rights.c_str(), SDDL_REVISION_1,
                                                         &descriptor, NULL);
    if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
}

// Queued at once: a batch of keys reaches the saver as one burst, as from a fast typist.
static void send(std::vector<INPUT> inputs)
{
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
    pumpMessages(100);
}

void pressKey(WORD virtualKey, int times)
{
    std::vector<INPUT> inputs(2 * times, INPUT{INPUT_KEYBOARD});
    for (size_t i = 0; i < inputs.size(); i++) {
        inputs[i].ki.wVk = virtualKey;
        inputs[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
    }
    send(inputs);
}

// Our windows' X report of the jump, taken later, would undo what follows.
void jumpTo(int x, int y)
{
    SetCursorPos(x, y);
    pumpMessages(100);
}

void moveMouseBy(int dx, int dy)
{
    INPUT move = {INPUT_MOUSE};
    move.mi.dx = dx;
    move.mi.dy = dy;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    send({move});
}

// Each button's release flag follows its press flag.
void mouseButton(DWORD downFlag)
{
    INPUT press = {INPUT_MOUSE}, release = {INPUT_MOUSE};
    press.mi.dwFlags = downFlag;
    release.mi.dwFlags = downFlag << 1;
    send({press, release});
}

} // namespace harness
