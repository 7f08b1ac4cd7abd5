// The product as a user gets it, run by product-loop on two fresh Wine
// prefixes (machines) that share a floppy disk as A:.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "dialogs/dialog_ids.h"
#include "harness.h"

using namespace harness;

static const char PREFS[] = "Software\\Brackwell\\Tindle", FLOPPY_COPY[] = "A:\\tindle.exe";
static const char UNINSTALL[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tindle Advent";
// As the desktop names it; this 32-bit test reads the directory behind that name through sysnative.
static const std::string SYSTEM_SAVER = std::string(getenv("windir")) + "\\system32\\tindle.scr";
static const std::string SYSTEM_SAVER_FILE = std::string(getenv("windir")) + "\\sysnative\\tindle.scr";
static const std::string DEFAULT_DIR = std::string(getenv("ProgramFiles")) + "\\Tindle Advent";
static const std::string INSTALLER = windowsPath(TINDLE_BUILD_DIR "/tindle.exe"), SCR = windowsPath(TINDLE_SCR);

#define EXPECT_SAME_FILE(a, b) EXPECT_TRUE(fileContents(a) == fileContents(b) && fileExists(a)) << (a)
static std::string value(const char *key, const char *name) { return registryText(HKEY_LOCAL_MACHINE, key, name); }
static std::string saver() { return registryText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE"); }
// The exit status, or STILL_ACTIVE after a minute; poke runs meanwhile.
static DWORD run(const std::string &program, const std::string &arguments, std::function<void()> poke = [] {})
{
    Child child;
    return child.start(program, arguments) && waitUntil(60000, [&] { return poke(), !child.running(); })
               ? child.waitExit(0) : STILL_ACTIVE;
}
static HWND dialog(const char *title) { return waitForWindow(0, "#32770", title, 30000); }
static void press(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, 0); }

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
    EXPECT_SAME_FILE(directory + "\\tindle.scr", SCR);
    EXPECT_SAME_FILE(SYSTEM_SAVER_FILE, SCR);
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
    ASSERT_EQ(run(INSTALLER, "/S"), 0u);
    expectInstalled(DEFAULT_DIR, INSTALLER, "0,96,0,0,<missing>");
    // Installing again from the installed copy in its window (Install, then
    // Finish with its offer as it comes) keeps the copy and the progress.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, PREFS, "LastChecked", REG_DWORD, "\x09\0\0", 4);
    EXPECT_EQ(run(DEFAULT_DIR + "\\tindle.exe", "", [] { press(FindWindowA("#32770", "Tindle Advent Setup "), IDOK); }), 0u);
    expectInstalled(DEFAULT_DIR, INSTALLER, "9,96,0,0," + SYSTEM_SAVER);
    // The saver as the desktop starts it, full screen; a key ends it.
    EXPECT_EQ(run(saver(), "/s", [] { pressKey(VK_SPACE); }), 0u);

    Child settings;
    ASSERT_TRUE(settings.start(SYSTEM_SAVER, "/c"));
    HWND box = dialog(SETTINGS_TITLE);
    EXPECT_TRUE(duplicateTo(settings.pid(), box, 'A'));
    EXPECT_SAME_FILE(FLOPPY_COPY, INSTALLER);
    press(box, IDOK);
    EXPECT_EQ(settings.waitExit(30000), 1u);
    // Run in place (_?=), the uninstaller holds its own file, which then goes
    // at the next restart: quiet, it must not wait for the user to hear that.
    EXPECT_EQ(run(DEFAULT_DIR + "\\uninstall.exe", "/S _?=" + DEFAULT_DIR), 0u);
}

TEST(SecondMachine, InstallFromTheFloppyAndUninstallWhileThePreviewRuns)
{
    ASSERT_EQ(run(FLOPPY_COPY, "/S /ACTIVATE /D=C:\\Tindle"), 0u);
    expectInstalled("C:\\Tindle", FLOPPY_COPY, "0,96,0,0," + SYSTEM_SAVER);
    EXPECT_EQ(run(saver(), "/s", [] { pressKey(VK_SPACE); }), 0u);
    // What the preview holds goes at the next restart, and the user is told.
    // The mouse stays off the preview, which would read its values again.
    SetCursorPos(1000, 700);
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, 0, 0, 0, 0), told;
    char text[256] = "";
    Child preview, uninstaller;
    ASSERT_TRUE(preview.start(SYSTEM_SAVER, "/p " + std::to_string((UINT_PTR)owner)) &&
                waitUntil(30000, [&] { return FindWindowExA(owner, NULL, "WindowsScreenSaverClass", "Preview"); }));
    uninstaller.start("C:\\Tindle\\uninstall.exe", "");
    HWND page = dialog("Tindle Advent Uninstall ");
    press(page, IDOK);
    ASSERT_TRUE(told = dialog("Tindle Advent Uninstall"));
    GetDlgItemTextA(told, 0xFFFF, text, sizeof text);
    EXPECT_TRUE(strstr(text, "restart")) << text;
    press(told, IDOK);
    EXPECT_TRUE(waitUntil(30000, [&] { return press(page, IDOK), !IsWindow(page); }));
    EXPECT_EQ(keyWritten(HKEY_LOCAL_MACHINE, "Software\\Brackwell"), 0u);
    EXPECT_EQ(value(UNINSTALL, "UninstallString") + saver(), "<missing><missing>");
    DestroyWindow(owner);
    EXPECT_EQ(preview.waitExit(60000), 0u);
}

// product-loop starts the second machine again: what was in use is gone now.
TEST(AfterRestart, NothingIsLeft)
{
    EXPECT_FALSE(std::filesystem::exists("C:\\Tindle") || std::filesystem::exists(SYSTEM_SAVER_FILE));
    // The floppy is the user's: it stays as it was.
    EXPECT_SAME_FILE(FLOPPY_COPY, INSTALLER);
}
