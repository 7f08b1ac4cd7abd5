// Plays the desktop for end-to-end tests.  Every wait has a timeout.
#ifndef TINDLE_TESTS_HARNESS_H
#define TINDLE_TESTS_HARNESS_H

#include <windows.h>

#include <string>
#include <vector>

namespace harness
{

// A process started with variables set in ours; waitExit gives STILL_ACTIVE on a timeout.
class Child
{
  public:
    ~Child() { kill(); }
    bool start(const std::string &program, const std::string &arguments,
               const std::vector<std::string> &environment = {});
    DWORD waitExit(DWORD timeoutMs);
    bool running()
    {
        return info.hProcess && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
    }
    void kill();
    DWORD pid() const { return info.dwProcessId; }

  private:
    PROCESS_INFORMATION info = {};
};

void pumpMessages(DWORD ms);
template <class Condition> bool waitUntil(DWORD timeoutMs, Condition condition)
{
    for (DWORD start = GetTickCount(); !condition(); pumpMessages(50))
        if (GetTickCount() - start >= timeoutMs)
            return false;
    return true;
}

std::string windowsPath(const std::string &unixPath); // Wine's Z: drive
std::vector<COLORREF> pixelsOf(HDC dc, int left, int top, int width, int height);
bool emulatedRoute(); // under qemu
// The monitors, the primary first; whether they are the three of tools/monitors.conf with
// --monitors given to tools/wine-run, otherwise one.
std::vector<RECT> monitors();
bool monitorsAsSetUp();
// A shown top-level window of pid (0: any); a null class or title matches any.
HWND waitForWindow(DWORD pid, const char *className, const char *title, DWORD timeoutMs);
// The text of pid's "Error" box; "" and a null *box after the timeout.
std::string waitForErrorBox(DWORD pid, DWORD timeoutMs, HWND *box = nullptr);
void pressOk(HWND box);
void clickButton(HWND dialog, int id); // posted: a modal box may follow
// The host's shell (Wine gives no handle), run to its end.  No double quotes.
bool runShell(const std::string &command, DWORD timeoutMs);

extern const char SETTINGS_TITLE[], FLOPPY_TITLE[];
// Duplicates to drive, up to the copy's end or its error box; false without a drive box on "A:".
bool duplicateTo(DWORD pid, HWND settings, char drive);

// "<missing>" when there is no such file, key or value; a list of texts as its first.
std::string fileContents(const std::string &path);
bool fileExists(const std::string &path);
std::string registryText(HKEY root, const char *path, const char *name);
unsigned long long keyWritten(HKEY root, const char *path); // when; 0: no key
// The access list of a key of HKEY_LOCAL_MACHINE ("D:(A;;KA;;;BA)...").
std::string keyRights(const char *path);
void setKeyRights(const char *path, const std::string &rights);

// Real input; mouseButton presses and releases where the cursor is.
void pressKey(WORD virtualKey, int times = 1);
void moveMouseBy(int dx, int dy);
void jumpTo(int x, int y);
void mouseButton(DWORD downFlag = MOUSEEVENTF_LEFTDOWN);

} // namespace harness

#endif
