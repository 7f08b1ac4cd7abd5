// Plays the desktop for end-to-end tests: starts programs with a command
// line, finds their windows, sends real input, reads the screen and the
// registry, answers error boxes and collects exit statuses.  Every wait has a
// timeout, so no test can hang on a window that never comes.
#ifndef TINDLE_TESTS_HARNESS_H
#define TINDLE_TESTS_HARNESS_H

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// Windows path of a file of the build tree (which Wine shows on drive Z:).
std::string windowsPath(const std::string &unixPath);

class Child {
public:
    Child() = default;
    Child(const Child &) = delete;
    Child &operator=(const Child &) = delete;
    ~Child();

    // Starts program with the given command-line tail; false when it could
    // not be started.
    bool start(const std::string &program, const std::string &arguments,
               const std::vector<std::string> &environment = {});
    // Takes on a process that was started some other way, such as through a
    // shell; false when there is no such process.
    bool adopt(DWORD pid);
    // The exit status once the process has ended within timeoutMs, or
    // STILL_ACTIVE (259) when it has not.
    DWORD waitExit(DWORD timeoutMs);
    bool running();
    void kill();
    DWORD pid() const { return info.dwProcessId; }

private:
    PROCESS_INFORMATION info = {};
};

// The first visible top-level window of process pid whose class and title
// match (null matches anything), or null after timeoutMs.
HWND waitForWindow(DWORD pid, const char *className, const char *title, DWORD timeoutMs);
// Top-level windows of the process, visible or not.
std::vector<HWND> windowsOf(DWORD pid);

// Waits for a box titled "Error" from pid; returns its text, or "" with
// *box null after the timeout.
std::string waitForErrorBox(DWORD pid, DWORD timeoutMs, HWND *box = nullptr);
// Presses the OK button of a message box.
void pressOk(HWND box);

std::string className(HWND window);
std::string windowTitle(HWND window);
// A control anywhere inside window, by its text.
HWND findControl(HWND window, const char *text);
// Clicks a dialog's button.  Posted: a button that opens a modal box returns
// only when the box is closed.
void clickButton(HWND dialog, int id);
// Waits until pid shows no visible window with that title.
bool waitForNoWindow(DWORD pid, const char *title, DWORD timeoutMs);

// Starts a shell command line outside Wine; Wine gives no handle to such a
// process.  runShell also waits for it to finish.
bool startShell(const std::string &command);
bool runShell(const std::string &command, DWORD timeoutMs);

// The titles of the settings dialog and of the boxes of its Duplicate button.
extern const char SETTINGS_TITLE[];
extern const char FLOPPY_TITLE[];
// Clicks Duplicate in the settings dialog of process pid, picks drive ('A'
// or 'B') in the drive box and returns when the copy is over or has shown
// its error box; false when no drive box came with "A:" chosen.
bool duplicateTo(DWORD pid, HWND settings, char drive);

// Files and registry values as a program left them: the whole file or the
// text value, "<missing>" when there is none.
std::string fileContents(const std::string &path);
bool fileExists(const std::string &path);
bool keyExists(HKEY root, const char *path);
std::string registryText(HKEY root, const char *path, const char *name);
// Every value of the key with its type and data, for comparing before and after.
std::string keyValues(HKEY root, const char *path);

// Real input through SendInput.
// Presses and releases the key times over in one batch, all queued at once.
void pressKey(WORD virtualKey, int times = 1);
void moveMouseBy(int dx, int dy);
void moveMouseTo(int x, int y);
void mouseButton(DWORD downFlag, DWORD upFlag);
void leftClickAt(int x, int y);

// The colour of a screen pixel as the display shows it.
COLORREF screenPixel(int x, int y);

// Handles this thread's messages for ms milliseconds: a preview child of a
// harness window sends messages to its parent, and they must be answered.
void pumpMessages(DWORD ms);

// Waits until condition() holds, checking every 50 ms while handling
// messages; false after timeoutMs.
template <class Condition> bool waitUntil(DWORD timeoutMs, Condition condition)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        pumpMessages(50);
    }
}

} // namespace harness

#endif
