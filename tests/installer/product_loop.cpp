// The product as a user gets it, run by product-loop on two fresh Wine
// prefixes (machines) that share a floppy disk as A:.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "dialogs/dialog_ids.h"

static const char PREFS[] = "Software\\Brackwell\\Tindle", FLOPPY_COPY[] = "A:\\tindle.exe";
static const char UNINSTALL[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tindle Advent";
static const std::string SYSTEM_SAVER = std::string(getenv("windir")) + "\\system32\\tindle.scr";
static const std::string DEFAULT_DIR = std::string(getenv("ProgramFiles")) + "\\Tindle Advent";
// The programs started from here on close their windows at once, not after
// X11 has waited in vain for a window manager to take them down.
static const LONG unmanaged =
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", "Managed", REG_SZ, "N", 2);

static std::string contents(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
#define EXPECT_SAME_FILE(a, b) EXPECT_TRUE(contents(a) == contents(b) && !contents(a).empty()) << (a)
// A text or number value as text.
static std::string value(const char *key, const char *name, HKEY root = HKEY_LOCAL_MACHINE)
{
    char data[MAX_PATH] = "<missing>";
    DWORD size = sizeof data, type = 0;
    RegGetValueA(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, data, &size);
    return type == REG_DWORD ? std::to_string(*(DWORD *)data) : data;
}
static std::string saver() { return value("Control Panel\\Desktop", "SCRNSAVE.EXE", HKEY_CURRENT_USER); }

// Answers this thread's messages meanwhile: a preview or a dialog sends
// messages to the window that owns it.
static bool waitUntil(std::function<bool()> done, DWORD ms = 30000)
{
    MSG message;
    for (DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, NULL, 0, 50, QS_ALLINPUT)) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (GetTickCount() - start > ms)
            return false;
    }
    return true;
}
static HWND waitForWindow(const char *title, HWND parent = NULL, const char *className = "#32770")
{
    HWND window = NULL;
    waitUntil([&] { return (window = FindWindowExA(parent, NULL, className, title)) != NULL; });
    return window;
}
static void press(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }
static void pressSpace() { keybd_event(VK_SPACE, 0, 0, 0), keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0); }

static HANDLE start(const std::string &program, const std::string &arguments)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    std::string line = "\"" + program + "\" " + arguments;
    CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    CloseHandle(process.hThread);
    return process.hProcess;
}
// The exit status, or STILL_ACTIVE after a minute (and the process is then
// ended); poke runs meanwhile.
static DWORD waitExit(HANDLE process, std::function<void()> poke = [] {})
{
    DWORD status = STILL_ACTIVE;
    waitUntil([&] { return poke(), WaitForSingleObject(process, 0) == 0; }, 60000);
    GetExitCodeProcess(process, &status);
    TerminateProcess(process, 99);
    return status;
}
// The rights on the preferences key itself that its access list grants group.
static DWORD rightsOf(WELL_KNOWN_SID_TYPE group)
{
    PACL list = NULL;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    ACCESS_ALLOWED_ACE *entry;
    DWORD rights = 0;
    GetNamedSecurityInfoA("MACHINE\\Software\\Brackwell\\Tindle", SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                          NULL, NULL, &list, NULL, &descriptor);
    for (DWORD i = 0; list && GetAce(list, i, (void **)&entry); i++)
        if (entry->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && !(entry->Header.AceFlags & INHERIT_ONLY_ACE))
            rights |= IsWellKnownSid(&entry->SidStart, group) ? entry->Mask : 0;
    LocalFree(descriptor);
    return rights;
}

// What installer leaves in directory and the registry; values are the
// calendar's LastChecked, LastCheckedYear, Advent, Twelve and the desktop's saver.
static void expectInstalled(const std::string &directory, const std::string &installer,
                            const std::string &values)
{
    for (auto &file : std::filesystem::directory_iterator(TINDLE_CONTENT))
        EXPECT_SAME_FILE(directory + "\\" + file.path().filename().string(), file.path().string());
    // Duplicate hands on exactly the installer that was run.
    EXPECT_SAME_FILE(directory + "\\tindle.exe", installer);
    EXPECT_SAME_FILE(directory + "\\tindle.scr", TINDLE_SCR);
    EXPECT_SAME_FILE(SYSTEM_SAVER, TINDLE_SCR);
    EXPECT_EQ(value(PREFS, "InstallDir"), directory);
    EXPECT_EQ(value(PREFS, "LastChecked") + "," + value(PREFS, "LastCheckedYear") + "," +
                  value(PREFS, "Advent") + "," + value(PREFS, "Twelve") + "," + saver(), values);
    const std::string uninstaller = "\"" + directory + "\\uninstall.exe\"";
    EXPECT_EQ(value(UNINSTALL, "UninstallString") + value(UNINSTALL, "QuietUninstallString"),
              uninstaller + uninstaller + " /S");
    // Users without administrator rights keep their progress there too.
    EXPECT_EQ(rightsOf(WinBuiltinUsersSid) & (KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY), 7u);
    EXPECT_EQ(rightsOf(WinBuiltinAdministratorsSid), (DWORD)KEY_ALL_ACCESS);
}

TEST(FirstMachine, InstallRunAndDuplicate)
{
    ASSERT_EQ(waitExit(start(TINDLE_INSTALLER, "/S")), 0u);
    expectInstalled(DEFAULT_DIR, TINDLE_INSTALLER, "0,96,0,0,<missing>");
    // Installing again from the installed copy in its window (Install, then
    // Finish with its offer as it comes) keeps the copy and the progress.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, PREFS, "LastChecked", REG_DWORD, "\x09\0\0", 4);
    HANDLE installer = start(DEFAULT_DIR + "\\tindle.exe", "");
    HWND setup = waitForWindow("Tindle Advent Setup ");
    EXPECT_EQ(waitExit(installer, [&] { press(setup, IDOK); }), 0u);
    expectInstalled(DEFAULT_DIR, TINDLE_INSTALLER, "9,96,0,0," + SYSTEM_SAVER);
    // The saver as the desktop starts it, full screen; a key ends it.
    EXPECT_EQ(waitExit(start(saver(), "/s"), pressSpace), 0u);

    HANDLE settings = start(SYSTEM_SAVER, "/c");
    HWND dialog = waitForWindow("Tindle Screen Saver Settings"), drives;
    press(dialog, IDC_DUPLICATE);
    press(drives = waitForWindow("Tindle Advent Screen Saver"), IDOK);
    // The copy runs on the dialog's thread: once that answers again, it is over.
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(drives); }) &&
                SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 30000, NULL));
    EXPECT_SAME_FILE(FLOPPY_COPY, TINDLE_INSTALLER);
    press(dialog, IDOK);
    EXPECT_EQ(waitExit(settings), 1u);
    // Run in place (_?=), the uninstaller holds its own file, which then goes
    // at the next restart: quiet, it must not wait for the user to hear that.
    EXPECT_EQ(waitExit(start(DEFAULT_DIR + "\\uninstall.exe", "/S _?=" + DEFAULT_DIR)), 0u);
}

TEST(SecondMachine, InstallFromTheFloppyAndUninstallWhileThePreviewRuns)
{
    ASSERT_EQ(waitExit(start(FLOPPY_COPY, "/S /ACTIVATE /D=C:\\Tindle")), 0u);
    expectInstalled("C:\\Tindle", FLOPPY_COPY, "0,96,0,0," + SYSTEM_SAVER);
    EXPECT_EQ(waitExit(start(saver(), "/s"), pressSpace), 0u);
    // What the preview holds goes at the next restart, and the user is told.
    // The mouse stays off the preview, which would read its values again.
    SetCursorPos(1000, 700);
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, 0, 0, 0, 0), told;
    char text[256] = "";
    HANDLE preview = start(SYSTEM_SAVER, "/p " + std::to_string((UINT_PTR)owner));
    ASSERT_TRUE(waitForWindow("Preview", owner, "WindowsScreenSaverClass"));
    CloseHandle(start("C:\\Tindle\\uninstall.exe", ""));
    HWND page = waitForWindow("Tindle Advent Uninstall ");
    press(page, IDOK);
    ASSERT_TRUE(told = waitForWindow("Tindle Advent Uninstall"));
    GetDlgItemTextA(told, 0xFFFF, text, sizeof text);
    EXPECT_TRUE(strstr(text, "restart")) << text;
    press(told, IDOK);
    EXPECT_TRUE(waitUntil([&] { return press(page, IDOK), !IsWindow(page); }));
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Brackwell", 0, KEY_READ, &key), 0);
    EXPECT_EQ(value(UNINSTALL, "UninstallString") + saver(), "<missing><missing>");
    DestroyWindow(owner);
    EXPECT_EQ(waitExit(preview), 0u);
}

// product-loop starts the second machine again: what was in use is gone now.
TEST(AfterRestart, NothingIsLeft)
{
    EXPECT_FALSE(std::filesystem::exists("C:\\Tindle") || std::filesystem::exists(SYSTEM_SAVER));
    // The floppy is the user's: it stays as it was.
    EXPECT_SAME_FILE(FLOPPY_COPY, TINDLE_INSTALLER);
}
